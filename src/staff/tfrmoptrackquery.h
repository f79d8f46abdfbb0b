#pragma once

#include <QDialog>

class Dataset;
class DateEdit;
class QComboBox;
class QLineEdit;
class QRadioButton;

// "查询" of staff tracking: the contacts of one day, or those whose
// customer code or contact person contains a text (all of them without
// one). "确定" narrows the tracking set and leaves the window open for
// the next query.
class TfrmOpTrackQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOpTrackQuery(Dataset *track, QWidget *parent = nullptr);

    QRadioButton *byDate() const { return m_byDate; }
    QRadioButton *byOther() const { return m_byOther; }
    DateEdit *dateBox() const { return m_date; }
    QComboBox *criterionBox() const { return m_criterion; }
    QLineEdit *textBox() const { return m_text; }
    void BtnOkClick(); // "确定"

private:
    Dataset *m_track;
    QRadioButton *m_byDate, *m_byOther;
    DateEdit *m_date;
    QComboBox *m_criterion;
    QLineEdit *m_text;
};
