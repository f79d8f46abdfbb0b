#include "mail/tfrmmailmemo.h"

#include "data/outputfile.h"
#include "mail/mailmessage.h"
#include "ui/dialogbuttons.h"
#include "ui/editkeys.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QVBoxLayout>

#include <tuple>

namespace {

const QString kTextFilter = QStringLiteral("文本文件(*.txt)");

QString joined(const QList<MailAddress> &list)
{
    QStringList parts;
    for (const MailAddress &a : list)
        parts << a.display();
    return parts.join(QStringLiteral(", "));
}

} // namespace

TfrmMailMemo::TfrmMailMemo(MailMessage *message, QWidget *parent)
    : QDialog(parent), m_message(message), m_subject(new QLineEdit(this)), m_cc(new QLineEdit(this)),
      m_bcc(new QLineEdit(this)), m_body(new QPlainTextEdit(this)), m_attachments(new QListWidget(this))
{
    setObjectName(QStringLiteral("TfrmMailMemo"));
    setWindowTitle(QStringLiteral("邮件内容"));
    auto *outer = new QHBoxLayout(this);
    auto *grid = new QGridLayout;
    outer->addLayout(grid, 1);
    auto row = [&](int r, const QString &caption, QWidget *field, const QString &name) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        field->setObjectName(name);
        field->setAccessibleName(caption.chopped(1));
        grid->addWidget(label, r, 0, Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(field, r, 1);
    };
    row(0, QStringLiteral("主题："), m_subject, QStringLiteral("Edit_Subject"));
    row(1, QStringLiteral("抄送："), m_cc, QStringLiteral("Edit_CC"));
    row(2, QStringLiteral("暗送："), m_bcc, QStringLiteral("Edit_BCC"));
    row(3, QStringLiteral("内容："), m_body, QStringLiteral("Memo_Body"));
    m_cc->setPlaceholderText(QStringLiteral("多个地址以逗号分隔"));
    m_bcc->setPlaceholderText(QStringLiteral("多个地址以逗号分隔"));
    grid->setRowStretch(3, 3);

    auto *attachLabel = new QLabel(QStringLiteral("附件："), this);
    attachLabel->setBuddy(m_attachments);
    m_attachments->setObjectName(QStringLiteral("List_Attachments"));
    m_attachments->setAccessibleName(QStringLiteral("附件"));
    m_attachments->setToolTip(QStringLiteral("双击所选择的附件可以进行删除!"));
    m_attachments->installEventFilter(this);
    grid->addWidget(attachLabel, 4, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(m_attachments, 4, 1);
    grid->setRowStretch(4, 1);
    auto *hint = new QLabel(QStringLiteral("双击所选择的附件可以进行删除!"), this);
    auto *attachRow = new QHBoxLayout;
    attachRow->addWidget(hint, 1);
    grid->addLayout(attachRow, 5, 1);
    connect(m_attachments, &QListWidget::itemDoubleClicked, this, [this] { removeSelectedAttachment(); });

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    addDialogButton(buttons, this, QStringLiteral("附件..."), QStringLiteral("BtnAttach"), {},
                    &TfrmMailMemo::BtnAttachClick);
    addDialogButton(buttons, this, QStringLiteral("导入..."), QStringLiteral("BtnImport"), {},
                    &TfrmMailMemo::BtnImportClick);
    addDialogButton(buttons, this, QStringLiteral("保存邮件"), QStringLiteral("BtnSave"), {},
                    &TfrmMailMemo::BtnSaveClick);
    buttons->addStretch();
    addDialogButton(buttons, this, QStringLiteral("确定"), QStringLiteral("BtnOk"), {}, &TfrmMailMemo::BtnOkClick);
    addDialogButton(buttons, this, QStringLiteral("取消"), QStringLiteral("BtnCancel"), {}, &QDialog::reject);

    setEnterOrder({m_subject, m_cc, m_bcc, m_body});
    resize(560, 420);

    // What the message holds now, so that what goes out is what is seen.
    m_subject->setText(message->subject);
    m_cc->setText(joined(message->cc));
    m_bcc->setText(joined(message->bcc));
    m_body->setPlainText(message->body);
    m_attachments->addItems(message->attachments);
}

void TfrmMailMemo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_subject->setFocus();
}

bool TfrmMailMemo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_attachments && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        removeSelectedAttachment();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMailMemo::removeSelectedAttachment()
{
    const QList<QListWidgetItem *> selected = m_attachments->selectedItems();
    for (QListWidgetItem *item : selected)
        delete item;
}

void TfrmMailMemo::BtnAttachClick()
{
    const QString path = Prompts::instance().openFileName(QStringLiteral("附件"), QStringLiteral("所有文件(*)"));
    if (!path.isEmpty())
        m_attachments->addItem(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

bool TfrmMailMemo::readText(const QString &path, QString *text, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return false;
    }
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Written by a Chinese Windows editor.
        QStringDecoder gb("GB18030");
        decoded = gb.isValid() ? QString(gb.decode(bytes)) : QString::fromLocal8Bit(bytes);
    }
    decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    *text = decoded;
    return true;
}

void TfrmMailMemo::BtnImportClick()
{
    const QString path = Prompts::instance().openFileName(QStringLiteral("导入"), kTextFilter);
    if (path.isEmpty())
        return;
    QString text, error;
    if (!readText(path, &text, &error)) {
        Prompts::instance().warn(QStringLiteral("对不起，无法读取文件：") + error);
        return;
    }
    m_body->setPlainText(text);
}

void TfrmMailMemo::BtnSaveClick()
{
    QString path = Prompts::instance().saveFileName(QStringLiteral("保存邮件"), m_subject->text(), kTextFilter);
    if (path.isEmpty())
        return;
    // The suffix only when the name has none ("通知.txt" stays as it is),
    // and a name made longer here is checked for an existing file, which
    // the dialog could not see.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".txt");
        if (QFileInfo::exists(path)
            && !Prompts::instance().askYesNo(QStringLiteral("文件“%1”已存在，要替换它吗？").arg(QFileInfo(path).fileName()),
                                             true))
            return;
    }
    QString text = m_body->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (const QString error = OutputFile::write(path, text.toUtf8()); !error.isEmpty())
        Prompts::instance().warn(error);
}

void TfrmMailMemo::BtnOkClick()
{
    if (m_subject->text().isEmpty()) {
        Prompts::instance().warn(QStringLiteral("请输入邮件主题！"));
        m_subject->setFocus();
        return;
    }
    if (m_body->toPlainText().isEmpty()) {
        Prompts::instance().warn(QStringLiteral("请输入邮件正文！"));
        m_body->setFocus();
        return;
    }
    // A copy address the server cannot take would fail every message of
    // the mailing, each with its own box: said once, here.
    const QList<MailAddress> cc = MailAddress::parseList(m_cc->text().trimmed());
    const QList<MailAddress> bcc = MailAddress::parseList(m_bcc->text().trimmed());
    for (const auto &[list, field, text] : {std::tuple{&cc, m_cc, "对不起，抄送地址不合法："},
                                            std::tuple{&bcc, m_bcc, "对不起，暗送地址不合法："}})
        for (const MailAddress &a : *list)
            if (!a.isUsable()) {
                Prompts::instance().warn(QString::fromUtf8(text) + a.address);
                field->setFocus();
                return;
            }
    m_message->subject = m_subject->text();
    m_message->body = m_body->toPlainText();
    m_message->cc = cc;
    m_message->bcc = bcc;
    m_message->attachments.clear();
    for (int i = 0; i < m_attachments->count(); ++i)
        if (!m_attachments->item(i)->text().trimmed().isEmpty())
            m_message->attachments << m_attachments->item(i)->text();
    accept();
}
