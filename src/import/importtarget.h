#pragma once

#include "data/tablerules.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// One field a spreadsheet column can be brought into.
struct ImportField {
    enum class Kind {
        Text,       // as it stands, within the column's width
        Date,       // typed dates in the usual forms, or a workbook's date
        Dictionary, // a code or a name of a dictionary entry; the code is stored
        Choice,     // one of a fixed list ("男", "女")
    };
    QString field;       // "CustName"
    QString caption;     // "客户名称", as the record's form names it
    QStringList headers; // further header texts that mean this field
    Kind kind = Kind::Text;
    QString dictTable, dictCode, dictName; // a dictionary's table and columns
    bool ownEntriesOnly = false; // an ordinary user names only his own (customers), as his drop-down offers
    QStringList choices;
};

// A value that is kept but warned about, as the record's form warns.
struct ImportWarning {
    QString field;
    std::function<bool(const QString &)> plausible;
    QString message;
};

// What a table takes from a spreadsheet: its fields with the header texts
// that name them, the table's own rules (required fields, rights, code),
// and how a person already on file is recognised.
struct ImportTarget {
    QString table;   // "tblCustomers"
    QString keyField; // "CustId"
    QString noun;    // "客户": how the report names a record
    TableRules rules; // the table's rules, as every store of a record runs them
    QVector<ImportField> fields;
    QString nameField;       // with a telephone, tells a person already on file
    QStringList phoneFields; // any of them equal counts as the same telephone
    QString idField;         // the identity card; empty where the table has none
    QVector<ImportWarning> warnings;
    QString codeExists;      // a code another record has
    bool stampCreator = false; // new rows carry the importing user in SUser
    bool ownedRecords = false; // an ordinary user may change only his own (SUser)

    const ImportField *field(const QString &name) const;

    static ImportTarget customers();
    static ImportTarget workers();
};
