#pragma once

#include "data/condition.h"

#include <QDialog>
#include <QString>
#include <QVector>

#include <functional>

class QComboBox;
class DateEdit;
class QLineEdit;
class QRadioButton;

// One criterion of a search: the column whose text contains what the user
// types. The first criterion of a search is usually "all" (no column).
struct QueryCriterion {
    QueryCriterion(const QString &caption, const QString &column = {}, const QString &emptyMessage = {},
                   bool exact = false)
        : caption(caption), column(column), emptyMessage(emptyMessage), exact(exact)
    {
    }
    // A name column with a pinyin key (TableDef::searchKeys): found by the
    // text or by its pinyin.
    static QueryCriterion byName(const QString &caption, const QString &column, const QString &emptyMessage)
    {
        QueryCriterion c(caption, column, emptyMessage);
        c.pinyin = true;
        return c;
    }
    QString caption;      // "客户代码"
    QString column;       // empty: every row
    QString emptyMessage; // "请输入匹配的客户代码!"
    bool exact = false;   // the whole text: a code "01" must not find "001"
    bool pinyin = false;  // see byName
};

struct QueryDialogDesc {
    QString className; // object name: TfrmCustomerQuery4
    QString caption;   // "客户查询"
    QVector<QueryCriterion> criteria;
    // With a date column the search offers a period too ("选择时间段查询："),
    // chosen at first and set to the last 30 days; both days count.
    QString periodColumn;
    QString textLabel = QStringLiteral("请输入查询条件："); // the label of the search text
};

// The criterion-plus-text search: a drop-down of criteria and the text to
// find, and a period where the description names a date column. The text
// is a bound value of a substring (or exact) condition, never part of the
// statement. "确定" hands the condition to apply, which narrows its set
// and answers a refusal (the database's text, "nothing found"): the dialog
// then stays open with it shown.
class QueryDialog : public QDialog
{
    Q_OBJECT
public:
    using Apply = std::function<QString(const Condition &found)>;
    QueryDialog(const QueryDialogDesc &desc, Apply apply, QWidget *parent = nullptr);

    QComboBox *criterion() const { return m_criterion; }
    QLineEdit *text() const { return m_text; }
    QRadioButton *periodChoice() const { return m_period; }  // nullptr without a period
    QRadioButton *criteriaChoice() const { return m_other; } // nullptr without a period
    DateEdit *startDate() const { return m_start; }
    DateEdit *endDate() const { return m_end; }
    void BtnOkClick(); // "确定"

    // The condition a criterion builds from the trimmed search text; a
    // null condition for a criterion without a column.
    static Condition criterionCondition(const QueryCriterion &c, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void criterionChanged();

    QueryDialogDesc m_desc;
    Apply m_apply;
    QComboBox *m_criterion;
    QLineEdit *m_text;
    QRadioButton *m_period = nullptr, *m_other = nullptr;
    DateEdit *m_start = nullptr, *m_end = nullptr;
};
