#pragma once

#include <QString>
#include <QWidget>

class Database;
class Dataset;
class Form;

// The read-only page "输送单位信息" beside a worker: the unit the worker
// names, read from a set of the page's own so that looking never moves the
// unit list or the drop-down of units.
class ShusongView : public QWidget
{
    Q_OBJECT
public:
    explicit ShusongView(Database *db, QWidget *parent = nullptr);

    Form *form() const { return m_form; }
    Dataset *dataset() const { return m_set; }

    // Shows the unit with this code; an empty code shows nothing. The same
    // code twice reads once, until forget().
    void showUnit(const QString &code);
    void forget() { m_read = false; }

    void BtnMailClick(); // "发送邮件"
    void BtnOpenClick(); // "打开..."

private:
    Dataset *m_set;
    Form *m_form;
    QString m_code;
    bool m_read = false;
};
