#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>

class Dataset;
class QLineEdit;

// Warns once about an implausible value typed into a field: when the
// user leaves the field, and at "保存" for a value not yet warned about.
// Never refuses; a value as it was stored is not judged, so old records
// save as they are.
class EntryWarnings : public QObject
{
    Q_OBJECT
public:
    using Check = std::function<bool(const QString &)>;
    EntryWarnings(Dataset *set, QObject *parent);

    void watch(QLineEdit *edit, const QString &field, Check plausible, const QString &message);
    // The fields of the row in hand whose typed value was not warned about.
    void warnPending();

private:
    struct Watched {
        QPointer<QLineEdit> edit;
        QString field;
        Check plausible;
        QString message;
        QString warned; // the value last warned about
    };
    void check(Watched &w);

    Dataset *m_set;
    QVector<Watched> m_watched;
};
