#pragma once

#include <QDialog>

class DataGrid;
class Dataset;
class QToolButton;

// "信封标签": the contact list with the customers' post codes and
// addresses, from which the labels are printed, all contacts or those of
// a contact search. Made afresh for each use, modal and maximised.
class TfrmEnvelop : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEnvelop(QWidget *parent = nullptr);

    // What the main window's action and the tools panel's icon run after
    // their log line: the customers and every contact read afresh, then
    // the window. False, with the reason shown, when they cannot be read.
    static bool prepareContacts();
    static void run(QWidget *parent);

    Dataset *contacts() const { return m_contacts; }
    DataGrid *grid() const { return m_grid; }
    QToolButton *button(const QString &objectName) const;

    void BtnQueryClick();    // "联系人查询"
    void BtnUserInfoClick(); // "用户登记信息"
    void BtnPreviewClick();  // "信封标签预览"

protected:
    void showEvent(QShowEvent *event) override;

private:
    Dataset *m_contacts;
    DataGrid *m_grid;
    QList<QToolButton *> m_buttons;
};
