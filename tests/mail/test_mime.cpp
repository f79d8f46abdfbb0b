// Addresses, header encodings and the mailto: link: the pieces of a message
// that must carry Chinese text through 7-bit mail unharmed.
#include "mail/mailaddress.h"
#include "mail/mimemessage.h"
#include "mail/mimetext.h"
#include "mail/tfrmmail.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUrlQuery>

namespace {

TEST(MailAddressTest, ParsesTheListsUsersType)
{
    struct Case {
        const char *text;
        QList<MailAddress> expected;
    };
    const Case cases[] = {
        {"", {}},
        {" , ;", {}},
        {"a@x.cn", {{"", "a@x.cn"}}},
        {"a@x.cn, b@y.cn", {{"", "a@x.cn"}, {"", "b@y.cn"}}},
        {"a@x.cn；b@y.cn，c@z.cn", {{"", "a@x.cn"}, {"", "b@y.cn"}, {"", "c@z.cn"}}},
        {"张三 <zs@x.cn>, \"Li, Si\" <ls@y.cn>", {{"张三", "zs@x.cn"}, {"Li, Si", "ls@y.cn"}}},
        {"<odd,name@x.cn>", {{"", "odd,name@x.cn"}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(MailAddress::parseList(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(MailAddressTest, UsableAddresses)
{
    const std::pair<const char *, bool> cases[] = {
        {"zs@example.cn", true}, {"", false},          {"zs", false},          {"@example.cn", false},
        {"zs@", false},          {"a@b@c", false},     {"z s@example.cn", false}, {"zs@example.cn\r\nRCPT", false},
    };
    for (const auto &[text, usable] : cases)
        EXPECT_EQ((MailAddress{{}, QString::fromLatin1(text)}.isUsable()), usable) << text;
}

TEST(MimeTextTest, EncodedWordsStayWithinTheirLengthAndKeepCharactersWhole)
{
    const QString subject = QStringLiteral("关于二〇二四年春节期间家政服务人员安排及服务费用调整的通知😀（请各位客户务必阅读）");
    const QByteArray v = MimeText::headerValue(subject);
    QString decoded;
    for (const QByteArray &line : v.split('\n')) {
        const QByteArray word = line.trimmed();
        ASSERT_LE(word.size(), 75);
        ASSERT_TRUE(word.startsWith("=?UTF-8?B?") && word.endsWith("?=")) << word.constData();
        // Each word must decode on its own: no character split across two.
        const QByteArray bytes = QByteArray::fromBase64(word.mid(10, word.size() - 12));
        const QString part = QString::fromUtf8(bytes);
        ASSERT_EQ(part.toUtf8(), bytes);
        decoded += part;
    }
    EXPECT_EQ(decoded, subject);
    EXPECT_EQ(MimeText::headerValue(QStringLiteral("Plain subject")), "Plain subject");
}

TEST(MimeTextTest, DatesAreInEnglishWithTheOffset)
{
    const QDateTime at(QDate(2024, 2, 6), QTime(9, 5, 7), QTimeZone(8 * 3600));
    EXPECT_EQ(MimeText::date(at), "Tue, 06 Feb 2024 09:05:07 +0800");
    const QDateTime west(QDate(2023, 12, 31), QTime(23, 0), QTimeZone(-(5 * 3600 + 30 * 60)));
    EXPECT_EQ(MimeText::date(west), "Sun, 31 Dec 2023 23:00:00 -0530");
}

TEST(MimeMessageTest, BlindCopiesNeverReachAHeaderAndTheWireStaysAscii)
{
    MailMessage m;
    m.sender = {QStringLiteral("阳光家政"), QStringLiteral("office@example.cn")};
    m.subject = QStringLiteral("通知");
    m.body = QStringLiteral("第一行\n第二行");
    m.cc = {{QStringLiteral("王经理"), QStringLiteral("wang@example.cn")}};
    m.bcc = {{QStringLiteral("老板"), QStringLiteral("boss@example.cn")}};
    const MimeMessage mime(m);
    ASSERT_TRUE(mime.isValid());
    const QByteArray bytes = mime.bytesFor({QStringLiteral("张三"), QStringLiteral("zs@example.cn")},
                                           QDateTime::currentDateTime());
    EXPECT_FALSE(bytes.contains("boss@example.cn"));
    EXPECT_FALSE(bytes.toLower().contains("\nbcc:"));
    EXPECT_TRUE(bytes.contains("wang@example.cn"));
    for (char c : bytes)
        ASSERT_TRUE(uchar(c) < 128) << "8-bit byte on the wire";
    for (const QByteArray &line : bytes.split('\n'))
        ASSERT_LE(line.size(), 78);
    EXPECT_FALSE(bytes.contains("\n.")) << "a line starting with a dot";
}

TEST(MimeMessageTest, AnUnreadableAttachmentIsNamed)
{
    MailMessage m;
    m.attachments = {QStringLiteral("/nonexistent/合同.doc")};
    const MimeMessage mime(m);
    EXPECT_FALSE(mime.isValid());
    EXPECT_TRUE(mime.error().startsWith(QStringLiteral("/nonexistent/合同.doc"))) << mime.error().toStdString();
}

TEST(MimeMessageTest, TextAttachmentsNameTheirCharacters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char *name;
        QByteArray bytes;
        QByteArray type;
    };
    const QString chinese = QStringLiteral("家政服务合同说明");
    const Case cases[] = {
        {"说明.txt", chinese.toUtf8(), "text/plain; charset=UTF-8"},
        {"gb.txt", QStringEncoder("GB18030").encode(chinese), "text/plain; charset=GB18030"},
        {"ascii.csv", "a,b\r\n1,2\r\n", "text/csv; charset=UTF-8"},
        {"broken.txt", QByteArray("abc\xff\xfe\xff", 6), "application/octet-stream"},
        {"pic.png", QByteArray("\x89PNG\r\n\x1a\n", 8), "image/png"},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        MailMessage m;
        m.sender = {QString(), QStringLiteral("office@example.cn")};
        m.attachments = {path};
        const MimeMessage mime(m);
        ASSERT_TRUE(mime.isValid()) << mime.error().toStdString();
        const QByteArray bytes = mime.bytesFor({QString(), QStringLiteral("zs@example.cn")}, QDateTime::currentDateTime());
        // The attachment's part: the last Content-Type of the message, its
        // file name following as a parameter.
        const qsizetype at = bytes.lastIndexOf("Content-Type: ");
        ASSERT_GE(at, 0);
        const QByteArray head = bytes.mid(at + 14, bytes.indexOf("\r\n", at) - at - 14);
        EXPECT_TRUE(head.startsWith(c.type + ";")) << c.name << ": " << head.constData();
    }
}

TEST(MailToTest, EveryPartArrivesAsTyped)
{
    const QString subject = QStringLiteral("春节安排 & 费用?#100%");
    const QString body = QStringLiteral("您好：\n请于1月&2月来电。\n谢谢");
    const QUrl url = TfrmMail::mailToUrl(QStringLiteral("zs@example.cn"), subject, body);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "mailto");
    EXPECT_EQ(url.path(), "zs@example.cn");
    const QUrlQuery q(url);
    EXPECT_EQ(q.queryItemValue("subject", QUrl::FullyDecoded), subject);
    EXPECT_EQ(q.queryItemValue("body", QUrl::FullyDecoded), QString(body).replace("\n", "\r\n"));
    EXPECT_EQ(q.queryItems().size(), 2);
}

} // namespace
