#pragma once

#include <QDialog>
#include <QString>

class Dataset;

// A modal dialog that edits rows of a dataset. Closing it with a change in
// hand ("关闭", Esc or the window's close box alike) asks whether to save:
// No gives the change up, Yes runs the dialog's checks and stores, and the
// dialog stays open at the first field to mend.
class EditDialog : public QDialog
{
    Q_OBJECT
public:
    void BtnCloseClick(); // "关闭"
    void reject() override;

protected:
    EditDialog(Dataset *set, const QString &question, QWidget *parent);
    void closeEvent(QCloseEvent *event) override;

    // The save checks with their messages and focus; false stops the save.
    virtual bool checksPass() = 0;
    // Stores the row in hand; false (with the reason shown) keeps it.
    virtual bool store() = 0;
    virtual void discard(); // the row goes back to its stored values, a new one away

private:
    Dataset *m_edited;
    QString m_question;
    bool m_closing = false;
};
