#include "mail/mailsendrun.h"

#include "mail/smtpsession.h"

#include <QDateTime>
#include <QMutexLocker>

MailSendRun::MailSendRun(SmtpSession *session, const MimeMessage &mime, const MailAddress &sender,
                         const QList<MailAddress> &copies, const QList<MailAddress> &entries, QObject *parent)
    : QObject(parent), m_session(session), m_mime(mime), m_from(sender.envelopeText()), m_entries(entries)
{
    for (const MailAddress &a : copies)
        m_copies << a.envelopeText();
}

void MailSendRun::run()
{
    const int total = int(m_entries.size());
    bool cancelled = false;
    for (int i = 0; i < total; ++i) {
        {
            QMutexLocker lock(&m_mutex);
            cancelled = m_cancelled;
        }
        if (cancelled)
            break;
        const MailAddress &to = m_entries.at(i);
        emit progressed(i, total, to.address);
        QString reason;
        // An entry that cannot be an address (a contact without one) fails
        // here; the server would only refuse it.
        if (!to.isUsable()) {
            reason = QStringLiteral("收件人地址不合法");
        } else {
            QList<QByteArray> rcpt{to.envelopeText()};
            rcpt += m_copies;
            reason = m_session->send(m_from, rcpt, m_mime.bytesFor(to, QDateTime::currentDateTime()));
        }
        if (m_session->cancelled()) {
            cancelled = true;
            break;
        }
        if (reason.isEmpty()) {
            ++m_sent;
            continue;
        }
        {
            QMutexLocker lock(&m_mutex);
            m_acknowledged = false;
        }
        emit entryFailed(i, to.address, reason);
        if (m_pause)
            waitForAcknowledge();
    }
    {
        QMutexLocker lock(&m_mutex);
        cancelled = cancelled || m_cancelled;
    }
    emit progressed(total, total, {});
    emit finished(cancelled);
}

void MailSendRun::waitForAcknowledge()
{
    QMutexLocker lock(&m_mutex);
    while (!m_acknowledged && !m_cancelled)
        m_wake.wait(&m_mutex);
}

void MailSendRun::cancel()
{
    m_session->cancel();
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
    m_wake.wakeAll();
}

void MailSendRun::acknowledge()
{
    QMutexLocker lock(&m_mutex);
    m_acknowledged = true;
    m_wake.wakeAll();
}
