#pragma once

#include "legacy/jetfile.h"
#include "legacy/legacysource.h"

// An old Jet database file read through libmdb. The database password of
// the old program protects nothing on disk and is not needed. Only for a
// file whose structure JetFile::check found whole, and only inside the
// reading program: libmdb trusts the file.
class MdbSource : public LegacySource
{
public:
    ~MdbSource() override;
    MdbSource(const MdbSource &) = delete;
    MdbSource &operator=(const MdbSource &) = delete;

    // nullptr and *error when the catalogue libmdb reads is not the one
    // checked or a table of it cannot be read.
    static std::unique_ptr<MdbSource> open(const QString &path, const QVector<JetTableInfo> &checked,
                                           QString *error);

    QVector<LegacyTable> tables() const override { return m_tables; }
    std::unique_ptr<LegacyCursor> rows(const QString &table, QString *error) override;

private:
    MdbSource(void *handle, qint64 fileSize) : m_handle(handle), m_fileSize(fileSize) {}
    void *m_handle; // MdbHandle, kept opaque so that users need no glib
    qint64 m_fileSize;
    QVector<LegacyTable> m_tables;
};
