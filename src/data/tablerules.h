#pragma once

#include "data/dataset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

#include <vector>

class Database;

// A field "保存" demands, with the warning shown when it is empty. A field
// that must also be well formed (a whole time, not "1::") says so with
// valid and its own warning, checked in the same place of the order.
struct RequiredField {
    RequiredField(const QString &field, const QString &message, std::function<bool(const QVariant &)> valid = {},
                  const QString &invalidMessage = {})
        : field(field), message(message), valid(std::move(valid)), invalidMessage(invalidMessage)
    {
    }
    QString field;
    QString message; // "请输入客户名称！"
    std::function<bool(const QVariant &)> valid;
    QString invalidMessage;
};

// Rows of another table that name a record by its code: table.column (or
// table.orColumn) equals the record's code.
struct Reference {
    Reference() = default;
    Reference(const QString &table, const QString &column, const QString &deleteMessage = {},
              bool blocksCodeChange = true, const QString &orColumn = {})
        : table(table), column(column), deleteMessage(deleteMessage), blocksCodeChange(blocksCodeChange),
          orColumn(orColumn)
    {
    }
    QString table;
    QString column;
    // Shown when such a row blocks a delete; empty: the reference does not
    // block deleting (the other row just loses the name).
    QString deleteMessage;
    // The stored code of a record still named here cannot be changed, or
    // the naming rows would lose it.
    bool blocksCodeChange = true;
    QString orColumn; // a second column that names it as well
};

// The rules of one table that hold on every path a row takes, whichever
// window or dialog edits it: what "保存" demands, the checks "保存" makes,
// the hooks every store runs, and the one list of what refers to a record.
struct TableRules {
    QString table;    // "tblCustomers"
    QString keyField; // the record code others refer to: "CustId"
    QVector<RequiredField> required;
    QVector<Reference> references; // in the order a delete tries them
    QString deleteQuestion;        // "您真的要删除该客户吗？"
    // Run by "保存" after the required fields; a refusal names its field.
    std::vector<Dataset::Hook> saveChecks;
    // Run by every store of every dataset over the table.
    std::vector<Dataset::Hook> beforePost;
    // The rights whose operation flags let a user store rows of the table
    // (any one will do: contacts are kept from the customer window too).
    // A new row needs the Insert flag, a changed one the Modify flag, on
    // every path; system users keep every flag. Empty: no such check.
    QStringList rights;

    // The message of the first reference that still names code and blocks
    // a delete, or the database's text when a check failed; empty when the
    // record may go.
    QString deleteRefusal(Database &db, const QVariant &code) const;
    // True when a reference that guards code changes still names code; a
    // database failure counts as named, with its text in error.
    bool codeInUse(Database &db, const QVariant &code, QString *error) const;
    // The save checks in order; the first refusal, or proceed.
    HookResult runSaveChecks(Dataset &d) const;
    const RequiredField *requirement(const QString &field) const;
};

// Does a row of ref.table still name code? A failure counts as yes, with
// the database's text in error.
bool referenceNames(Database &db, const Reference &ref, const QVariant &code, QString *error);

// "对不起，该代码已被其他资料引用，不能修改！"
extern const QString kCodeInUse;
// Stores refused for want of an operation flag.
extern const QString kNoInsertFlag;
extern const QString kNoModifyFlag;
// Whether the current user's flags allow storing a row in this state.
bool flagsAllowStore(const QStringList &rights, Dataset::State state);
