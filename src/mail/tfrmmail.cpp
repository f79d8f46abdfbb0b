#include "mail/tfrmmail.h"

#include "contacts/tfrmlinkmanquery.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "mail/mailsendrun.h"
#include "mail/mimemessage.h"
#include "mail/tfrmmailmemo.h"
#include "mail/tfrmmailserver.h"
#include "ui/datagrid.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

std::function<bool(const QUrl &)> &urlOpener()
{
    static std::function<bool(const QUrl &)> open = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return open;
}

constexpr int kNameRole = Qt::UserRole;

} // namespace

TfrmMail::TfrmMail(QWidget *parent)
    : ModulePanel(parent), m_contacts(TfrmLinkmanQuery::contacts()), m_pending(new QListWidget(this)),
      m_failed(new QListWidget(this))
{
    setObjectName(QStringLiteral("TfrmMail"));
    setWindowTitle(QStringLiteral("邮件群发"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *bar = new QHBoxLayout;
    layout->addLayout(bar);
    auto button = [this](QBoxLayout *box, const QString &caption, const char *name, void (TfrmMail::*run)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, run);
        box->addWidget(b);
        m_buttons << b;
        return b;
    };
    button(bar, QStringLiteral("发送"), "BtnSend", &TfrmMail::BtnSendClick);
    button(bar, QStringLiteral("邮件内容"), "BtnMemo", &TfrmMail::BtnMemoClick);
    button(bar, QStringLiteral("查询"), "BtnQuery", &TfrmMail::BtnQueryClick);
    button(bar, QStringLiteral("邮件工具"), "BtnMailTool", &TfrmMail::BtnMailToolClick);
    button(bar, QStringLiteral("服务器设置"), "BtnServer", &TfrmMail::BtnServerClick);
    button(bar, QStringLiteral("关闭"), "BtnClose", &TfrmMail::BtnCloseClick);
    bar->addStretch();

    auto *body = new QHBoxLayout;
    layout->addLayout(body, 1);
    auto *left = new QGroupBox(QStringLiteral("联系人列表"), this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    m_grid = new DataGrid(m_contacts,
                          {{"CustID", "公司代码"}, {"CustName", "公司名称"}, {"Name", "联系人"}, {"Email", "Email"}},
                          QStringLiteral("TfrmMail.Contacts"), left);
    m_grid->setGroupPanelVisible(false);
    m_grid->setDefaultColumnWidths({{"CustID", 64}, {"CustName", 110}, {"Name", 70}, {"Email", 150}});
    leftLayout->addWidget(m_grid);
    body->addWidget(left, 3);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] { addCurrentContact(); });

    auto *moves = new QVBoxLayout;
    moves->addStretch();
    for (const auto &[caption, name, run] :
         {std::tuple{">", "BtnAdd", &TfrmMail::BtnAddClick}, std::tuple{"<", "BtnRemove", &TfrmMail::BtnRemoveClick},
          std::tuple{">>", "BtnAddAll", &TfrmMail::BtnAddAllClick},
          std::tuple{"<<", "BtnRemoveAll", &TfrmMail::BtnRemoveAllClick}})
        button(moves, QString::fromLatin1(caption), name, run)->setFixedWidth(40);
    moves->addStretch();
    body->addLayout(moves);

    auto *right = new QVBoxLayout;
    body->addLayout(right, 2);
    auto list = [this, right](const QString &caption, QListWidget *w, const char *name) {
        auto *box = new QGroupBox(caption, this);
        auto *l = new QVBoxLayout(box);
        l->setContentsMargins(2, 2, 2, 2);
        w->setObjectName(QString::fromLatin1(name));
        w->setAccessibleName(caption);
        l->addWidget(w);
        right->addWidget(box, 1);
    };
    list(QStringLiteral("待发送邮件列表"), m_pending, "List_Pending");
    list(QStringLiteral("发送失败邮件列表"), m_failed, "List_Failed");
    connect(m_pending, &QListWidget::itemDoubleClicked, this, [this] { BtnRemoveClick(); });
}

TfrmMail::~TfrmMail() = default;

QPushButton *TfrmMail::button(const QString &objectName) const
{
    for (QPushButton *b : m_buttons)
        if (b->objectName() == objectName)
            return b;
    return nullptr;
}

void TfrmMail::setUrlOpener(std::function<bool(const QUrl &)> open)
{
    urlOpener() = open ? std::move(open) : [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

QUrl TfrmMail::mailToUrl(const QString &to, const QString &subject, const QString &body)
{
    QString text = body;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    // '&', '?', '#' and '%' in the subject or body are the user's text, not
    // parts of the address.
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(to.trimmed(), "@") + "?subject="
                               + QUrl::toPercentEncoding(subject) + "&body=" + QUrl::toPercentEncoding(text);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

void TfrmMail::open()
{
    TdmMain *dm = TdmMain::instance();
    Dataset *customers = dm->dataset(Sets::kCustomerNames);
    if (customers && !customers->isActive() && !customers->open()) {
        Prompts::instance().warn(customers->lastError());
        return;
    }
    // Every contact again: a search of an earlier visit no longer holds.
    if (!refilter(m_contacts, Condition()))
        Prompts::instance().warn(m_contacts->lastError());
    emit detailOpened();
}

void TfrmMail::addCurrentContact()
{
    if (!m_contacts->isActive() || m_contacts->currentRow() < 0)
        return;
    auto *item = new QListWidgetItem(m_contacts->value(QStringLiteral("Email")).toString());
    item->setData(kNameRole, m_contacts->value(QStringLiteral("Name")).toString());
    m_pending->addItem(item);
}

void TfrmMail::BtnAddClick()
{
    if (!m_contacts->isActive() || m_contacts->currentRow() < 0)
        return;
    addCurrentContact();
    m_contacts->next();
}

void TfrmMail::BtnRemoveClick()
{
    const QList<QListWidgetItem *> selected = m_pending->selectedItems();
    for (QListWidgetItem *item : selected)
        delete item;
}

void TfrmMail::BtnAddAllClick()
{
    m_pending->clear();
    if (!m_contacts->isActive())
        return;
    if (!m_contacts->loadAllRows()) {
        Prompts::instance().warn(m_contacts->lastError());
        return;
    }
    for (int r = 0; r < m_contacts->rowCount(); ++r) {
        auto *item = new QListWidgetItem(m_contacts->value(r, QStringLiteral("Email")).toString());
        item->setData(kNameRole, m_contacts->value(r, QStringLiteral("Name")).toString());
        m_pending->addItem(item);
    }
}

void TfrmMail::BtnRemoveAllClick()
{
    m_pending->clear();
}

void TfrmMail::openMemo()
{
    TfrmMailMemo dlg(&m_message, this);
    dlg.exec();
}

void TfrmMail::openServer()
{
    TfrmMailServer dlg(&m_session, &m_message, this);
    dlg.exec();
}

void TfrmMail::BtnMemoClick()
{
    if (logCommand(QStringLiteral("工具-邮件群发-邮件内容")))
        openMemo();
}

void TfrmMail::BtnServerClick()
{
    if (logCommand(QStringLiteral("工具-邮件群发-服务器设置")))
        openServer();
}

void TfrmMail::BtnQueryClick()
{
    if (logCommand(QStringLiteral("工具-邮件群发-查询")))
        TfrmLinkmanQuery::choose(this);
}

void TfrmMail::BtnCloseClick()
{
    emit closeRequested();
}

void TfrmMail::BtnMailToolClick()
{
    Prompts &p = Prompts::instance();
    if (m_message.subject.isEmpty()) {
        p.warn(QStringLiteral("请输入邮件主题!"));
        openMemo();
        return;
    }
    if (m_message.body.isEmpty()) {
        p.warn(QStringLiteral("请输入邮件内容!"));
        openMemo();
        return;
    }
    if (!m_contacts->isActive() || m_contacts->currentRow() < 0)
        return;
    urlOpener()(mailToUrl(m_contacts->value(QStringLiteral("Email")).toString(), m_message.subject, m_message.body));
}

QString TfrmMail::agencyName() const
{
    Dataset *info = TdmMain::instance()->dataset(Sets::kAgency);
    // Read afresh: the agency's details may have been changed since.
    if (!info || !(info->isActive() ? info->refresh() : info->open()) || info->isEmpty())
        return {};
    return info->value(0, QStringLiteral("UserName")).toString().trimmed();
}

void TfrmMail::BtnSendClick()
{
    if (!logCommand(QStringLiteral("工具-邮件群发-发送")))
        return;
    Prompts &p = Prompts::instance();
    if (m_message.subject.isEmpty()) {
        p.warn(QStringLiteral("请输入邮件主题!"));
        openMemo();
        return;
    }
    if (m_message.body.isEmpty()) {
        p.warn(QStringLiteral("请输入邮件正文!"));
        openMemo();
        return;
    }
    if (!m_session.isConnected()) {
        p.warn(QStringLiteral("未连接到服务器!"));
        openServer();
        return;
    }
    if (m_message.sender.address.isEmpty()) {
        p.warn(QStringLiteral("请输入发件人地址!"));
        openServer();
        return;
    }
    send();
    m_session.disconnect();
}

void TfrmMail::send()
{
    m_message.sender.name = agencyName();
    // Attachments are read once for the whole mailing; one that cannot be
    // read stops it before anything is sent.
    const MimeMessage mime(m_message);
    if (!mime.isValid()) {
        Prompts::instance().warn(QStringLiteral("对不起，无法读取附件：") + mime.error());
        return;
    }
    m_failed->clear();
    QList<MailAddress> entries;
    for (int i = 0; i < m_pending->count(); ++i)
        entries << MailAddress{m_pending->item(i)->data(kNameRole).toString(), m_pending->item(i)->text().trimmed()};
    if (entries.isEmpty())
        return;

    MailSendRun run(&m_session, mime, m_message.sender, m_message.copies(), entries);
    run.setPauseOnFailure(true);
    QProgressDialog progress(QStringLiteral("正在发送邮件..."), QStringLiteral("取消"), 0, int(entries.size()), this);
    progress.setObjectName(QStringLiteral("SendProgress"));
    progress.setWindowTitle(QStringLiteral("邮件群发"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    connect(&progress, &QProgressDialog::canceled, this, [&run] { run.cancel(); });
    connect(&run, &MailSendRun::progressed, this, [&progress](int done, int total, const QString &next) {
        progress.setValue(done);
        if (done < total)
            progress.setLabelText(QStringLiteral("正在发送第 %1 / %2 封：%3").arg(done + 1).arg(total).arg(next));
    });
    // Each failure is said in its own box, in the order of the list; the
    // run waits until the user has seen it.
    connect(&run, &MailSendRun::entryFailed, this, [this, &run](int, const QString &entry, const QString &reason) {
        Prompts::instance().warn(entry + QStringLiteral(" 发送失败!"));
        auto *item = new QListWidgetItem(entry, m_failed);
        item->setToolTip(reason);
        run.acknowledge();
    });
    QEventLoop loop;
    connect(&run, &MailSendRun::finished, &loop, &QEventLoop::quit);
    QThread *thread = QThread::create([&run] { run.run(); });
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    progress.close();
}
