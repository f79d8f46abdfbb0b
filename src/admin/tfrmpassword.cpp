#include "admin/tfrmpassword.h"

#include "admin/data/userstore.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/sharedsets.h"
#include "ui/editkeys.h"
#include "ui/prompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPassword::TfrmPassword(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmPassword"));
    setWindowTitle(QStringLiteral("口令设置"));

    auto makeBox = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(50);
        maskWithStars(e);
        return e;
    };
    m_old = makeBox("edOldPassword");
    m_new = makeBox("edNewPassword");
    m_confirm = makeBox("edConfirmPassword");

    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_save->setObjectName(QStringLiteral("BtnSave"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    // Enter belongs to the fields; Esc still reaches reject() and cancels.
    for (QPushButton *b : {m_save, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *grid = new QGridLayout;
    // Each caption is its box's buddy, so that assistive tools name the box by it.
    const struct {
        const char *caption;
        QLineEdit *box;
    } kRows[] = {{"旧口令：", m_old}, {"新口令：", m_new}, {"确认口令：", m_confirm}};
    for (int row = 0; row < int(std::size(kRows)); ++row) {
        auto *l = new QLabel(QString::fromUtf8(kRows[row].caption), this);
        l->setBuddy(kRows[row].box);
        grid->addWidget(l, row, 0);
        grid->addWidget(kRows[row].box, row, 1);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto *all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addLayout(buttons);

    setEnterOrder({m_old, m_new, m_confirm, m_save});
    connect(m_save, &QPushButton::clicked, this, &TfrmPassword::BtnSaveClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_old->setFocus();
}

bool TfrmPassword::oldPasswordMatches(const QString &plain, QString *error) const
{
    const QString stored =
        UserStore::storedPassword(*TdmMain::instance()->database(), Session::current().userId(), error);
    // No such user (or a failure) is no match either.
    return !stored.isEmpty() && UserStore::passwordMatches(stored, plain);
}

void TfrmPassword::BtnSaveClick()
{
    Prompts &p = Prompts::instance();
    if (m_old->text().isEmpty()) {
        p.warn(QStringLiteral("对不起，请输入旧口令！"));
        m_old->selectAll();
        m_old->setFocus();
        return;
    }
    QString error;
    if (!oldPasswordMatches(m_old->text(), &error)) {
        p.warn(error.isEmpty() ? QStringLiteral("对不起，输入的旧口令不正确！") : error);
        m_old->selectAll();
        m_old->setFocus();
        return;
    }
    if (m_new->text().isEmpty()) {
        p.warn(QStringLiteral("对不起，请输入新口令！"));
        m_new->setFocus();
        return;
    }
    if (m_confirm->text().isEmpty()) {
        p.warn(QStringLiteral("对不起，请输入确认口令！"));
        m_confirm->setFocus();
        return;
    }
    if (m_new->text() != m_confirm->text()) {
        p.warn(QStringLiteral("对不起，输入的确认口令与新口令不一致！"));
        m_confirm->clear();
        m_confirm->setFocus();
        return;
    }
    error = UserStore::setPassword(*TdmMain::instance()->database(), Session::current().userId(), m_new->text());
    if (!error.isEmpty()) {
        p.warn(error);
        return;
    }
    // The shared user list must not keep the old value, or its next edit
    // of this row would be taken for another workstation's change.
    if (Dataset *users = TdmMain::instance()->dataset(Sets::kUsers); users && users->isActive())
        users->refresh();
    p.inform(QStringLiteral("口令修改成功！"));
    accept();
}
