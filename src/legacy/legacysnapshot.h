#pragma once

#include "legacy/legacysource.h"

// An old database read whole into memory: its tables and their rows in
// stored order, with the problems the reader met in each row.
class LegacySnapshot : public LegacySource
{
public:
    // The index of the new table.
    int addTable(const LegacyTable &table);
    void addRow(int table, const QVariantList &values, const QVector<LegacyReadProblem> &problems);
    qint64 rowsOf(int table) const { return m_rows.value(table).size(); }

    QVector<LegacyTable> tables() const override { return m_tables; }
    std::unique_ptr<LegacyCursor> rows(const QString &table, QString *error) override;

    struct StoredRow {
        QVariantList values;
        QVector<LegacyReadProblem> problems;
    };

private:
    QVector<LegacyTable> m_tables;
    QVector<QVector<StoredRow>> m_rows;
};
