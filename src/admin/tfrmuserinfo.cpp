#include "admin/tfrmuserinfo.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct InfoField {
    const char *column;
    const char *caption;
    const char *emptyWarning; // nullptr: may stay empty
};
const InfoField kFields[] = {
    {"UserName", "用户名称：", "请输入用户名称！"},
    {"Address", "地　　址：", "请输入用户地址！"},
    {"Telephone", "电　　话：", "请输入用户电话！"},
    {"Fax", "传　　真：", nullptr},
    {"PostCode", "邮政编码：", "请输入邮政编码！"},
    {"Email", "联系EMail：", nullptr},
    {"HomePage", "网　　址：", nullptr},
};
} // namespace

TfrmUserInfo::TfrmUserInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmUserInfo"));
    setWindowTitle(QStringLiteral("用户登记信息"));
    resize(420, 300);

    m_info = TdmMain::instance()->dataset(Sets::kAgency);
    m_binder = new FieldBinder(m_info, this);

    auto *grid = new QGridLayout;
    QList<QWidget *> order;
    int row = 0;
    for (const InfoField &f : kFields) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("ed") + QLatin1String(f.column));
        grid->addWidget(new QLabel(QString::fromUtf8(f.caption), this), row, 0);
        grid->addWidget(e, row++, 1);
        m_binder->bind(e, QLatin1String(f.column));
        order << e;
    }

    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BtnSave"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    for (QPushButton *b : {save, close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto *all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addLayout(buttons);

    order << save;
    setEnterOrder(order);
    connect(save, &QPushButton::clicked, this, &TfrmUserInfo::BtnSaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit *TfrmUserInfo::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(m_binder->widgetFor(field));
}

void TfrmUserInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmUserInfo::FormShow()
{
    // Re-read: another workstation may have entered the details meanwhile.
    if (m_info->isActive() ? !m_info->refresh() : !m_info->open()) {
        Prompts::instance().warn(m_info->lastError());
        return;
    }
    // There is at most one row: the agency itself.
    const bool ok = m_info->isEmpty() ? m_info->append() : m_info->first() && m_info->edit();
    if (!ok)
        Prompts::instance().warn(m_info->lastError());
    m_binder->refresh();
    if (QLineEdit *name = edit(QStringLiteral("UserName")))
        name->setFocus();
}

void TfrmUserInfo::BtnSaveClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户信息-保存")))
        return;
    for (const InfoField &f : kFields) {
        if (!f.emptyWarning || !m_info->isBlank(QLatin1String(f.column)))
            continue;
        Prompts::instance().warn(QString::fromUtf8(f.emptyWarning));
        if (QLineEdit *e = edit(QLatin1String(f.column)))
            e->setFocus();
        return;
    }
    storeCurrentRecord(m_info);
}

void TfrmUserInfo::done(int result)
{
    // Half-typed text left in editing would be stored by the next window
    // that moves the row and end up printed on envelopes.
    if (m_info->isEditing())
        m_info->cancel();
    QDialog::done(result);
}

TfrmUserInfo::~TfrmUserInfo()
{
    if (m_info->isEditing())
        m_info->cancel();
}
