#include "reference/tfrmcolor.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/colorchooser.h"
#include "ui/datagrid.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TfrmColor::TfrmColor(QWidget *parent)
    : QDialog(parent), m_set(TdmMain::instance()->dataset(Sets::kColors))
{
    setObjectName(QStringLiteral("TfrmColor"));
    setWindowTitle(QStringLiteral("颜色设置信息"));
    resize(420, 400);

    m_grid = new DataGrid(m_set, {{QStringLiteral("ColorID"), QStringLiteral("颜色信息")}},
                          QStringLiteral("TfrmColor.List"), this);
    m_grid->setGroupPanelVisible(false);
    m_grid->view()->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->view()->setSelectionMode(QAbstractItemView::SingleSelection);

    m_swatch = new QFrame(this);
    m_swatch->setObjectName(QStringLiteral("ShapeColor"));
    m_swatch->setFrameShape(QFrame::Box);
    m_swatch->setAutoFillBackground(true);
    m_swatch->setMinimumSize(80, 40);

    auto *add = new QPushButton(QStringLiteral("新增"), this);
    auto *del = new QPushButton(QStringLiteral("删除"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    for (QPushButton *b : {add, del, close})
        b->setAutoDefault(false);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("颜色信息列表："), this));
    left->addWidget(m_grid, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("颜色显示："), this));
    right->addWidget(m_swatch);
    right->addSpacing(16);
    right->addWidget(add);
    right->addWidget(del);
    right->addStretch();
    right->addWidget(close);
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(right);

    connect(add, &QPushButton::clicked, this, &TfrmColor::BtnAddClick);
    connect(del, &QPushButton::clicked, this, &TfrmColor::BtnDeleteClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // However the row changes: the grid, a new colour, a deleted one.
    connect(m_set, &Dataset::currentRowChanged, this, &TfrmColor::paintSwatch);
    connect(m_set, &Dataset::rowsReset, this, &TfrmColor::paintSwatch);
}

void TfrmColor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmColor::FormShow()
{
    if (!m_set->isActive() && !m_set->open())
        Prompts::instance().warn(m_set->lastError());
    paintSwatch();
}

QColor TfrmColor::swatchColour() const { return m_swatch->palette().color(QPalette::Window); }

void TfrmColor::paintSwatch()
{
    QPalette pal = m_swatch->palette();
    const QVariant v = m_set->currentRow() >= 0 ? m_set->value(QStringLiteral("ColorID")) : QVariant();
    pal.setColor(QPalette::Window, v.isNull() ? palette().color(QPalette::Window) : colorFromId(v.toLongLong()));
    m_swatch->setPalette(pal);
}

void TfrmColor::BtnAddClick()
{
    if (!m_set->isActive() && !m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    const std::optional<QColor> c = ColorChooser::instance().choose(this);
    if (!c)
        return;
    // The same colour may be taken twice; rows are told apart by RowNo.
    if (!m_set->append() || !m_set->setValue(QStringLiteral("ColorID"), colorId(*c)) || !m_set->post()) {
        const QString error = m_set->lastError();
        m_set->cancel();
        Prompts::instance().warn(error);
        return;
    }
    paintSwatch();
}

void TfrmColor::BtnDeleteClick()
{
    // Nothing to delete in an empty table: no question either.
    deleteCurrentRecord(m_set, nullptr, QStringLiteral("真的要删除该条记录吗?"));
    paintSwatch();
}
