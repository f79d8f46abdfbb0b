#pragma once

#include "legacy/legacysource.h"

#include <QDataStream>

class QIODevice;

// Writes the frames of legacyframe.h. Rows are sent on in batches; every
// other frame at once, so that the import knows which table is being read.
class LegacyStreamWriter
{
public:
    explicit LegacyStreamWriter(QIODevice *out);

    void alive();
    // rowLimits: per table the most rows a reading may return.
    void tables(const QVector<LegacyTable> &tables, const QVector<qint64> &rowLimits);
    void begin(const QString &table);
    void row(const QVariantList &values, const QVector<LegacyReadProblem> &problems);
    void failed(const QString &why);
    void done();

private:
    void flush();

    QIODevice *m_out;
    QDataStream m_stream;
    int m_unflushedRows = 0;
};
