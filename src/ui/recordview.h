#pragma once

#include "data/condition.h"
#include "ui/form.h"

#include <QString>
#include <QWidget>

class Database;
class Dataset;
class QVBoxLayout;

// Every read-only page that shows the record another one names (the
// customer beside a contact, a contract, a plan or a worker; the unit
// beside a worker): its fields as that table's own window describes them,
// read from a set of the page's own, so that looking never moves the list
// or the drop-downs working on that table. A button beside "Email" opens
// the mail program, one beside a home page the browser.
class RecordView : public QWidget
{
    Q_OBJECT
public:
    // set: the page's own set over the table; keyField: the code the
    // other record names.
    RecordView(Dataset *set, const QString &keyField, const FormSpec &form, QWidget *parent);

    Form *form() const { return m_form; }
    Dataset *dataset() const { return m_set; }
    QVBoxLayout *column() const { return m_column; } // above the fields: what a page adds

    // Shows the record with this code, read on db (the data module's
    // connection of today) within scope; an empty code shows nothing. The
    // same code twice reads once, until forget().
    void showRecord(const QString &code, Database *db, const Condition &scope = {});
    void forget() { m_read = false; }

private:
    Dataset *m_set;
    QString m_key;
    Form *m_form;
    QVBoxLayout *m_column;
    QString m_code;
    bool m_read = false;
};
