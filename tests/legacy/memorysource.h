#pragma once

#include "legacy/legacysource.h"

// An old database held in memory, for cases the fixture file does not have.
class MemorySource : public LegacySource
{
public:
    struct Table {
        LegacyTable def;
        QVector<QVariantList> rows;
    };

    // recordedRows: what the table's definition says it holds, when not
    // the rows given.
    MemorySource &add(const QString &name, QVector<LegacyColumn> columns, QVector<QVariantList> rows,
                      qint64 recordedRows = -1)
    {
        Table t;
        t.def.name = name;
        t.def.columns = std::move(columns);
        t.def.rowCount = recordedRows < 0 ? rows.size() : recordedRows;
        t.rows = std::move(rows);
        m_tables << t;
        return *this;
    }

    QVector<LegacyTable> tables() const override
    {
        QVector<LegacyTable> out;
        for (const auto &t : m_tables)
            out << t.def;
        return out;
    }

    std::unique_ptr<LegacyCursor> rows(const QString &table, QString *error) override
    {
        for (const auto &t : m_tables)
            if (t.def.name == table)
                return std::make_unique<Cursor>(t.rows);
        *error = QStringLiteral("no table ") + table;
        return nullptr;
    }

private:
    class Cursor : public LegacyCursor
    {
    public:
        explicit Cursor(const QVector<QVariantList> &rows) : m_rows(rows) {}
        bool next(QVariantList &values, QVector<LegacyReadProblem> &problems) override
        {
            problems.clear();
            if (m_next >= m_rows.size())
                return false;
            values = m_rows[m_next++];
            return true;
        }

    private:
        const QVector<QVariantList> &m_rows;
        int m_next = 0;
    };

    QVector<Table> m_tables;
};
