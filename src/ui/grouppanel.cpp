#include "ui/grouppanel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QToolButton>

const QString GroupPanel::kMimeType = QStringLiteral("application/x-brevia-column");

GroupPanel::GroupPanel(QWidget *parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("GroupPanel"));
    setAcceptDrops(true);
    setMinimumHeight(28);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Mid).lighter(150));
    setPalette(pal);
    m_layout->setContentsMargins(4, 2, 4, 2);
    m_hint = new QLabel(QStringLiteral("拖动列标题到此处，按该列分组"), this);
    m_layout->addWidget(m_hint);
    m_layout->addStretch(1);
}

void GroupPanel::setGroups(const QStringList &fields, const QStringList &captions)
{
    m_fields = fields;
    while (m_layout->count() > 2) {
        QLayoutItem *item = m_layout->takeAt(1);
        delete item->widget();
        delete item;
    }
    m_hint->setVisible(fields.isEmpty());
    for (int i = 0; i < fields.size(); ++i) {
        auto *b = new QToolButton(this);
        b->setText(captions.value(i, fields[i]) + QStringLiteral(" ×"));
        b->setToolTip(QStringLiteral("点击取消按此列分组"));
        b->setObjectName(QStringLiteral("Group_") + fields[i]);
        const QString field = fields[i];
        connect(b, &QToolButton::clicked, this, [this, field] { emit fieldRemoved(field); });
        m_layout->insertWidget(1 + i, b);
    }
}

void GroupPanel::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(kMimeType))
        event->acceptProposedAction();
}

void GroupPanel::dropEvent(QDropEvent *event)
{
    const QString field = QString::fromUtf8(event->mimeData()->data(kMimeType));
    if (field.isEmpty())
        return;
    event->acceptProposedAction();
    emit fieldDropped(field);
}
