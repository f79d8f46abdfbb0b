#pragma once

#include <QString>
#include <QVariantList>
#include <QVector>

#include <memory>

// The kinds of value an old database column holds, as the importer needs
// them. Values arrive in a QVariant: Bool bool, Integer qint64, Double
// double, Currency qint64 ten-thousandths, DateTime QDateTime, Text and
// Memo QString; NULL as an invalid QVariant.
enum class LegacyType { Bool, Integer, Double, Currency, DateTime, Text, Memo, Unsupported };

struct LegacyColumn {
    QString name;
    LegacyType type = LegacyType::Text;
};

struct LegacyTable {
    QString name;
    QVector<LegacyColumn> columns;
    qint64 rowCount = 0;
};

// A value the reader could not take over; the column is index into the
// table's columns.
struct LegacyReadProblem {
    int column = -1;
    QString why;
};

class LegacyCursor
{
public:
    virtual ~LegacyCursor() = default;
    // The next row in stored order; false at the end. Values the reader
    // could not read come as NULL with a problem.
    virtual bool next(QVariantList &values, QVector<LegacyReadProblem> &problems) = 0;
};

// An old database, read table by table.
class LegacySource
{
public:
    virtual ~LegacySource() = default;
    virtual QVector<LegacyTable> tables() const = 0;
    virtual std::unique_ptr<LegacyCursor> rows(const QString &table, QString *error) = 0;
};
