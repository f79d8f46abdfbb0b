#include "admin/tfrmuser.h"

#include "admin/data/userstore.h"
#include "admin/tfrmright.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/password.h"
#include "data/sharedsets.h"
#include "ui/datagrid.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
const QString kAdmin = QStringLiteral("Admin");
const QString kDefaultPassword = QStringLiteral("583920");

bool isAdmin(const QString &code) { return code.compare(kAdmin, Qt::CaseInsensitive) == 0; }
} // namespace

TfrmUser::TfrmUser(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmUser"));
    setWindowTitle(QStringLiteral("用户管理"));
    resize(640, 520);

    TdmMain *dm = TdmMain::instance();
    m_users = dm->dataset(Sets::kUsers);
    m_users->setOrderBy({QStringLiteral("UserID")});

    m_grid = new DataGrid(m_users,
                          {{QStringLiteral("UserID"), QStringLiteral("用户ID")},
                           {QStringLiteral("UserName"), QStringLiteral("用户名称")},
                           {QStringLiteral("DeptName"), QStringLiteral("部门")},
                           {QStringLiteral("Duty"), QStringLiteral("职务")},
                           {QStringLiteral("State"), QStringLiteral("用户状态")},
                           {QStringLiteral("Memo"), QStringLiteral("备注")}},
                          QStringLiteral("TfrmUser.List"), this);
    m_grid->setGroupPanelVisible(false);
    m_grid->view()->setObjectName(QStringLiteral("dbgUser"));
    m_grid->view()->setSelectionMode(QAbstractItemView::SingleSelection);
    // However the user leaves a row in the grid: mouse, keys, or a row
    // chosen for them.
    m_grid->setBeforeLeavingRow([this] { leaveRow(); });

    m_binder = new FieldBinder(m_users, this);
    // The check box is the last line's own and no stop of Enter, as it
    // always was.
    using namespace Field;
    auto *fields = new QWidget(this);
    m_form = new Form({{"UserID", "用  户ID：", line(), opts().named("edUserID")},
                       {"UserName", "用户名称：", line(), opts().named("edUserName")},
                       {"DeptID", "部　　门：", dictionary(Sets::kDepartments, "DepartmentID", "DepartmentName"),
                        opts().named("cbDept")},
                       {"Duty", "职　　务：", line(), opts().named("edDuty")},
                       {"State", "用户状态：", fixedList({QStringLiteral("Yes"), QStringLiteral("No")}),
                        opts().named("cbState")},
                       {"Memo", "备    注：", line(), opts().named("edMemo")},
                       {"Sys", "是否系统管理员", check(), opts().named("chkSys").outOfEnterOrder()}},
                      m_binder, fields);
    m_form->applyEnterOrder();
    m_code = qobject_cast<QLineEdit *>(m_form->widget(QStringLiteral("UserID")));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const struct {
        const char *name, *caption;
        void (TfrmUser::*slot)();
    } kButtons[] = {{"BtnAdd", "新增", &TfrmUser::BtnAddClick},       {"BtnSave", "保存", &TfrmUser::BtnSaveClick},
                    {"BtnDelete", "删除", &TfrmUser::BtnDeleteClick}, {"BtnClose", "关闭", &TfrmUser::BtnCloseClick},
                    {"BtnRight", "权限分配", &TfrmUser::BtnRightClick}};
    for (const auto &b : kButtons) {
        auto *button = new QPushButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QLatin1String(b.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.slot);
        buttons->addWidget(button);
    }

    auto *all = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("用户列表"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    all->addWidget(title);
    all->addWidget(m_grid, 1);
    all->addWidget(fields);
    all->addLayout(buttons);


    connect(m_users, &Dataset::currentRowChanged, this, &TfrmUser::showCurrentRow);
    connect(m_users, &Dataset::rowsReset, this, &TfrmUser::showCurrentRow);
    connect(m_users, &Dataset::stateChanged, this, &TfrmUser::showCurrentRow);
}

QWidget *TfrmUser::field(const QString &name) const { return m_binder->widgetFor(name); }

void TfrmUser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmUser::FormShow()
{
    if (!m_users->isActive() && !m_users->open())
        Prompts::instance().warn(m_users->lastError());
    showCurrentRow();
}

void TfrmUser::showCurrentRow()
{
    // The code is taken while the row is at rest, so that a change typed
    // into the row cannot alter which row the Admin protection sees.
    if (m_users->state() == Dataset::State::Insert) {
        m_rowCode.clear();
        m_rowSys = false;
    } else if (m_users->state() == Dataset::State::Browse) {
        m_rowCode = m_users->value(QStringLiteral("UserID")).toString();
        m_rowSys = m_users->value(QStringLiteral("Sys")).toBool();
    }
    updateCodeReadOnly();
}

bool TfrmUser::storedCodeIsAdmin() const
{
    if (m_users->state() == Dataset::State::Insert || m_users->currentRow() < 0)
        return false;
    return isAdmin(m_rowCode) || isAdmin(m_users->value(QStringLiteral("UserID")).toString());
}

void TfrmUser::updateCodeReadOnly()
{
    m_code->setReadOnly(m_users->state() != Dataset::State::Insert || storedCodeIsAdmin());
}

void TfrmUser::leaveRow()
{
    // Moving away stores a pending change without the checks of "保存";
    // two kinds of change must never be stored that way.
    if (m_users->isEditing() && storedCodeIsAdmin())
        m_users->cancel();
    else if (m_users->state() == Dataset::State::Insert && m_users->isBlank(QStringLiteral("UserID")))
        m_users->cancel();
}

void TfrmUser::BtnAddClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户管理-新增用户")))
        return;
    leaveRow();
    if (!beginNewRecord(m_users))
        return;
    // Set now rather than at "保存": however the row gets stored, it never
    // goes in without a password.
    m_users->setValue(QStringLiteral("Password"), Password::hash(kDefaultPassword));
    updateCodeReadOnly();
    m_code->setFocus();
}

void TfrmUser::BtnSaveClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户管理-保存用户")))
        return;
    storeRow();
}

bool TfrmUser::storeRow()
{
    const struct {
        const char *field, *warning;
    } kRequired[] = {{"UserID", "请输入用户编号！"},
                     {"UserName", "请输入用户名称！"},
                     {"DeptID", "请选择输入所在部门！"},
                     {"Duty", "请输入用户职务！"}};
    Prompts &p = Prompts::instance();
    for (const auto &r : kRequired) {
        if (!m_users->isBlank(QLatin1String(r.field)))
            continue;
        p.warn(QString::fromUtf8(r.warning));
        if (QWidget *w = field(QLatin1String(r.field)))
            w->setFocus();
        return false;
    }
    // Nothing about the built-in user can be stored here; the fields are
    // asked for first, as for any row.
    if (storedCodeIsAdmin()) {
        p.warn(QStringLiteral("对不起，系统默认用户不能修改！"));
        m_users->cancel();
        return false;
    }
    const bool isNew = m_users->state() == Dataset::State::Insert;
    if (isNew && m_users->isBlank(QStringLiteral("Password")))
        m_users->setValue(QStringLiteral("Password"), Password::hash(kDefaultPassword));
    if (!m_users->post()) {
        p.warn(m_users->lastError());
        return false;
    }
    showCurrentRow();
    if (isNew)
        p.inform(QStringLiteral("新增用户口令为583920，请提醒用户及时修改！"));
    return true;
}

void TfrmUser::BtnDeleteClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户管理-删除用户")))
        return;
    if (!m_users->isActive() || m_users->currentRow() < 0)
        return;
    Prompts &p = Prompts::instance();
    // The stored flag counts too: unticking the box without saving does
    // not make a system user deletable.
    if (m_users->value(QStringLiteral("Sys")).toBool() || m_rowSys) {
        p.warn(QStringLiteral("对不起,系统用户不能删除!"));
        return;
    }
    if (!p.askOkCancel(QStringLiteral("您真的要删除该用户吗？"), Prompts::Icon::Warning))
        return;
    if (m_users->state() == Dataset::State::Insert) {
        m_users->cancel();
        return;
    }
    m_users->cancel();
    const QString code = m_users->value(QStringLiteral("UserID")).toString();
    Database *db = m_users->database();
    // The rights go with the user, or a user created later under the same
    // code would inherit them.
    Transaction tx(*db);
    QString error = tx.error();
    if (error.isEmpty())
        error = UserStore::removeRights(*db, code);
    if (error.isEmpty() && !m_users->remove())
        error = m_users->lastError();
    if (error.isEmpty())
        error = tx.commit();
    if (!error.isEmpty()) {
        p.warn(error);
        m_users->refresh();
    }
}

void TfrmUser::BtnCloseClick()
{
    if (m_users->isEditing()) {
        if (!Prompts::instance().askOkCancel(QStringLiteral("用户资料数据尚未保存，保存吗？"), Prompts::Icon::Question)) {
            m_users->cancel();
        } else if (!storeRow()) {
            return;
        }
    }
    QDialog::reject();
}

void TfrmUser::reject() { BtnCloseClick(); }

void TfrmUser::BtnRightClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户管理-权限分配")))
        return;
    if (!m_users->isActive() || m_users->currentRow() < 0)
        return;
    // Rights are written under the user's code; the user row must exist
    // under that code first.
    if (m_users->isEditing() && !storeRow())
        return;
    openRights(m_users->value(QStringLiteral("UserID")).toString());
}

void TfrmUser::openRights(const QString &userId)
{
    TfrmRight dlg(userId, this);
    dlg.exec();
}
