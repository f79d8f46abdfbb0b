#pragma once

#include "import/importtarget.h"
#include "import/sheet.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class Database;

// Bringing a spreadsheet's rows into a table: which column is which field,
// what each row would become, and the store of all of it in one
// transaction. No window: the import dialog shows what these answer.
namespace SheetImport {

// For each column of the file, the field it goes into; empty: left out.
using Mapping = QVector<QString>;

// The field each header names, each field taken by one column at most: a
// header equal to the field's caption or one of its other names first,
// then a header holding one of them ("联系电话(座机)").
Mapping guessMapping(const ImportTarget &target, const QStringList &headers);

// One value for every row, for a field no column holds (every customer of
// a list of households is of one type): the text a cell would hold.
using FixedValues = QHash<QString, QString>;

enum class Status {
    New,       // stored as a new record
    Duplicate, // a record already on file: skipped or merged, as the clerk chooses
    Refused,   // cannot be stored; the reason says why
};

struct CheckedRow {
    int line = 0; // the file's line (the headers are line 1)
    Status status = Status::Refused;
    QVariantList values; // the converted values, in the order of CheckResult::fields
    QString reason;      // why a row is refused
    QStringList warnings;
    // A duplicate: the record on file, and what made it one.
    QString existingKey;
    QString existingName;
    QString match;
    bool mayMerge = false; // the clerk's rights and the record's owner allow a merge

    QVariant value(const QStringList &fields, const QString &field) const
    {
        const qsizetype i = fields.indexOf(field);
        return i < 0 ? QVariant() : values.value(i);
    }
};

struct CheckResult {
    QStringList fields; // the fields the file fills (mapped or fixed)
    QStringList fixedFields; // those of them given one value for every row
    QVector<CheckedRow> rows;
    int count(Status s) const;
    int warned() const;
};

// Reads the dictionaries and the records on file once, then checks every
// row as a new record of the table: the table's required fields, a code no
// other record or earlier line has, values that fit their columns and
// dictionaries; identity-card and mobile numbers only warn. A row naming a
// person already on file (same name and telephone, or same identity card)
// is a duplicate. False with the database's text when a read failed.
bool check(Database &db, const ImportTarget &target, const Sheet &sheet, const Mapping &mapping,
           const FixedValues &fixed, CheckResult *result, QString *error);

struct Outcome {
    int stored = 0; // new records
    int merged = 0; // records on file given the file's values
    int skipped = 0;
    QVector<QPair<int, QString>> skippedLines; // the line and why
    QString text(const QString &noun) const;    // the report's summary line
};

// Called while storing with rows done and rows to do; answering false
// gives the import up, and nothing is stored.
using Progress = std::function<bool(int done, int total)>;

// Stores the checked rows in one transaction: new rows as new records,
// duplicates whose merge[i] is true (index into result.rows) take the
// non-empty values of the file's columns (never the code, which other
// records name, nor a value given for every row, which was meant for the
// new records and would overwrite, say, a customer's creation date),
// every other row is skipped with its reason. logLine, when not empty,
// followed by the counts (Outcome::text), is written with WriteLog in the
// same transaction, so the log says what the database holds. Empty on
// success; otherwise nothing is stored and the text says why.
QString store(Database &db, const ImportTarget &target, const CheckResult &result, const QVector<bool> &merge,
              const QString &logLine, Outcome *outcome, const Progress &progress = {});

// The names a dictionary field offers for one value of every row, in the
// dictionary's order of codes; false with the database's text.
bool choicesOf(Database &db, const ImportField &field, QStringList *names, QString *error);

// A date as clerks type it: 1990-5-1, 1990/05/01, 1990.5.1, 1990年5月1日,
// 19900501, a month alone (1990-05, 1990年5月: its first day), with a
// time of day or without. Invalid when it is none of these.
QDateTime parseDate(const QString &text);

} // namespace SheetImport
