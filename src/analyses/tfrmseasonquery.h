#pragma once

#include <QDialog>

class QComboBox;
class TfrmTimeAnalyse;

// "按季度业务分析": a year and one of its quarters, none chosen at first.
class TfrmSeasonQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSeasonQuery(TfrmTimeAnalyse *analysis);

    void BtnOkClick(); // "确定"
    QComboBox *yearBox() const { return m_year; }
    QComboBox *quarterBox() const { return m_quarter; }

private:
    TfrmTimeAnalyse *m_analysis;
    QComboBox *m_year;
    QComboBox *m_quarter;
};
