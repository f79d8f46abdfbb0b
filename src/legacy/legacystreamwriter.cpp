#include "legacy/legacystreamwriter.h"

#include "legacy/legacyframe.h"

#include <QFileDevice>
#include <QIODevice>

LegacyStreamWriter::LegacyStreamWriter(QIODevice *out) : m_out(out), m_stream(out)
{
    m_stream.setVersion(LegacyFrame::kStreamVersion);
    m_stream << LegacyFrame::kMagic;
    flush();
}

void LegacyStreamWriter::alive()
{
    m_stream << quint8(LegacyFrame::Alive);
    flush();
}

void LegacyStreamWriter::tables(const QVector<LegacyTable> &tables, const QVector<qint64> &rowLimits)
{
    m_stream << quint8(LegacyFrame::Tables) << qint32(tables.size());
    for (int i = 0; i < tables.size(); ++i) {
        const LegacyTable &t = tables[i];
        m_stream << t.name << t.rowCount << rowLimits.value(i) << qint32(t.columns.size());
        for (const LegacyColumn &c : t.columns)
            m_stream << c.name << qint32(c.type);
    }
    flush();
}

void LegacyStreamWriter::begin(const QString &table)
{
    m_stream << quint8(LegacyFrame::Begin) << table;
    flush();
}

void LegacyStreamWriter::row(const QVariantList &values, const QVector<LegacyReadProblem> &problems)
{
    m_stream << quint8(LegacyFrame::Row) << values << qint32(problems.size());
    for (const LegacyReadProblem &p : problems)
        m_stream << qint32(p.column) << p.why;
    if (++m_unflushedRows >= 256)
        flush();
}

void LegacyStreamWriter::failed(const QString &why)
{
    m_stream << quint8(LegacyFrame::Failed) << why;
    flush();
}

void LegacyStreamWriter::done()
{
    m_stream << quint8(LegacyFrame::Done);
    flush();
}

void LegacyStreamWriter::flush()
{
    m_unflushedRows = 0;
    if (auto *file = qobject_cast<QFileDevice *>(m_out))
        file->flush();
}
