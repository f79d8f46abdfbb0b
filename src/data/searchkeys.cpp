#include "data/searchkeys.h"

#include "data/pinyin.h"
#include "data/tabledef.h"

#include <QPair>

#include <algorithm>

namespace SearchKeys {

void addTo(const TableDef &table, FieldValues &values)
{
    for (const ColumnDef &c : table.columns()) {
        if (c.searchKeyOf.isEmpty())
            continue;
        int source = -1, key = -1;
        for (int i = 0; i < values.size(); ++i) {
            if (values[i].first.compare(c.searchKeyOf, Qt::CaseInsensitive) == 0)
                source = i;
            else if (values[i].first.compare(c.name, Qt::CaseInsensitive) == 0)
                key = i;
        }
        if (source < 0)
            continue;
        const QString k = Pinyin::searchKey(values[source].second.toString());
        if (key >= 0)
            values[key].second = k;
        else
            values.append({c.name, k});
    }
}

Appended appendedTo(const TableDef &table, const QStringList &columns)
{
    Appended a;
    for (const ColumnDef &c : table.columns()) {
        if (c.searchKeyOf.isEmpty() || columns.contains(c.name, Qt::CaseInsensitive))
            continue;
        int at = -1;
        for (int i = 0; i < columns.size() && at < 0; ++i)
            if (columns[i].compare(c.searchKeyOf, Qt::CaseInsensitive) == 0)
                at = i;
        if (at < 0)
            continue;
        a.keyColumns << c.name;
        a.sourceAt << at;
    }
    return a;
}

QString fill(Database &db, const TableDef &table, bool everyRow)
{
    const QStringList rowKey = table.rowKey();
    if (rowKey.size() != 1)
        return QStringLiteral("%1 没有单列的行标识，无法生成拼音检索码").arg(table.name());
    const Dialect &d = db.dialect();
    const QString id = d.ident(rowKey.first());
    for (const ColumnDef &c : table.columns()) {
        if (c.searchKeyOf.isEmpty())
            continue;
        const QString key = d.ident(c.name);
        QString sql = QStringLiteral("SELECT %1, %2 FROM %3").arg(id, d.ident(c.searchKeyOf), table.name());
        if (!everyRow)
            sql += QStringLiteral(" WHERE %1 IS NULL").arg(key);
        QList<QPair<QVariant, QString>> rows;
        QString err;
        if (!db.scan(sql, {}, [&rows](const QVariant *row) { rows.append({row[0], Pinyin::searchKey(row[1].toString())}); },
                     &err))
            return err;
        // Many rows a statement: on PostgreSQL a statement per row would
        // be a round trip per row, minutes for a large agency's migration.
        const ColumnDef *idDef = table.column(rowKey.first());
        const QString idType = idDef && idDef->isNumber() ? QStringLiteral("BIGINT") : QStringLiteral("TEXT");
        const QString one = QStringLiteral("(CAST(? AS %1), CAST(? AS TEXT))").arg(idType);
        constexpr int kBatch = 500;
        for (qsizetype from = 0; from < rows.size(); from += kBatch) {
            const qsizetype n = std::min<qsizetype>(kBatch, rows.size() - from);
            QStringList tuples;
            QVariantList values;
            for (qsizetype i = from; i < from + n; ++i) {
                tuples << one;
                values << rows[i].first << rows[i].second;
            }
            err = db.exec(QStringLiteral("UPDATE %1 SET %2 = v.column2 FROM (VALUES %3) AS v WHERE %1.%4 = v.column1")
                              .arg(table.name(), key, tuples.join(QStringLiteral(", ")), id),
                          values);
            if (!err.isEmpty())
                return err;
        }
    }
    return {};
}

} // namespace SearchKeys
