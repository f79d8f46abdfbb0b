#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class TfrmTimeAnalyse;

// "按年度业务分析": a year, preset to the current one; "确定" fills the
// time analysis with the year's figures and closes.
class TfrmYearQuery : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmYearQuery(TfrmTimeAnalyse *analysis);

    void BtnOkClick(); // "确定"
    QComboBox *yearBox() const { return m_year; }

    // The editable list of years of the year and quarter dialogs, showing
    // the current year.
    static QComboBox *makeYearBox(QWidget *parent);
    // The year typed, or the warning "请输入正确的年份！" with the focus put
    // back in the box, before anything of the window changes.
    static std::optional<int> checkedYear(QComboBox *box);

private:
    TfrmTimeAnalyse *m_analysis;
    QComboBox *m_year;
};
