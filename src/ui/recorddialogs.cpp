#include "ui/recorddialogs.h"

#include <QHash>

namespace {
QHash<QString, RecordDialogs::Opener> &openers()
{
    static QHash<QString, RecordDialogs::Opener> o;
    return o;
}
} // namespace

void RecordDialogs::install(const QString &table, Opener open)
{
    if (open)
        openers().insert(table.toLower(), std::move(open));
    else
        openers().remove(table.toLower());
}

RecordDialogs::Opener RecordDialogs::opener(const QString &table)
{
    return openers().value(table.toLower());
}

bool RecordDialogs::has(const QString &table)
{
    return bool(opener(table));
}
