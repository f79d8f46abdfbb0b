// The mail window with its content and server dialogs, sending to a real
// SMTP server on loopback, on both engines.
#include "mail/mailfixture.h"
#include "mail/mailsendrun.h"
#include "mail/smtptestserver.h"
#include "mail/tfrmmail.h"
#include "mail/tfrmmailmemo.h"
#include "mail/tfrmmailserver.h"

#include "contacts/tfrmlinkmanquery.h"
#include "data/recordscope.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSet>

namespace {

using O = SmtpTestServer::Options;

class MailWindowTest : public MailFixture
{
protected:
    void SetUp() override
    {
        MailFixture::SetUp();
        if (HasFatalFailure())
            return;
        w = std::make_unique<TfrmMail>();
        w->resize(792, 470);
        w->show();
        w->open();
    }
    void TearDown() override
    {
        w.reset();
        TfrmMailServer::trustCertificates({});
        TfrmMail::setUrlOpener({});
        MailFixture::TearDown();
    }
    void compose(const QString &subject, const QString &body, const QString &cc = {}, const QString &bcc = {},
                 const QStringList &attachments = {})
    {
        TfrmMailMemo dlg(&w->message(), w.get());
        dlg.subject()->setText(subject);
        dlg.body()->setPlainText(body);
        dlg.cc()->setText(cc);
        dlg.bcc()->setText(bcc);
        dlg.attachments()->clear();
        dlg.attachments()->addItems(attachments);
        dlg.BtnOkClick();
    }
    QStringList connect(int port, const QString &password = QStringLiteral("s3cret"))
    {
        TfrmMailServer dlg(&w->session(), &w->message(), w.get());
        dlg.server()->setEditText(QStringLiteral("127.0.0.1"));
        dlg.port()->setText(QString::number(port));
        dlg.sender()->setText(QStringLiteral(" office@example.cn "));
        dlg.user()->setText(QStringLiteral("clerk"));
        dlg.password()->setText(password);
        dlg.BtnConnectClick();
        return dlg.statusHistory();
    }
    QStringList pendingTexts() const
    {
        QStringList l;
        for (int i = 0; i < w->pending()->count(); ++i)
            l << w->pending()->item(i)->text();
        return l;
    }
    QStringList failedTexts() const
    {
        QStringList l;
        for (int i = 0; i < w->failed()->count(); ++i)
            l << w->failed()->item(i)->text();
        return l;
    }

    std::unique_ptr<TfrmMail> w;
};

TEST_P(MailWindowTest, AMailingToFiftyContactsArrivesIntact)
{
    SmtpTestServer server;
    ASSERT_EQ(server.start(O().login("clerk", "s3cret").withStarttls().refusing("c7@example.cn")),
              "");
    TfrmMailServer::trustCertificates(SmtpTestServer::certificate());
    const QString attachment = QDir(t->dir()).filePath(QStringLiteral("服务合同 2024（范本）.txt"));
    const QByteArray attachmentData = QStringLiteral("甲方：阳光家政\r\n乙方：\r\n").toUtf8() + QByteArray(3000, 'x');
    {
        QFile f(attachment);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(attachmentData);
    }
    ASSERT_EQ(t->db().insertRow("tblUserInfo", {{"UserName", "阳光家政服务中心"}}), "");

    w->BtnAddAllClick();
    ASSERT_EQ(w->pending()->count(), kWithAddress + 2);
    const QString subject = QStringLiteral("关于春节期间家政服务安排的通知（2024年）");
    const QString body = QStringLiteral("尊敬的客户：\n\n春节期间服务照常。\n.以点开头的一行\n此致");
    compose(subject, body, QStringLiteral("王经理 <wang@example.cn>, li@example.cn"), QStringLiteral("老板 <boss@example.cn>"),
            {attachment});
    EXPECT_EQ(connect(server.port()),
              QStringList({"准备连接到服务器!", "已经连接到服务器 127.0.0.1", "服务器要求验证", "开始验证",
                           "服务器验证通过!"}));
    EXPECT_EQ(prompts.texts(), QStringList({"服务器要求验证"}));
    prompts.clear();

    w->BtnSendClick();

    // The two contacts without an address and the refused one, each said
    // in its own box, in the order of the list.
    QStringList expectedFailures;
    for (const QString &e : pendingTexts())
        if (e.isEmpty() || e == "c7@example.cn")
            expectedFailures << e;
    ASSERT_EQ(expectedFailures.size(), 3);
    QStringList said;
    for (const QString &e : expectedFailures)
        said << e + " 发送失败!";
    EXPECT_EQ(prompts.texts(), said);
    EXPECT_EQ(failedTexts(), expectedFailures);
    EXPECT_EQ(w->pending()->count(), kWithAddress + 2) << "the pending list stays";
    EXPECT_FALSE(w->session().isConnected()) << "a send ends with the connection closed";

    QString readError;
    const QJsonArray got = server.messages(&readError);
    ASSERT_EQ(got.size(), kWithAddress - 1) << readError.toStdString();
    QSet<QString> ids, recipients;
    for (const QJsonValue &v : got) {
        const QJsonObject m = v.toObject();
        const QJsonArray to = m["to"].toArray();
        ASSERT_EQ(to.size(), 1);
        const QString address = to[0].toObject()["address"].toString();
        recipients << address;
        const int k = address.mid(1, address.indexOf('@') - 1).toInt();
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(to[0].toObject()["name"].toString(), QStringLiteral("联系人%1").arg(k));
        EXPECT_EQ(m["subject"].toString(), subject);
        EXPECT_EQ(m["headerFrom"].toArray()[0].toObject()["name"].toString(), QStringLiteral("阳光家政服务中心"));
        EXPECT_EQ(m["headerFrom"].toArray()[0].toObject()["address"].toString(), "office@example.cn");
        EXPECT_EQ(m["from"].toString(), "office@example.cn");
        const QJsonArray cc = m["cc"].toArray();
        ASSERT_EQ(cc.size(), 2);
        EXPECT_EQ(cc[0].toObject()["name"].toString(), QStringLiteral("王经理"));
        EXPECT_EQ(cc[1].toObject()["address"].toString(), "li@example.cn");
        EXPECT_FALSE(m["hasBcc"].toBool());
        QStringList rcpt;
        for (const QJsonValue &r : m["rcpt"].toArray())
            rcpt << r.toString();
        EXPECT_EQ(rcpt, QStringList({address, "wang@example.cn", "li@example.cn", "boss@example.cn"}));
        EXPECT_EQ(m["body"].toString().replace("\r\n", "\n").trimmed().toStdString(), body.toStdString());
        const QJsonArray atts = m["attachments"].toArray();
        ASSERT_EQ(atts.size(), 1);
        EXPECT_EQ(atts[0].toObject()["name"].toString(), QStringLiteral("服务合同 2024（范本）.txt"));
        EXPECT_EQ(QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()), attachmentData);
        EXPECT_TRUE(m["defects"].toArray().isEmpty());
        EXPECT_TRUE(m["tls"].toBool());
        EXPECT_TRUE(m["auth"].toBool());
        EXPECT_TRUE(m["rawAscii"].toBool());
        EXPECT_FALSE(m["date"].toString().isEmpty());
        ids << m["messageId"].toString();
    }
    EXPECT_EQ(ids.size(), got.size()) << "every message its own Message-ID";
    EXPECT_FALSE(recipients.contains("c7@example.cn"));

    const QStringList log = logLines();
    EXPECT_TRUE(log.contains("工具-邮件群发-发送"));
    for (const QString &line : log)
        EXPECT_FALSE(line.contains("s3cret"));
}

TEST_P(MailWindowTest, SendSaysWhatIsMissingAndOpensTheDialogThatSuppliesIt)
{
    SmtpTestServer server;
    ASSERT_EQ(server.start(O()), "");
    struct Case {
        const char *subject, *body;
        bool connected;
        const char *sender;
        const char *said;   // empty: nothing said
        const char *dialog; // empty: none opened
    };
    const Case cases[] = {
        {"", "", true, "office@example.cn", "请输入邮件主题!", "TfrmMailMemo"},
        {"通知", "", true, "office@example.cn", "请输入邮件正文!", "TfrmMailMemo"},
        {"通知", "正文", false, "office@example.cn", "未连接到服务器!", "TfrmMailServer"},
        {"通知", "正文", true, "", "请输入发件人地址!", "TfrmMailServer"},
        {"通知", "正文", true, "office@example.cn", "", ""}, // nothing pending: nothing sent
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.said);
        w->message().subject = QString::fromUtf8(c.subject);
        w->message().body = QString::fromUtf8(c.body);
        w->message().sender.address = QString::fromUtf8(c.sender);
        if (c.connected)
            ASSERT_EQ(w->session().connect({"127.0.0.1", server.port(), "u", "p", false, {}, 10}), "");
        else
            w->session().disconnect();
        prompts.clear();
        QString opened;
        if (*c.dialog)
            whenModal([&](QWidget *d) {
                opened = d->objectName();
                d->close();
            });
        w->BtnSendClick();
        EXPECT_EQ(prompts.texts(), *c.said ? QStringList({QString::fromUtf8(c.said)}) : QStringList());
        EXPECT_EQ(opened, QString::fromLatin1(c.dialog));
        // Only a send that ran closes the connection.
        EXPECT_EQ(w->session().isConnected(), c.connected && *c.said);
    }
    EXPECT_TRUE(server.messages().isEmpty());
}

TEST_P(MailWindowTest, TheContentDialogShowsAndSetsExactlyWhatGoesOut)
{
    const QString a = QDir(t->dir()).filePath("a.txt"), b = QDir(t->dir()).filePath("b.txt");
    compose("通知", "正文", "wang@example.cn, li@example.cn", "boss@example.cn", {a});
    EXPECT_EQ(w->message().cc.size(), 2);
    {
        TfrmMailMemo dlg(&w->message(), w.get());
        EXPECT_EQ(dlg.subject()->text(), "通知");
        EXPECT_EQ(dlg.cc()->text(), "wang@example.cn, li@example.cn");
        EXPECT_EQ(dlg.bcc()->text(), "boss@example.cn");
        ASSERT_EQ(dlg.attachments()->count(), 1);
        EXPECT_EQ(dlg.attachments()->item(0)->text(), a);
        // Cancelled changes stay out of the message.
        dlg.cc()->clear();
        dlg.attachments()->clear();
        dlg.reject();
    }
    EXPECT_EQ(w->message().cc.size(), 2);
    EXPECT_EQ(w->message().attachments, QStringList({a}));
    {
        TfrmMailMemo dlg(&w->message(), w.get());
        dlg.cc()->clear();
        dlg.attachments()->setCurrentRow(0);
        dlg.removeSelectedAttachment();
        prompts.fileNames << b;
        dlg.BtnAttachClick();
        dlg.BtnOkClick();
    }
    EXPECT_TRUE(w->message().cc.isEmpty()) << "an emptied 抄送 sends no copies";
    EXPECT_EQ(w->message().bcc, QList<MailAddress>({{"", "boss@example.cn"}}));
    EXPECT_EQ(w->message().attachments, QStringList({b}));

    struct Check {
        const char *subject, *body, *cc, *bcc, *said, *focus;
    };
    for (const Check &c : {Check{"", "正文", "", "", "请输入邮件主题！", "Edit_Subject"},
                           Check{"主题", "", "", "", "请输入邮件正文！", "Memo_Body"},
                           Check{"主题", "正文", "li@example.cn, wang@", "", "对不起，抄送地址不合法：wang@", "Edit_CC"},
                           Check{"主题", "正文", "", "老板 <boss example.cn>", "对不起，暗送地址不合法：boss example.cn",
                                 "Edit_BCC"}}) {
        TfrmMailMemo dlg(&w->message(), w.get());
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        dlg.subject()->setText(QString::fromUtf8(c.subject));
        dlg.body()->setPlainText(QString::fromUtf8(c.body));
        dlg.cc()->setText(QString::fromUtf8(c.cc));
        dlg.bcc()->setText(QString::fromUtf8(c.bcc));
        prompts.clear();
        dlg.BtnOkClick();
        EXPECT_EQ(prompts.texts(), QStringList({QString::fromUtf8(c.said)}));
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), c.focus);
        EXPECT_EQ(dlg.result(), 0);
    }
    EXPECT_EQ(w->message().subject, "通知");
    EXPECT_EQ(w->message().bcc, QList<MailAddress>({{"", "boss@example.cn"}}));
}

TEST_P(MailWindowTest, SavingTheBodyAddsTheSuffixOnceAndAsksBeforeReplacing)
{
    const QDir dir(t->dir());
    TfrmMailMemo dlg(&w->message(), w.get());
    dlg.body()->setPlainText("第一行\n第二行");
    prompts.fileNames << dir.filePath("通知") << dir.filePath("说明.txt");
    dlg.BtnSaveClick();
    dlg.BtnSaveClick();
    EXPECT_TRUE(QFile::exists(dir.filePath("通知.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("说明.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("说明.txt.txt")));
    QFile f(dir.filePath("通知.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QStringLiteral("第一行\r\n第二行").toUtf8());
    f.close();

    // The name without its suffix names a file that is there: asked, and No keeps it.
    dlg.body()->setPlainText("改过的");
    prompts.fileNames << dir.filePath("通知");
    prompts.answers = {false};
    prompts.clear();
    dlg.BtnSaveClick();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].kind, "yesno");
    EXPECT_EQ(prompts.shown[1].text, "文件“通知.txt”已存在，要替换它吗？");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QStringLiteral("第一行\r\n第二行").toUtf8());
    f.close();

    // And the text comes back in through "导入...", also from a GB18030 file.
    QFile gb(dir.filePath("gb.txt"));
    ASSERT_TRUE(gb.open(QIODevice::WriteOnly));
    gb.write(QByteArray::fromHex("c4fabac3a3ba0d0abbb6d3ad")); // 您好：\r\n欢迎
    gb.close();
    for (const auto &[file, text] : {std::pair{"通知.txt", "第一行\n第二行"}, std::pair{"gb.txt", "您好：\n欢迎"}}) {
        prompts.fileNames << dir.filePath(QString::fromUtf8(file));
        dlg.BtnImportClick();
        EXPECT_EQ(dlg.body()->toPlainText(), QString::fromUtf8(text));
    }
}

TEST_P(MailWindowTest, ThePendingListCommands)
{
    Dataset *contacts = w->contacts();
    ASSERT_TRUE(contacts->first());
    const QString first = contacts->value("Email").toString();
    w->BtnAddClick();
    EXPECT_EQ(contacts->currentRow(), 1) << "> moves on to the next contact";
    const QString second = contacts->value("Email").toString();
    w->addCurrentContact(); // a double click stays
    w->addCurrentContact();
    EXPECT_EQ(contacts->currentRow(), 1);
    EXPECT_EQ(pendingTexts(), QStringList({first, second, second}));

    w->pending()->clearSelection();
    w->pending()->setCurrentRow(-1);
    w->BtnRemoveClick();
    EXPECT_EQ(w->pending()->count(), 3) << "< without a selection changes nothing";
    w->pending()->setCurrentRow(1);
    w->BtnRemoveClick();
    EXPECT_EQ(pendingTexts(), QStringList({first, second}));
    w->BtnRemoveAllClick();
    EXPECT_EQ(w->pending()->count(), 0);

    // A contact search narrows what ">>" takes, the next opening lists all again.
    ASSERT_TRUE(refilter(contacts, Condition::equals("CustID", "C2")));
    w->BtnAddAllClick();
    EXPECT_EQ(w->pending()->count(), 11);
    w->open();
    ASSERT_TRUE(contacts->loadAllRows());
    EXPECT_EQ(contacts->rowCount(), kWithAddress + 2);
}

TEST_P(MailWindowTest, TheMailToolHandsTheMessageToTheDesktop)
{
    QList<QUrl> opened;
    TfrmMail::setUrlOpener([&](const QUrl &u) {
        opened << u;
        return true;
    });
    whenModal([](QWidget *d) { d->close(); });
    w->BtnMailToolClick();
    EXPECT_EQ(prompts.texts(), QStringList({"请输入邮件主题!"}));
    EXPECT_TRUE(opened.isEmpty());
    w->message().subject = "费用 & 安排";
    w->message().body = "您好\n谢谢";
    ASSERT_TRUE(w->contacts()->first());
    w->BtnMailToolClick();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], TfrmMail::mailToUrl(w->contacts()->value("Email").toString(), "费用 & 安排", "您好\n谢谢"));
}

TEST_P(MailWindowTest, ACancelledRunSendsNoMore)
{
    SmtpTestServer server;
    ASSERT_EQ(server.start(O()), "");
    SmtpSession s;
    ASSERT_EQ(s.connect({"127.0.0.1", server.port(), "u", "p", false, {}, 10}), "");
    MailMessage m;
    m.sender.address = "office@example.cn";
    m.subject = "x";
    m.body = "y";
    const MimeMessage mime(m);
    MailSendRun run(&s, mime, m.sender, {}, {{"", "a@example.cn"}, {"", "b@example.cn"}});
    int sentBeforeCancel = 0;
    QObject::connect(&run, &MailSendRun::progressed, [&](int done, int, const QString &) {
        if (done == 1) {
            sentBeforeCancel = run.sent();
            run.cancel();
        }
    });
    bool cancelled = false;
    QObject::connect(&run, &MailSendRun::finished, [&](bool c) { cancelled = c; });
    run.run();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(sentBeforeCancel, 1);
    EXPECT_EQ(server.messages().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, MailWindowTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

// The server dialog's checks come before any network activity.
TEST(MailServerDialogTest, ChecksTheFieldsInOrderBeforeConnecting)
{
    FakePrompts prompts;
    struct Case {
        const char *server, *port, *sender, *user, *password, *said, *focus;
    };
    const Case cases[] = {
        {"", "25", "a@b.cn", "u", "p", "请输入服务器地址!", "Combo_Server"},
        {"smtp.163.com", "", "a@b.cn", "u", "p", "请输入服务器端口号!", "Edit_Port"},
        {"smtp.163.com", "25", "", "u", "p", "请输入发件人地址!", "Edit_Sender"},
        {"smtp.163.com", "25", "a@b.cn", "", "p", "请输入用户名!", "Edit_User"},
        {"smtp.163.com", "25", "a@b.cn", "u", "", "请输入用户密码!", "Edit_Password"},
        {"smtp.163.com", "25", "office.b.cn", "u", "p", "您输入的邮件地址不合法!", "Edit_Sender"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.said);
        SmtpSession session;
        MailMessage message;
        TfrmMailServer dlg(&session, &message);
        EXPECT_EQ(dlg.port()->text(), "25");
        EXPECT_TRUE(dlg.server()->currentText().isEmpty());
        EXPECT_EQ(dlg.password()->echoMode(), QLineEdit::Password);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        dlg.server()->setEditText(QString::fromUtf8(c.server));
        dlg.port()->setText(QString::fromUtf8(c.port));
        dlg.sender()->setText(QString::fromUtf8(c.sender));
        dlg.user()->setText(QString::fromUtf8(c.user));
        dlg.password()->setText(QString::fromUtf8(c.password));
        prompts.clear();
        dlg.BtnConnectClick();
        EXPECT_EQ(prompts.texts(), QStringList({QString::fromUtf8(c.said)}));
        EXPECT_TRUE(dlg.statusHistory().isEmpty());
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), c.focus);
        EXPECT_TRUE(message.sender.address.isEmpty());
        // An address without '@' is selected for retyping.
        EXPECT_EQ(dlg.sender()->hasSelectedText(), QString::fromUtf8(c.sender) == "office.b.cn");
    }
}

TEST(MailServerDialogTest, APortThatIsNoNumberIsAFailedConnection)
{
    FakePrompts prompts;
    SmtpSession session;
    MailMessage message;
    TfrmMailServer dlg(&session, &message);
    dlg.server()->setEditText("127.0.0.1");
    dlg.port()->setText("2 5");
    dlg.sender()->setText("office@example.cn");
    dlg.user()->setText("u");
    dlg.password()->setText("p");
    dlg.BtnConnectClick();
    EXPECT_EQ(dlg.statusHistory(), QStringList({"准备连接到服务器!", "无法连接到服务器!"}));
    EXPECT_EQ(prompts.texts(), QStringList({"无法连接到服务器!"}));
    EXPECT_FALSE(session.isConnected());
    dlg.BtnDisconnectClick();
    EXPECT_EQ(dlg.statusText(), "断开连接!");
}

TEST(MailServerDialogTest, LoginOutcomes)
{
    struct Case {
        const char *name;
        SmtpTestServer::Options server;
        const char *password;
        QStringList statuses;
        QStringList said;
        bool connected;
    };
    const Case cases[] = {
        {"noAuth", O(), "p", {"准备连接到服务器!", "已经连接到服务器 127.0.0.1", "服务器不需要验证"}, {}, true},
        {"refused",
         O().login("clerk", "s3cret"),
         "guess",
         {"准备连接到服务器!", "已经连接到服务器 127.0.0.1", "服务器要求验证", "开始验证", "服务器验证失败!"},
         {"服务器要求验证", "服务器验证失败"},
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakePrompts prompts;
        SmtpTestServer server;
        ASSERT_EQ(server.start(c.server), "");
        SmtpSession session;
        MailMessage message;
        TfrmMailServer dlg(&session, &message);
        dlg.server()->setEditText("127.0.0.1");
        dlg.port()->setText(QString::number(server.port()));
        dlg.sender()->setText("office@example.cn");
        dlg.user()->setText("clerk");
        dlg.password()->setText(QString::fromLatin1(c.password));
        dlg.BtnConnectClick();
        EXPECT_EQ(dlg.statusHistory(), c.statuses);
        EXPECT_EQ(prompts.texts(), c.said);
        EXPECT_EQ(session.isConnected(), c.connected);
        EXPECT_EQ(message.sender.address, "office@example.cn");
    }
}

} // namespace
