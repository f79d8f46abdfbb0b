#include "app/tfrmlogin.h"

#include "admin/data/userstore.h"
#include "data/session.h"
#include "ui/editkeys.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kAskUser = QStringLiteral("请选择要登录的用户名称！");
const QString kWrongPassword = QStringLiteral("口令输入错误，请重新输入！");
const QString kLockedOut = QStringLiteral("对不起，请与系统管理员联系！");

} // namespace

TfrmLogin::TfrmLogin(Database &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("TfrmLogin"));
    setWindowTitle(QStringLiteral("Brevia2003(网络版)"));
    // A fixed dialog without caption-bar buttons: it is left by 确定 or 取消.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_user = new QComboBox(this);
    m_user->setObjectName(QStringLiteral("cbUser"));
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    m_user->setMinimumWidth(180);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edPassword"));
    maskWithStars(m_password);

    auto *userLabel = new QLabel(QStringLiteral("用户ID："), this);
    userLabel->setBuddy(m_user);
    auto *passwordLabel = new QLabel(QStringLiteral("口  令："), this);
    passwordLabel->setBuddy(m_password);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("BtnOk"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    // Enter is handled by the boxes themselves (user box: on to the
    // password; password box: 确定), so no button may take it.
    for (QPushButton *b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *hint = new QLabel(QStringLiteral("第一次使用：用户ID：Admin  口令：583920"), this);
    hint->setObjectName(QStringLiteral("lbHint"));
    hint->setAutoFillBackground(true);
    QPalette pal = hint->palette();
    pal.setColor(QPalette::Window, QColor(0x1f, 0x4e, 0x8c));
    pal.setColor(QPalette::WindowText, Qt::yellow);
    hint->setPalette(pal);
    hint->setContentsMargins(8, 4, 8, 4);

    auto *form = new QGridLayout;
    form->addWidget(userLabel, 0, 0);
    form->addWidget(m_user, 0, 1);
    form->addWidget(passwordLabel, 1, 0);
    form->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *inner = new QVBoxLayout;
    inner->setContentsMargins(24, 20, 24, 12);
    inner->addLayout(form);
    inner->addLayout(buttons);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(inner);
    outer->addWidget(hint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_user->lineEdit(), &QLineEdit::returnPressed, this, [this] { m_password->setFocus(); });
    connect(m_password, &QLineEdit::returnPressed, this, &TfrmLogin::BtnOkClick);
    connect(m_ok, &QPushButton::clicked, this, &TfrmLogin::BtnOkClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmLogin::FormShow()
{
    m_user->clear();
    m_failures = 0;
    QString error;
    const QStringList users = UserStore::loginUsers(m_db, &error);
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    m_user->addItems(users);
    m_user->setCurrentIndex(-1);
    m_user->setEditText(QString());
    m_user->setFocus();
}

void TfrmLogin::BtnOkClick()
{
    const QString typed = m_user->currentText().trimmed();
    if (typed.isEmpty()) {
        Prompts::instance().warn(kAskUser);
        m_user->setFocus();
        return;
    }
    const QString plain = m_password->text();
    UserStore::User m;
    QString error;
    bool ok = false;
    if (UserStore::findLoginUser(m_db, typed, &m, &error)) {
        ok = UserStore::passwordMatches(m.storedPassword, plain);
        // A row from an old database that still holds its password in
        // clear is stored as a hash from now on. A failure here costs
        // nothing but another try at the next login.
        if (ok)
            UserStore::rehashClearPassword(m_db, m, plain);
    } else if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    if (ok) {
        Session::current().logIn(m.userId, m.sys);
        accept();
        return;
    }
    if (++m_failures > kAllowedFailures) {
        Prompts::instance().warn(kLockedOut);
        m_lockedOut = true;
        reject();
        return;
    }
    Prompts::instance().warn(kWrongPassword);
    m_password->selectAll();
    m_password->setFocus();
}
