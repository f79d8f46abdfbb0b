#pragma once

#include "legacy/legacysource.h"


// An old Jet database file read through libmdb. The database password of
// the old program protects nothing on disk and is not needed.
class MdbSource : public LegacySource
{
public:
    ~MdbSource() override;
    MdbSource(const MdbSource &) = delete;
    MdbSource &operator=(const MdbSource &) = delete;

    // nullptr and *error when path is not a readable Jet database.
    static std::unique_ptr<MdbSource> open(const QString &path, QString *error);

    QVector<LegacyTable> tables() const override { return m_tables; }
    std::unique_ptr<LegacyCursor> rows(const QString &table, QString *error) override;

private:
    explicit MdbSource(void *handle) : m_handle(handle) {}
    void *m_handle; // MdbHandle, kept opaque so that users need no glib
    QVector<LegacyTable> m_tables;
};
