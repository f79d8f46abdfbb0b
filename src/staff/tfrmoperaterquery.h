#pragma once

#include <QDialog>

class Dataset;
class QComboBox;
class QLineEdit;
class QPushButton;

// "工作人员查询": narrows the staff table by one criterion. The text is a
// bound value of a substring condition, never part of the statement.
class TfrmOperaterQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOperaterQuery(Dataset *operaters, QWidget *parent = nullptr);

    QComboBox *criterion() const { return m_criterion; }
    QLineEdit *text() const { return m_text; }
    void BtnOkClick(); // "确定"

private:
    void criterionChanged();

    Dataset *m_set;
    QComboBox *m_criterion;
    QLineEdit *m_text;
};
