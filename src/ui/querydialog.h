#pragma once

#include "data/condition.h"

#include <QDialog>
#include <QString>
#include <QVector>

#include <functional>

class QComboBox;
class QLineEdit;

// One criterion of a search: the column whose text contains what the user
// types. The first criterion of a search is usually "all" (no column).
struct QueryCriterion {
    QString caption;      // "客户代码"
    QString column;       // empty: every row
    QString emptyMessage; // "请输入匹配的客户代码!"
};

struct QueryDialogDesc {
    QString className; // object name: TfrmCustomerQuery4
    QString caption;   // "客户查询"
    QVector<QueryCriterion> criteria;
};

// The criterion-plus-text search: a drop-down of criteria and the text to
// find. The text is a bound value of a substring condition, never part of
// the statement. "确定" hands the condition to apply, which narrows its
// set and answers the database's text when that failed: the dialog then
// stays open with the reason shown.
class QueryDialog : public QDialog
{
    Q_OBJECT
public:
    using Apply = std::function<QString(const Condition &found)>;
    QueryDialog(const QueryDialogDesc &desc, Apply apply, QWidget *parent = nullptr);

    QComboBox *criterion() const { return m_criterion; }
    QLineEdit *text() const { return m_text; }
    void BtnOkClick(); // "确定"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void criterionChanged();

    QueryDialogDesc m_desc;
    Apply m_apply;
    QComboBox *m_criterion;
    QLineEdit *m_text;
};
