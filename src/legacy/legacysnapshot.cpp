#include "legacy/legacysnapshot.h"

namespace {

class SnapshotCursor : public LegacyCursor
{
public:
    explicit SnapshotCursor(const QVector<LegacySnapshot::StoredRow> &rows) : m_rows(rows) {}

    bool next(QVariantList &values, QVector<LegacyReadProblem> &problems) override
    {
        if (m_next >= m_rows.size()) {
            values.clear();
            problems.clear();
            return false;
        }
        values = m_rows[m_next].values;
        problems = m_rows[m_next].problems;
        ++m_next;
        return true;
    }

private:
    const QVector<LegacySnapshot::StoredRow> &m_rows;
    qsizetype m_next = 0;
};

} // namespace

int LegacySnapshot::addTable(const LegacyTable &table)
{
    m_tables << table;
    m_rows.append(QVector<StoredRow>());
    return int(m_tables.size() - 1);
}

void LegacySnapshot::addRow(int table, const QVariantList &values, const QVector<LegacyReadProblem> &problems)
{
    m_rows[table].append({values, problems});
}

std::unique_ptr<LegacyCursor> LegacySnapshot::rows(const QString &table, QString *error)
{
    for (int i = 0; i < m_tables.size(); ++i)
        if (m_tables[i].name == table)
            return std::make_unique<SnapshotCursor>(m_rows[i]);
    *error = QStringLiteral("无法读取旧数据表 %1").arg(table);
    return nullptr;
}
