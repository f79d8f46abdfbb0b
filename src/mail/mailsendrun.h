#pragma once

#include "mail/mailaddress.h"
#include "mail/mimemessage.h"

#include <QMutex>
#include <QObject>
#include <QVector>
#include <QWaitCondition>

class SmtpSession;

// One "发送": the message to every pending entry in turn, on a thread of
// its own so that the mail window keeps painting and its progress dialog
// can cancel. The connection must be open; the run never closes it.
//
//     MailSendRun run(&session, mime, sender, copies, entries);
//     QThread *t = QThread::create([&run] { run.run(); });
//
// A failed entry does not stop the run. With pauseOnFailure the run waits
// after each failure until the window has reported it (acknowledge()),
// so the reports come one at a time and in the order of the list.
class MailSendRun : public QObject
{
    Q_OBJECT
public:
    MailSendRun(SmtpSession *session, const MimeMessage &mime, const MailAddress &sender,
                const QList<MailAddress> &copies, const QList<MailAddress> &entries, QObject *parent = nullptr);

    void setPauseOnFailure(bool pause) { m_pause = pause; }

    void run();         // on the worker thread
    void cancel();      // from any thread: the message under way is aborted too
    void acknowledge(); // from the window, after it reported a failure

    int sent() const { return m_sent; }

signals:
    void progressed(int done, int total, const QString &next);
    void entryFailed(int index, const QString &entry, const QString &reason);
    void finished(bool cancelled);

private:
    void waitForAcknowledge();

    SmtpSession *m_session;
    const MimeMessage &m_mime;
    QByteArray m_from;
    QList<QByteArray> m_copies;
    QList<MailAddress> m_entries;
    bool m_pause = false;
    int m_sent = 0;

    QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_acknowledged = false;
    bool m_cancelled = false;
};
