#include "data/dataset.h"

#include "data/pinyin.h"

#include "data/database.h"
#include "data/format.h"
#include "data/money.h"
#include "data/schema.h"
#include "data/tabledef.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSet>
#include <QSqlRecord>

#include <cmath>

const QString Dataset::kConflictText = QStringLiteral("对不起，该记录已被其他用户修改或删除，请刷新后重试！");

namespace {

// Two stored values are the same for the concurrency check. Floating point
// values that made a round trip through text may differ in the last bit.
bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool an = a.isNull() || !a.isValid() || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bn = b.isNull() || !b.isValid() || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (an || bn)
        return an == bn;
    if (a.userType() == qMetaTypeId<Money>() || b.userType() == qMetaTypeId<Money>())
        return Money::fromVariant(a) == Money::fromVariant(b);
    if (a.typeId() == QMetaType::Double || b.typeId() == QMetaType::Double) {
        const double x = a.toDouble(), y = b.toDouble();
        return std::fabs(x - y) <= 1e-9 * std::max({1.0, std::fabs(x), std::fabs(y)});
    }
    if (a.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDateTime)
        return a.toDateTime() == b.toDateTime();
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate)
        return a.toDate() == b.toDate();
    if (a.typeId() == QMetaType::Bool || b.typeId() == QMetaType::Bool)
        return a.toBool() == b.toBool();
    return a.toString() == b.toString();
}

// Keys as read from the database, in the same form both times.
bool sameKey(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const QVariant &x = a[i], &y = b[i];
        if (x.typeId() == QMetaType::LongLong && y.typeId() == QMetaType::LongLong) {
            if (x.toLongLong() != y.toLongLong())
                return false;
        } else if (x != y) {
            return false;
        }
    }
    return true;
}

// Keys read by two sets over the same table: of the same form, except that
// an integer may come back as another integer type.
bool keyEquals(const QVariantList &a, const QVariantList &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const QVariant &x = a[i], &y = b[i];
        if (x.typeId() == y.typeId() ? x != y : x.toString() != y.toString())
            return false;
    }
    return true;
}

QString cacheKeyText(const QVariantList &values)
{
    QStringList parts;
    for (const QVariant &v : values) {
        if (v.typeId() == QMetaType::Double)
            parts << QString::number(v.toDouble(), 'g', 17);
        else
            parts << v.toString();
    }
    return parts.join(QChar(0x1F));
}

} // namespace

Dataset::Dataset(Database *db, const QString &name, const TableDef *table, QObject *parent)
    : QObject(parent), m_db(db), m_name(name), m_table(table)
{
    if (m_table)
        m_order = m_table->defaultOrder();
    buildTableFields();
}

Dataset::Dataset(Database *db, const QString &name, const QString &selectSql, const TableDef *base, QObject *parent)
    : QObject(parent), m_db(db), m_name(name), m_table(base), m_sql(selectSql)
{
}

Dataset::~Dataset() = default;

void Dataset::setDatabase(Database *db)
{
    // Without its connection first: what hears of the close must not open
    // the set again on the connection being given up.
    m_db = nullptr;
    close();
    m_db = db;
}

void Dataset::buildTableFields()
{
    if (!m_table || isQuery())
        return;
    QVector<Field> fields;
    for (const ColumnDef &c : m_table->columns())
        fields.append({c.name, &c, -1});
    // keep display fields declared before
    for (const Field &f : std::as_const(m_fields))
        if (f.lookup >= 0)
            fields.append(f);
    m_fields = fields;
}

void Dataset::buildQueryFields(const QSqlRecord &rec)
{
    QVector<Field> fields;
    for (int i = 0; i < rec.count(); ++i) {
        const QString raw = rec.fieldName(i);
        const ColumnDef *def = m_table ? m_table->column(raw) : nullptr;
        if (!def)
            def = Schema::anyColumn(raw);
        fields.append({def ? def->name : raw, def, -1});
    }
    for (const Field &f : std::as_const(m_fields))
        if (f.lookup >= 0)
            fields.append(f);
    m_fields = fields;
}

bool Dataset::editable() const
{
    if (!m_table)
        return false;
    for (const QString &k : keyColumns())
        if (fieldIndex(k) < 0)
            return false;
    return !keyColumns().isEmpty();
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

// --- configuration --------------------------------------------------------

void Dataset::setOrderBy(const QStringList &columns)
{
    m_order = columns;
    if (isActive())
        refresh();
}

void Dataset::setFilter(const Condition &c)
{
    if (m_filter == c)
        return;
    m_filter = c;
    if (isActive())
        refresh();
}

void Dataset::setSql(const QString &selectSql, const QVariantList &values)
{
    if (isActive())
        close();
    m_sql = selectSql;
    m_sqlValues = values;
}

void Dataset::setMaster(Dataset *master, const QString &masterField, const QString &detailField)
{
    if (m_master) {
        disconnect(m_master, nullptr, this, nullptr);
        m_master->m_details.removeAll(this);
    }
    m_master = master;
    if (master)
        master->m_details.append(this);
    m_masterField = masterField;
    m_detailField = detailField;
    if (master) {
        connect(master, &Dataset::currentRowChanged, this, &Dataset::onMasterMoved);
        connect(master, &Dataset::rowsReset, this, &Dataset::onMasterMoved);
        connect(master, &Dataset::stateChanged, this, [this](State s) {
            // A master row that was just stored may carry a new key.
            if (s == State::Browse)
                onMasterMoved();
        });
        // The master's row read again after another set stored it: the
        // details follow only when the value they hang on changed.
        connect(master, &Dataset::rowChanged, this, [this](int row) {
            if (m_master && row == m_master->currentRow() && !m_master->isEditing()
                && !sameValue(masterValue(), m_masterValueRead))
                onMasterMoved();
        });
    }
}

// The master's value the details are read for; empty when none apply.
// Details hang on the stored key, never on one being typed.
QVariant Dataset::masterValue() const
{
    if (!m_master || !m_master->isActive() || m_master->currentRow() < 0 || m_master->state() == State::Insert)
        return {};
    return m_master->storedValue(m_masterField);
}

bool Dataset::canAddDetail() const
{
    if (!m_master)
        return true;
    const QVariant stored = masterValue();
    if (stored.isNull() || stored.toString().isEmpty())
        return false;
    return !m_master->isEditing() || sameValue(m_master->value(m_masterField), stored);
}

// A detail row in hand is stored before its master row is left; when that
// store is refused, the master stays where it is with the detail's reason,
// as a refusal of its own would keep it.
bool Dataset::postDetails()
{
    for (const QPointer<Dataset> &d : std::as_const(m_details)) {
        if (d && d->isEditing() && !d->post()) {
            setError(d->lastError(), d->lastErrorField());
            return false;
        }
    }
    return true;
}

void Dataset::onMasterMoved()
{
    if (!isActive())
        return;
    if (isEditing() && !post())
        cancel();
    if (!takeFromMasterRows())
        refresh();
}

// The rows for the master's current row, from those read for the master's
// rows read near it, reading them (whole, in the set's order) when this
// one's are not there. False where a plain read applies: a query set, a
// master row without a value, a failed read (which the read again reports).
bool Dataset::takeFromMasterRows()
{
    if (!m_master || isQuery() || !m_table)
        return false;
    const QVariant v = masterValue();
    const ColumnDef *def = m_table->column(m_detailField);
    const int mf = m_master->fieldIndex(m_masterField);
    if (!def || mf < 0 || v.isNull() || v.toString().isEmpty())
        return false;
    const auto textOf = [this, def](const QVariant &value) {
        return cacheKeyText({m_db->fromDb(def, m_db->toDb(def, value))});
    };
    const QString text = textOf(v);
    if (!m_byMaster.contains(text)) {
        QVariantList binds{m_db->toDb(def, v)};
        QSet<QString> wanted{text};
        const int at = m_master->currentRow();
        const int from = std::max(0, at - kPageSize), to = std::min(int(m_master->m_rows.size()), at + kPageSize);
        for (int r = from; r < to; ++r) {
            const Row &row = m_master->m_rows[r];
            if (!row.loaded)
                continue;
            const QVariant other = row.values.value(mf);
            if (other.isNull() || other.toString().isEmpty() || wanted.contains(textOf(other)))
                continue;
            wanted.insert(textOf(other));
            binds << m_db->toDb(def, other);
        }
        const QString in = QStringLiteral("%1 IN (%2)")
                               .arg(m_db->dialect().ident(m_detailField),
                                    QStringList(binds.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        QVariantList values;
        const QString where = (m_filter && Condition::raw(in, binds)).toSql(m_db->dialect(), values);
        QSqlQuery q(m_db->sql());
        q.setForwardOnly(true);
        if (!m_db->prepareAndExec(
                q, QStringLiteral("SELECT %1 FROM %2 WHERE %3%4").arg(selectList(), m_table->name(), where, orderClause()),
                values, &m_loadError))
            return false;
        QHash<QString, QVector<Row>> read;
        for (const QString &t : std::as_const(wanted))
            read.insert(t, {});
        const int df = fieldIndex(m_detailField);
        while (q.next()) {
            QVariantList rowValues = readRow(q);
            const QString t = textOf(rowValues.value(df));
            // A value the engine matched and the text does not (letter case
            // on a column compared without it) reads as it would alone.
            if (!read.contains(t))
                return false;
            read[t].append({keyOf(rowValues), rowValues, true});
        }
        for (auto it = read.cbegin(); it != read.cend(); ++it)
            m_byMaster.insert(it.key(), it.value());
    }
    QVariantList key;
    if (m_current >= 0 && m_current < m_rows.size())
        key = m_rows[m_current].key;
    const int oldCurrent = m_current;
    m_rows = m_byMaster.value(text);
    m_lookupCache.clear();
    m_columnCache.clear();
    m_masterValueRead = v;
    m_current = -1;
    if (!key.isEmpty()) {
        const QString k = cacheKeyText(key);
        for (int i = 0; i < m_rows.size() && m_current < 0; ++i)
            if (cacheKeyText(m_rows[i].key) == k)
                m_current = i;
    }
    if (m_current < 0 && !m_rows.isEmpty())
        m_current = std::clamp(oldCurrent, 0, int(m_rows.size()) - 1);
    emit rowsReset();
    emit contentChanged();
    emit currentRowChanged(m_current);
    return true;
}

void Dataset::addLookup(const QString &name, const QStringList &keys, Dataset *source, const QStringList &sourceKeys,
                        const QString &resultField)
{
    m_lookups.append({keys, source, sourceKeys, resultField});
    m_fields.append({name, nullptr, int(m_lookups.size() - 1)});
    if (source) {
        connect(source, &Dataset::contentChanged, this, &Dataset::lookupsChanged, Qt::UniqueConnection);
        connect(source, &Dataset::rowsReset, this, &Dataset::lookupsChanged, Qt::UniqueConnection);
    }
}

// --- reading --------------------------------------------------------------

QStringList Dataset::keyColumns() const
{
    return m_table ? m_table->rowKey() : QStringList();
}

QVariantList Dataset::keyOf(const QVariantList &values) const
{
    QVariantList key;
    for (const QString &k : keyColumns()) {
        const int i = fieldIndex(k);
        key << (i >= 0 && i < values.size() ? values[i] : QVariant());
    }
    return key;
}

Condition Dataset::effectiveCondition() const
{
    Condition c = m_filter;
    if (m_master) {
        if (!m_master->isActive() || m_master->currentRow() < 0)
            return Condition::raw(QStringLiteral("1 = 0"));
        // A master row not yet stored has no details.
        if (m_master->state() == State::Insert)
            return Condition::raw(QStringLiteral("1 = 0"));
        const QVariant v = m_master->storedValue(m_masterField);
        c = Condition::equals(m_detailField, v.isNull() ? QVariant(QString()) : v) && c;
        if (v.isNull() || v.toString().isEmpty())
            return Condition::raw(QStringLiteral("1 = 0"));
    }
    return c;
}

QString Dataset::orderClause() const
{
    QStringList parts;
    const auto &d = m_db->dialect();
    for (const QString &o : m_order)
        parts << d.ident(o);
    if (!isQuery())
        for (const QString &k : keyColumns())
            if (!m_order.contains(k, Qt::CaseInsensitive))
                parts << d.ident(k);
    return parts.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

QString Dataset::selectList() const
{
    QStringList cols;
    for (const ColumnDef &c : m_table->columns())
        cols << m_db->dialect().ident(c.name);
    return cols.join(QStringLiteral(", "));
}

QString Dataset::whereKey(const QVariantList &key, QVariantList &binds) const
{
    const QStringList cols = keyColumns();
    QStringList parts;
    for (int i = 0; i < cols.size(); ++i) {
        const ColumnDef *def = m_table->column(cols[i]);
        parts << m_db->dialect().ident(cols[i]) + QStringLiteral(" = ?");
        binds << m_db->toDb(def, key.value(i));
    }
    return parts.join(QStringLiteral(" AND "));
}

QVariantList Dataset::readRow(const QSqlQuery &q) const
{
    QVariantList values;
    const int n = q.record().count();
    values.reserve(n);
    for (int i = 0; i < n; ++i)
        values << m_db->fromDb(i < m_fields.size() ? m_fields[i].def : nullptr, q.value(i));
    return values;
}

bool Dataset::open()
{
    if (isActive())
        return true;
    setError({});
    if (!m_db || !m_db->isOpen()) {
        setError(QStringLiteral("数据库错误：数据库未连接"));
        return false;
    }
    // The sets this one reads through open first: the master decides which
    // rows there are, the sources answer the names.
    {
        m_opening = true;
        bool needed = openNeeded(m_master);
        for (int i = 0; needed && i < m_lookups.size(); ++i)
            needed = openNeeded(m_lookups[i].source);
        m_opening = false;
        if (!needed)
            return false;
    }
    m_rows.clear();
    m_current = -1;
    invalidateCaches();
    m_masterValueRead = masterValue();
    bool ok;
    if (isQuery()) {
        m_queryExhausted = false;
        m_refetching = true;
        ok = fetchQueryPage();
        m_refetching = false;
    } else {
        ok = loadKeys();
    }
    if (!ok) {
        m_rows.clear();
        return false;
    }
    m_state = State::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    emit stateChanged(m_state);
    emit rowsReset();
    emit currentRowChanged(m_current);
    return true;
}

bool Dataset::openNeeded(Dataset *other) const
{
    if (!other || other == this || other->isActive() || other->m_opening || other->m_closing)
        return true;
    if (!other->m_db || !other->m_db->isOpen())
        return true; // nothing to open it on yet; it opens with its connection
    if (other->open())
        return true;
    setError(other->lastError());
    return false;
}

QString Dataset::openStatement(QVariantList *values) const
{
    if (!m_db || isActive() || m_master || !values)
        return {};
    values->clear();
    return isQuery() ? queryPageStatement(*values, 0, false) : keysStatement(*values);
}

QString Dataset::keysStatement(QVariantList &binds) const
{
    QStringList keyCols;
    for (const QString &k : keyColumns())
        keyCols << m_db->dialect().ident(k);
    if (keyCols.isEmpty() || !m_table)
        return {};
    const QString where = effectiveCondition().toSql(m_db->dialect(), binds);
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
        .arg(keyCols.join(QStringLiteral(", ")), m_table->name(), where, orderClause());
}

bool Dataset::readKeys(QVector<Row> &out) const
{
    QVariantList binds;
    const QString sql = keysStatement(binds);
    if (sql.isEmpty()) {
        setError(QStringLiteral("数据库错误：数据表 %1 没有行标识").arg(m_table ? m_table->name() : m_name));
        return false;
    }
    // A detail of no stored master row has no rows: nothing to ask for.
    if (m_master) {
        const QVariant v = masterValue();
        if (v.isNull() || v.toString().isEmpty())
            return true;
    }
    const QStringList cols = keyColumns();
    QVector<const ColumnDef *> defs;
    for (const QString &c : cols)
        defs << m_table->column(c);
    QString err;
    const bool ok = m_db->scan(sql, binds, [&](const QVariant *row) {
        Row r;
        for (int i = 0; i < defs.size(); ++i)
            r.key << m_db->fromDb(defs[i], row[i]);
        out.append(std::move(r));
    }, &err);
    if (!ok)
        setError(err);
    return ok;
}

bool Dataset::loadPage(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].loaded)
        return true;
    // Read the rows from here on that are not yet read, a page at a time.
    QVector<int> wanted;
    for (int i = row; i < m_rows.size() && wanted.size() < kPageSize; ++i)
        if (!m_rows[i].loaded)
            wanted << i;
    return loadRows(wanted);
}

bool Dataset::loadRows(const QVector<int> &rows) const
{
    QVector<int> wanted;
    for (int i : rows)
        if (i >= 0 && i < m_rows.size() && !m_rows[i].loaded)
            wanted << i;
    if (wanted.isEmpty() || !m_table || isQuery())
        return true;
    const QStringList cols = keyColumns();
    const bool single = cols.size() == 1;
    for (int from = 0; from < wanted.size(); from += kPageSize) {
        const QVector<int> page = wanted.mid(from, kPageSize);
        QVariantList binds;
        QStringList alts;
        for (int i : page) {
            if (single) {
                alts << QStringLiteral("?");
                binds << m_db->toDb(m_table->column(cols[0]), m_rows[i].key.value(0));
            } else {
                alts << QLatin1Char('(') + whereKey(m_rows[i].key, binds) + QLatin1Char(')');
            }
        }
        const QString where = single ? QStringLiteral("%1 IN (%2)").arg(m_db->dialect().ident(cols[0]), alts.join(QStringLiteral(", ")))
                                     : alts.join(QStringLiteral(" OR "));
        QSqlQuery q(m_db->sql());
        q.setForwardOnly(true);
        if (!m_db->prepareAndExec(q, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(selectList(), m_table->name(), where),
                                  binds, &m_loadError))
            return false;
        QHash<QString, QVariantList> byKey;
        while (q.next()) {
            QVariantList values = readRow(q);
            byKey.insert(cacheKeyText(keyOf(values)), values);
        }
        for (int i : page)
            fillRow(m_rows[i], byKey);
    }
    return true;
}

void Dataset::fillRow(Row &r, const QHash<QString, QVariantList> &byKey) const
{
    const auto it = byKey.constFind(cacheKeyText(r.key));
    if (it != byKey.constEnd()) {
        r.values = *it;
    } else {
        // Deleted meanwhile by another workstation: shown empty until
        // the next refresh rather than shifting every row below it.
        r.values = QVariantList();
        for (int f = 0; f < m_table->columns().size(); ++f)
            r.values << QVariant();
    }
    r.loaded = true;
}

QString Dataset::queryPageStatement(QVariantList &binds, qsizetype offset, bool rest) const
{
    binds << m_sqlValues;
    const Condition cond = effectiveCondition();
    QString sql = QStringLiteral("SELECT * FROM (%1) brevia_q").arg(m_sql);
    if (!cond.isNull())
        sql += QStringLiteral(" WHERE ") + cond.toSql(m_db->dialect(), binds);
    sql += orderClause();
    if (!rest)
        sql += QStringLiteral(" LIMIT %1 OFFSET %2").arg(kPageSize).arg(offset);
    else if (m_db->isPostgres())
        sql += QStringLiteral(" OFFSET %1").arg(offset);
    else
        sql += QStringLiteral(" LIMIT -1 OFFSET %1").arg(offset);
    return sql;
}

bool Dataset::fetchQueryPage(bool rest)
{
    // A query of sums runs whole for every page it is read in: the rest of
    // it comes in one go rather than a page at a time.
    const qsizetype offset = m_rows.size() - (m_insertRow >= 0 ? 1 : 0);
    QVariantList binds;
    const QString sql = queryPageStatement(binds, offset, rest);
    QSqlQuery q(m_db->sql());
    q.setForwardOnly(true);
    QString err;
    if (!m_db->prepareAndExec(q, sql, binds, &err)) {
        setError(err);
        m_queryExhausted = true;
        return false;
    }
    if (m_fields.isEmpty() || m_fields.first().lookup >= 0 || m_rows.isEmpty())
        buildQueryFields(q.record());
    QVector<Row> page;
    while (q.next()) {
        Row r;
        r.values = readRow(q);
        r.key = keyOf(r.values);
        r.loaded = true;
        page.append(std::move(r));
    }
    const int n = int(page.size());
    const int firstNew = int(m_rows.size());
    m_queryExhausted = rest || n < kPageSize;
    // Rows read again by refresh come with its reset, not as rows added to
    // rows that a grid still counts.
    const bool announce = n > 0 && isActive() && !m_refetching;
    if (announce)
        emit rowsAboutToBeAppended(firstNew, firstNew + n - 1);
    m_rows.append(page);
    if (announce)
        emit rowsAppended(firstNew, firstNew + n - 1);
    return true;
}

bool Dataset::canFetchMore() const
{
    return isActive() && isQuery() && !m_queryExhausted;
}

void Dataset::fetchMore()
{
    if (canFetchMore())
        fetchQueryPage();
}

void Dataset::fetchAll()
{
    if (canFetchMore())
        fetchQueryPage(true);
}

bool Dataset::loadAllRows()
{
    if (!isActive())
        return false;
    if (isQuery()) {
        fetchAll();
        if (!m_table)
            return true;
    }
    int missing = 0;
    for (const Row &r : std::as_const(m_rows))
        missing += r.loaded ? 0 : 1;
    if (missing == 0)
        return true;
    if (missing <= kPageSize) {
        for (int i = 0; i < m_rows.size(); ++i)
            if (!loadPage(i))
                return false;
        return true;
    }
    QVariantList binds;
    const QString where = effectiveCondition().toSql(m_db->dialect(), binds);
    QSqlQuery q(m_db->sql());
    q.setForwardOnly(true);
    if (!m_db->prepareAndExec(q, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(selectList(), m_table->name(), where),
                              binds, &m_loadError))
        return false;
    QHash<QString, QVariantList> byKey;
    byKey.reserve(m_rows.size());
    while (q.next()) {
        QVariantList values = readRow(q);
        byKey.insert(cacheKeyText(keyOf(values)), std::move(values));
    }
    for (Row &r : m_rows)
        if (!r.loaded)
            fillRow(r, byKey);
    return true;
}

QVector<QVariant> Dataset::columnValues(int f)
{
    if (f < 0 || f >= m_fields.size() || !isActive())
        return QVector<QVariant>(m_rows.size());
    if (isQuery())
        fetchAll();
    const int n = int(m_rows.size());
    QVector<QVariant> out;
    const Field &field = m_fields[f];
    if (field.lookup >= 0) {
        out.resize(n);
        const Lookup &l = m_lookups[field.lookup];
        if (l.source) {
            QVector<QVector<QVariant>> keys;
            for (const QString &k : l.keys)
                keys << columnValues(fieldIndex(k));
            // Many rows share few codes: one look-up per row in the
            // source's map of every code, built once.
            const QHash<QString, QVariant> map = l.source->lookupMap(l.sourceKeys, l.result);
            if (keys.size() == 1) {
                // One code: its text is the map's key as it stands.
                const QVector<QVariant> &codes = keys.first();
                for (int r = 0; r < n; ++r) {
                    const QVariant &v = codes[r];
                    if (!v.isNull() && v.isValid())
                        out[r] = map.value(v.typeId() == QMetaType::Double ? cacheKeyText({v}) : v.toString());
                }
            }
            QVariantList kv;
            for (int r = 0; r < n && keys.size() > 1; ++r) {
                kv.clear();
                bool blank = false;
                for (const QVector<QVariant> &k : std::as_const(keys)) {
                    const QVariant &v = k[r];
                    blank = blank || v.isNull() || !v.isValid();
                    kv << v;
                }
                if (!blank)
                    out[r] = map.value(cacheKeyText(kv));
            }
        }
    } else {
        out = readColumn(f);
    }
    if (isEditing() && m_current >= 0 && m_current < n)
        out[m_current] = value(m_current, f);
    return out;
}

QVector<QString> Dataset::columnTexts(int f)
{
    if (f >= 0 && f < m_fields.size() && m_fields[f].lookup >= 0 && isActive() && !isEditing()) {
        const Lookup &l = m_lookups[m_fields[f].lookup];
        if (l.source && l.keys.size() == 1) {
            const QVector<QVariant> codes = columnValues(fieldIndex(l.keys.first()));
            const QHash<QString, QVariant> map = l.source->lookupMap(l.sourceKeys, l.result);
            QHash<QString, QString> textOf;
            QVector<QString> out(codes.size());
            for (int r = 0; r < codes.size(); ++r) {
                const QVariant &v = codes[r];
                if (v.isNull() || !v.isValid())
                    continue;
                const QString code = v.typeId() == QMetaType::Double ? cacheKeyText({v}) : v.toString();
                auto it = textOf.constFind(code);
                if (it == textOf.constEnd())
                    it = textOf.insert(code, Format::display(map.value(code)));
                out[r] = *it;
            }
            return out;
        }
    }
    const QVector<QVariant> values = columnValues(f);
    QVector<QString> out(values.size());
    for (int r = 0; r < values.size(); ++r)
        out[r] = Format::display(values[r]);
    return out;
}

// One stored column of every row: the rows already read answer from memory,
// the others from one query of their keys and that column.
QVector<QVariant> Dataset::readColumn(int f) const
{
    const int n = int(m_rows.size());
    QVector<QVariant> out(n);
    // Read once until the set changes: sorting one way and then the other,
    // or grouping and then sorting, ask for the same column again. Rows
    // only come at the end meanwhile (a new row, read in full).
    const auto found = m_columnCache.constFind(f);
    const QVector<QVariant> *cached = found != m_columnCache.constEnd() && found->size() <= n ? &*found : nullptr;
    QVector<int> missing;
    for (int r = 0; r < n; ++r) {
        if (m_rows[r].loaded)
            out[r] = m_rows[r].values.value(f);
        else if (cached && r < cached->size())
            out[r] = cached->at(r);
        else
            missing << r;
    }
    if (missing.isEmpty())
        return out;
    const ColumnDef *def = m_table ? m_table->column(m_fields[f].name) : nullptr;
    if (isQuery() || !def || missing.size() <= kPageSize) {
        // A few rows: read whole, as the grid would show them anyway.
        loadRows(missing);
        for (int r : std::as_const(missing))
            out[r] = value(r, f);
        return out;
    }
    const QStringList cols = keyColumns();
    QVector<const ColumnDef *> keyDefs;
    QStringList select;
    for (const QString &k : cols) {
        keyDefs << m_table->column(k);
        select << m_db->dialect().ident(k);
    }
    select << m_db->dialect().ident(def->name);
    QVariantList binds;
    const QString where = effectiveCondition().toSql(m_db->dialect(), binds);
    // In the set's own order the rows come back as the keys were read;
    // from the first that does not (rows added or deleted by another
    // workstation meanwhile) the rest are matched by key.
    const int nk = int(cols.size());
    const bool integerKey =
        nk == 1 && (keyDefs[0]->kind == ColumnKind::Integer || keyDefs[0]->kind == ColumnKind::AutoNumber);
    int next = 0;
    bool inStep = true;
    QHash<QString, QVariant> byKey;
    QVariantList key;
    const auto onRow = [&](const QVariant *row) {
        if (inStep && next < n && integerKey && !row[0].isNull()) {
            // One whole-number key: compared as a number, no list made.
            const QVariant &stored = m_rows[next].key.value(0);
            if (stored.typeId() == QMetaType::LongLong && stored.toLongLong() == row[0].toLongLong()) {
                if (!m_rows[next].loaded)
                    out[next] = m_db->fromDb(def, row[nk]);
                ++next;
                return;
            }
        }
        key.clear();
        for (int i = 0; i < nk; ++i)
            key << m_db->fromDb(keyDefs[i], row[i]);
        QVariant v = m_db->fromDb(def, row[nk]);
        if (inStep && next < n && sameKey(m_rows[next].key, key)) {
            if (!m_rows[next].loaded)
                out[next] = std::move(v);
            ++next;
            return;
        }
        inStep = false;
        byKey.insert(cacheKeyText(key), std::move(v));
    };
    if (!m_db->scan(QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
                        .arg(select.join(QStringLiteral(", ")), m_table->name(), where, orderClause()),
                    binds, onRow, &m_loadError))
        return out;
    // Rows no longer stored stay empty, as they show.
    for (int r = next; r < n; ++r)
        if (!m_rows[r].loaded)
            out[r] = byKey.value(cacheKeyText(m_rows[r].key));
    m_columnCache.insert(f, out);
    return out;
}

void Dataset::close()
{
    if (!isActive())
        return;
    if (isEditing())
        cancel();
    m_rows.clear();
    m_current = -1;
    m_state = State::Inactive;
    invalidateCaches();
    // Whoever hears of the close and reads through this set must not open
    // it again before the close is told in full.
    m_closing = true;
    emit stateChanged(m_state);
    emit rowsReset();
    emit currentRowChanged(-1);
    m_closing = false;
}

bool Dataset::refresh()
{
    if (!isActive())
        return open();
    if (!postDetails())
        return false;
    if (isEditing() && !post())
        return false;
    QVariantList key;
    if (m_current >= 0 && m_current < m_rows.size())
        key = m_rows[m_current].key;
    const int oldCurrent = m_current;
    m_rows.clear();
    invalidateCaches();
    m_masterValueRead = masterValue();
    bool ok;
    if (isQuery()) {
        m_queryExhausted = false;
        m_refetching = true;
        ok = fetchQueryPage();
        m_refetching = false;
    } else {
        ok = loadKeys();
    }
    m_current = -1;
    if (ok && !key.isEmpty() && !isQuery()) {
        const QString k = cacheKeyText(key);
        for (int i = 0; i < m_rows.size(); ++i)
            if (cacheKeyText(m_rows[i].key) == k) {
                m_current = i;
                break;
            }
    }
    if (m_current < 0 && !m_rows.isEmpty())
        m_current = std::clamp(oldCurrent, 0, int(m_rows.size()) - 1);
    emit rowsReset();
    emit contentChanged();
    emit currentRowChanged(m_current);
    return ok;
}

// --- navigation -------------------------------------------------------------

bool Dataset::setCurrentRow(int row)
{
    // Whatever error is left afterwards is this move's own.
    setError({});
    if (!isActive() || m_dropping)
        return false;
    if (row >= m_rows.size() && canFetchMore())
        fetchMore();
    if (row < 0 || row >= m_rows.size())
        return false;
    if (row == m_current)
        return true;
    if (!postDetails())
        return false;
    if (isEditing()) {
        const int editing = m_current;
        const int insertedAt = m_insertRow;
        if (!post())
            return false;
        // A dropped new row shifted the rows below it.
        if (m_dropped && insertedAt >= 0 && row > insertedAt)
            --row;
        Q_UNUSED(editing);
        if (row >= m_rows.size())
            row = int(m_rows.size()) - 1;
    }
    m_current = row;
    emit currentRowChanged(m_current);
    return true;
}

bool Dataset::last()
{
    fetchAll();
    return setCurrentRow(int(m_rows.size()) - 1);
}

bool Dataset::locate(const QString &field, const QVariant &value)
{
    const int f = fieldIndex(field);
    if (f < 0 || !isActive())
        return false;
    for (int i = 0;; ++i) {
        if (i >= m_rows.size()) {
            if (!canFetchMore())
                return false;
            fetchMore();
            if (i >= m_rows.size())
                return false;
        }
        if (sameValue(this->value(i, f), value))
            return setCurrentRow(i);
    }
}

// --- fields -------------------------------------------------------------------

QStringList Dataset::fieldNames() const
{
    QStringList names;
    for (const Field &f : m_fields)
        names << f.name;
    return names;
}

int Dataset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Dataset::isLookupField(const QString &name) const
{
    const int i = fieldIndex(name);
    return i >= 0 && m_fields[i].lookup >= 0;
}

const ColumnDef *Dataset::columnDef(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : m_fields[i].def;
}

QVariant Dataset::value(const QString &field) const
{
    const int f = fieldIndex(field);
    if (f < 0 || m_current < 0)
        return {};
    if (isEditing()) {
        if (m_fields[f].lookup >= 0)
            return lookupValueFromBuffer(m_lookups[m_fields[f].lookup]);
        return m_buffer.value(f);
    }
    return value(m_current, f);
}

QVariant Dataset::value(int row, const QString &field) const
{
    const int f = fieldIndex(field);
    return f < 0 ? QVariant() : value(row, f);
}

QVariant Dataset::storedValue(const QString &field) const
{
    const int f = fieldIndex(field);
    if (f < 0 || m_state == State::Insert || m_fields[f].lookup >= 0)
        return {};
    if (m_state == State::Edit)
        return m_original.value(f);
    return value(m_current, f);
}

QVariant Dataset::value(int row, int f) const
{
    if (row < 0 || row >= m_rows.size() || f < 0 || f >= m_fields.size())
        return {};
    if (isEditing() && row == m_current)
        return m_fields[f].lookup >= 0 ? lookupValueFromBuffer(m_lookups[m_fields[f].lookup]) : m_buffer.value(f);
    if (m_fields[f].lookup >= 0)
        return lookupValue(m_lookups[m_fields[f].lookup], row);
    if (!loadPage(row))
        return {};
    return m_rows[row].values.value(f);
}

QString Dataset::text(const QString &field) const
{
    return Format::display(value(field));
}

bool Dataset::isBlank(const QString &field) const
{
    const QVariant v = value(field);
    return v.isNull() || !v.isValid() || v.toString().isEmpty();
}

bool Dataset::setValue(const QString &field, const QVariant &v)
{
    const int f = fieldIndex(field);
    if (f < 0) {
        setError(QStringLiteral("字段 %1 不存在").arg(field));
        return false;
    }
    if (m_fields[f].lookup >= 0) {
        setError(QStringLiteral("字段 %1 只能显示，不能修改").arg(field));
        return false;
    }
    if (!isEditing() && !edit())
        return false;
    const ColumnDef *def = m_fields[f].def;
    // Store the value in the form it comes back from the database.
    const QVariant normal = m_db->fromDb(def, m_db->toDb(def, v));
    if (sameValue(m_buffer[f], normal) && m_buffer[f].typeId() == normal.typeId())
        return true;
    m_buffer[f] = normal;
    emit fieldChanged(m_fields[f].name);
    emit rowChanged(m_current);
    return true;
}

// --- display fields -----------------------------------------------------------

QVariant Dataset::lookupValue(const Lookup &l, int row) const
{
    QVariantList keys;
    for (const QString &k : l.keys)
        keys << value(row, k);
    if (!l.source || !openNeeded(l.source))
        return {};
    // The codes of the rows read near this one come along in the same
    // read: a grid asks for the names of its rows one after another.
    const auto near = [this, &l, row] {
        QList<QVariantList> wanted;
        QVector<int> kf;
        for (const QString &k : l.keys)
            kf << fieldIndex(k);
        const int from = std::max(0, row - kPageSize), to = std::min(int(m_rows.size()), row + kPageSize);
        for (int r = from; r < to; ++r) {
            if (!m_rows[r].loaded)
                continue;
            QVariantList k;
            for (int f : std::as_const(kf))
                k << m_rows[r].values.value(f);
            wanted << k;
        }
        return wanted;
    };
    return l.source->lookupSome(l.sourceKeys, keys, l.result, near);
}

QVariant Dataset::lookupValueFromBuffer(const Lookup &l) const
{
    QVariantList keys;
    for (const QString &k : l.keys)
        keys << m_buffer.value(fieldIndex(k));
    if (!l.source || !openNeeded(l.source))
        return {};
    return l.source->lookupSome(l.sourceKeys, keys, l.result);
}

QVariant Dataset::lookupSome(const QStringList &sourceKeys, const QVariantList &keyValues, const QString &result,
                             const std::function<QList<QVariantList>()> &moreWanted)
{
    for (const QVariant &k : keyValues)
        if (k.isNull() || !k.isValid())
            return {};
    if (!isActive() && (m_closing || m_opening || !open()))
        return {};
    const QString cacheName = sourceKeys.join(QLatin1Char(',')).toLower() + QLatin1Char('|') + result.toLower();
    const QString text = cacheKeyText(keyValues);
    if (const auto whole = m_lookupCache.constFind(cacheName); whole != m_lookupCache.constEnd())
        return whole->value(text);
    bool columns = !isQuery() && m_table && m_table->column(result);
    for (const QString &k : sourceKeys)
        columns = columns && m_table->column(k);
    if (!columns || (!canFetchMore() && rowCount() <= kPageSize))
        return lookupMap(sourceKeys, result).value(text);
    // A name looked up and not found is kept as not found: asked again, it
    // is not read again.
    QHash<QString, QVariant> &some = m_lookupCache[QStringLiteral("some:") + cacheName];
    if (const auto it = some.constFind(text); it != some.constEnd())
        return *it;
    QList<QVariantList> wanted{keyValues};
    QSet<QString> seen{text};
    if (moreWanted)
        for (const QVariantList &k : moreWanted()) {
            const QString t = cacheKeyText(k);
            bool blank = k.size() != sourceKeys.size();
            for (const QVariant &v : k)
                blank = blank || v.isNull() || !v.isValid();
            if (!blank && !some.contains(t) && !seen.contains(t)) {
                seen.insert(t);
                wanted << k;
            }
        }
    const Dialect &d = m_db->dialect();
    for (int from = 0; from < wanted.size(); from += kPageSize) {
        QVariantList binds;
        QStringList alts;
        for (const QVariantList &k : wanted.mid(from, kPageSize)) {
            QStringList parts;
            for (int i = 0; i < sourceKeys.size(); ++i) {
                parts << d.ident(sourceKeys[i]) + QStringLiteral(" = ?");
                binds << m_db->toDb(m_table->column(sourceKeys[i]), k[i]);
            }
            alts << QLatin1Char('(') + parts.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        }
        QStringList cols;
        for (const QString &k : sourceKeys)
            cols << d.ident(k);
        cols << d.ident(result);
        const Condition c = effectiveCondition() && Condition::raw(alts.join(QStringLiteral(" OR ")), binds);
        QVariantList values;
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                .arg(cols.join(QStringLiteral(", ")), m_table->name(), c.toSql(d, values));
        QSqlQuery q(m_db->sql());
        q.setForwardOnly(true);
        if (!m_db->prepareAndExec(q, sql, values, &m_loadError))
            return {};
        while (q.next()) {
            QVariantList k;
            for (int i = 0; i < sourceKeys.size(); ++i)
                k << m_db->fromDb(m_table->column(sourceKeys[i]), q.value(i));
            const QString t = cacheKeyText(k);
            if (!some.contains(t))
                some.insert(t, m_db->fromDb(m_table->column(result), q.value(sourceKeys.size())));
        }
    }
    // Those not found, as the map of every row would not have them.
    for (const QVariantList &k : std::as_const(wanted))
        some.insert(cacheKeyText(k), some.value(cacheKeyText(k)));
    return some.value(text);
}

QVariant Dataset::lookupIn(const QStringList &sourceKeys, const QVariantList &keyValues, const QString &result)
{
    for (const QVariant &k : keyValues)
        if (k.isNull() || !k.isValid())
            return {};
    return lookupMap(sourceKeys, result).value(cacheKeyText(keyValues));
}

// Every row's result by its source keys, read once until the set changes.
QHash<QString, QVariant> Dataset::lookupMap(const QStringList &sourceKeys, const QString &result)
{
    if (!isActive() && (m_closing || m_opening || !open()))
        return {};
    const QString cacheName = sourceKeys.join(QLatin1Char(',')).toLower() + QLatin1Char('|') + result.toLower();
    auto it = m_lookupCache.find(cacheName);
    if (it == m_lookupCache.end()) {
        QHash<QString, QVariant> map;
        const int rf = fieldIndex(result);
        QVector<int> kf;
        for (const QString &k : sourceKeys)
            kf << fieldIndex(k);
        if (!isQuery() && m_table && m_table->column(result)) {
            // Two columns of every row in the set, in one statement.
            QVariantList binds;
            QStringList cols;
            for (const QString &k : sourceKeys)
                cols << m_db->dialect().ident(k);
            cols << m_db->dialect().ident(result);
            const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                    .arg(cols.join(QStringLiteral(", ")), m_table->name(),
                                         effectiveCondition().toSql(m_db->dialect(), binds));
            QSqlQuery q(m_db->sql());
            q.setForwardOnly(true);
            if (m_db->prepareAndExec(q, sql, binds, &m_loadError)) {
                while (q.next()) {
                    QVariantList k;
                    for (int i = 0; i < sourceKeys.size(); ++i)
                        k << m_db->fromDb(m_table->column(sourceKeys[i]), q.value(i));
                    const QString text = cacheKeyText(k);
                    if (!map.contains(text))
                        map.insert(text, m_db->fromDb(m_table->column(result), q.value(sourceKeys.size())));
                }
            }
        } else if (rf >= 0) {
            fetchAll();
            for (int r = 0; r < m_rows.size(); ++r) {
                QVariantList k;
                for (int f : kf)
                    k << value(r, f);
                const QString text = cacheKeyText(k);
                if (!map.contains(text))
                    map.insert(text, value(r, rf));
            }
        }
        it = m_lookupCache.insert(cacheName, map);
    }
    return *it;
}

void Dataset::invalidateCaches()
{
    m_lookupCache.clear();
    m_columnCache.clear();
    m_byMaster.clear();
    // Read again means read again, for the details too.
    for (const QPointer<Dataset> &d : std::as_const(m_details))
        if (d)
            d->m_byMaster.clear();
}

// --- editing ----------------------------------------------------------------

bool Dataset::append()
{
    setError({});
    if (!isActive()) {
        setError(QStringLiteral("数据集未打开"));
        return false;
    }
    if (!editable()) {
        setError(QStringLiteral("数据集只能查看，不能修改"));
        return false;
    }
    if (!postDetails())
        return false;
    if (isEditing() && !post())
        return false;
    // Query sets read in pages; read the rest so that the new row stays last.
    fetchAll();
    m_buffer = QVariantList();
    for (const Field &f : std::as_const(m_fields))
        m_buffer << (f.def && f.def->kind == ColumnKind::Bool ? QVariant(false) : QVariant());
    m_original = m_buffer;
    if (m_master && m_master->currentRow() >= 0) {
        const int f = fieldIndex(m_detailField);
        if (f >= 0)
            m_buffer[f] = masterValue();
    }
    Row r;
    r.loaded = true;
    r.values = m_buffer;
    emit rowAboutToBeInserted(int(m_rows.size()));
    m_rows.append(r);
    m_insertRow = int(m_rows.size()) - 1;
    m_current = m_insertRow;
    m_state = State::Insert;
    emit rowInserted(m_insertRow);
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
    for (const auto &h : m_onNewRow)
        h(*this);
    return true;
}

bool Dataset::edit()
{
    setError({});
    if (!isActive()) {
        setError(QStringLiteral("数据集未打开"));
        return false;
    }
    if (isEditing())
        return true;
    if (m_rows.isEmpty() || m_current < 0)
        return append();
    if (!editable()) {
        setError(QStringLiteral("数据集只能查看，不能修改"));
        return false;
    }
    if (!loadPage(m_current)) {
        setError(m_loadError);
        return false;
    }
    m_buffer = m_rows[m_current].values;
    // Display fields are not stored in the row; keep the layout aligned.
    while (m_buffer.size() < m_fields.size())
        m_buffer << QVariant();
    m_original = m_buffer;
    setState(State::Edit);
    return true;
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    if (m_state == State::Insert) {
        const int row = m_insertRow;
        // A view told that the row goes may move to a neighbour; moving
        // now would store the row being given up, and then remove it twice.
        m_dropping = true;
        emit rowAboutToBeRemoved(row);
        m_dropping = false;
        m_rows.removeAt(row);
        m_insertRow = -1;
        m_buffer.clear();
        m_current = m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1);
        setState(State::Browse);
        emit rowRemoved(row);
        emit currentRowChanged(m_current);
        return;
    }
    m_buffer.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
    emit currentRowChanged(m_current);
}

bool Dataset::post()
{
    setError({});
    m_dropped = false;
    if (!isEditing())
        return true;
    m_byMaster.clear();
    for (const auto &h : m_beforePost) {
        const HookResult r = h(*this);
        if (r.kind == HookResult::Drop) {
            if (m_state == State::Insert) {
                m_dropped = true;
                cancel();
                return true;
            }
        } else if (r.kind == HookResult::Refuse) {
            setError(r.message, r.field);
            return false;
        }
    }
    QVariantList oldKey, key;
    const bool inserting = m_state == State::Insert;
    const bool ok = inserting ? postInsert(&key) : postEdit(&oldKey, &key);
    if (ok) {
        invalidateCaches();
        if (inserting)
            placeStoredRow(key);
        emit contentChanged();
        if (!key.isEmpty())
            emit keyStored(oldKey, key);
    }
    return ok;
}

bool Dataset::rereadRow(const QVariantList &key, QVariantList *values, bool lock, QString *error) const
{
    QVariantList binds;
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(selectList(), m_table->name(), whereKey(key, binds));
    if (lock && m_db->isPostgres())
        sql += QStringLiteral(" FOR UPDATE");
    QSqlQuery q(m_db->sql());
    if (!m_db->prepareAndExec(q, sql, binds, error))
        return false;
    if (!q.next()) {
        values->clear();
        return true;
    }
    // The table dataset's fields start with the table's columns in order.
    QVariantList v;
    for (int i = 0; i < m_table->columns().size(); ++i)
        v << m_db->fromDb(&m_table->columns()[i], q.value(i));
    *values = v;
    return true;
}

// Inside the write transaction: the row as it is now in the database must
// still be the row this workstation read; otherwise another workstation
// changed or deleted it meanwhile. The row is locked until the commit.
QString Dataset::checkUnchanged(const QVariantList &key, const QVariantList &original) const
{
    QVariantList now;
    QString err;
    if (!rereadRow(key, &now, true, &err))
        return err;
    if (now.isEmpty())
        return kConflictText;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].lookup >= 0)
            continue;
        const int c = m_table->indexOf(m_fields[i].name);
        if (c >= 0 && !sameValue(now.value(c), original.value(i)))
            return kConflictText;
    }
    return {};
}

bool Dataset::postInsert(QVariantList *storedKey)
{
    FieldValues fv;
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields[i];
        if (f.lookup >= 0 || !f.def || f.def->kind == ColumnKind::AutoNumber)
            continue;
        if (!m_table->column(f.name))
            continue;
        fv.append({f.name, m_buffer.value(i)});
    }
    Transaction tx(*m_db);
    if (!tx.ok()) {
        setError(tx.error());
        return false;
    }
    QVariant autoNo;
    QString err = m_db->insertRow(m_table->name(), fv, &autoNo);
    const QString autoCol = m_table->autoNumberColumn();
    if (err.isEmpty() && !autoCol.isEmpty()) {
        const int f = fieldIndex(autoCol);
        if (f >= 0)
            m_buffer[f] = autoNo.toLongLong();
    }
    const QVariantList key = keyOf(m_buffer);
    QVariantList stored;
    if (err.isEmpty() && !rereadRow(key, &stored, false, &err))
        stored.clear();
    if (err.isEmpty())
        err = tx.commit();
    if (!err.isEmpty()) {
        setError(err);
        return false;
    }
    Row &r = m_rows[m_insertRow];
    r.key = key;
    r.values = stored.isEmpty() ? m_buffer.mid(0, m_table->columns().size()) : stored;
    if (isQuery()) {
        // Query rows carry the statement's columns; keep the edited layout.
        r.values = m_buffer;
    }
    r.loaded = true;
    *storedKey = key;
    const int row = m_insertRow;
    m_insertRow = -1;
    m_buffer.clear();
    setState(State::Browse);
    emit rowChanged(row);
    return true;
}

bool Dataset::postEdit(QVariantList *oldKey, QVariantList *storedKey)
{
    QStringList sets;
    QVariantList binds;
    for (int i = 0; i < m_fields.size(); ++i) {
        const Field &f = m_fields[i];
        if (f.lookup >= 0 || !f.def || !m_table->column(f.name))
            continue;
        if (sameValue(m_buffer.value(i), m_original.value(i)) && m_buffer.value(i).typeId() == m_original.value(i).typeId())
            continue;
        sets << m_db->dialect().ident(f.name) + QStringLiteral(" = ?");
        binds << m_db->toDb(f.def, m_buffer.value(i));
        // A changed name takes its pinyin key with it.
        if (const QString key = m_table->searchKeyColumn(f.name); !key.isEmpty()) {
            sets << m_db->dialect().ident(key) + QStringLiteral(" = ?");
            binds << Pinyin::searchKey(m_buffer.value(i).toString());
        }
    }
    if (sets.isEmpty()) {
        m_buffer.clear();
        setState(State::Browse);
        emit rowChanged(m_current);
        return true;
    }
    const QVariantList origKey = keyOf(m_original);
    Transaction tx(*m_db);
    if (!tx.ok()) {
        setError(tx.error());
        return false;
    }
    QString err = checkUnchanged(origKey, m_original);
    if (!err.isEmpty()) {
        setError(err);
        return false;
    }
    QVariantList whereBinds;
    const QString where = whereKey(origKey, whereBinds);
    binds << whereBinds;
    err = m_db->exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_table->name(), sets.join(QStringLiteral(", ")), where),
                     binds);
    QVariantList stored;
    if (err.isEmpty() && !isQuery())
        rereadRow(keyOf(m_buffer), &stored, false, &err);
    if (err.isEmpty())
        err = tx.commit();
    if (!err.isEmpty()) {
        setError(err);
        return false;
    }
    Row &r = m_rows[m_current];
    r.values = stored.isEmpty() ? m_buffer : stored;
    r.key = keyOf(r.values);
    r.loaded = true;
    *oldKey = origKey;
    *storedKey = r.key;
    m_buffer.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
    return true;
}

bool Dataset::remove()
{
    setError({});
    m_byMaster.clear();
    if (!isActive() || m_current < 0) {
        setError(QStringLiteral("没有可删除的记录"));
        return false;
    }
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (!editable()) {
        setError(QStringLiteral("数据集只能查看，不能修改"));
        return false;
    }
    if (m_state == State::Edit)
        cancel();
    for (const auto &h : m_beforeDelete) {
        const HookResult r = h(*this);
        if (r.kind != HookResult::Proceed) {
            setError(r.message);
            return false;
        }
    }
    if (!loadPage(m_current)) {
        setError(m_loadError);
        return false;
    }
    const QVariantList original = m_rows[m_current].values;
    const QVariantList key = m_rows[m_current].key;
    Transaction tx(*m_db);
    if (!tx.ok()) {
        setError(tx.error());
        return false;
    }
    QString err = checkUnchanged(key, original);
    if (!err.isEmpty()) {
        setError(err);
        return false;
    }
    QVariantList binds;
    const QString where = whereKey(key, binds);
    err = m_db->exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table->name(), where), binds);
    if (err.isEmpty())
        err = tx.commit();
    if (!err.isEmpty()) {
        setError(err);
        return false;
    }
    const int row = m_current;
    emit rowAboutToBeRemoved(row);
    m_rows.removeAt(row);
    m_current = m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1);
    invalidateCaches();
    emit rowRemoved(row);
    emit contentChanged();
    emit currentRowChanged(m_current);
    emit keyRemoved(key);
    return true;
}

// --- other sets over the same table -----------------------------------------

int Dataset::rowOfKey(const QVariantList &key) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (i != m_insertRow && keyEquals(m_rows[i].key, key))
            return i;
    return -1;
}

// The row with this key as this set shows it, if it meets the set's
// condition: one statement by key, whatever the size of the set.
bool Dataset::readOne(const QVariantList &key, QVariantList *values, bool *found) const
{
    *found = false;
    QVariantList binds;
    QString sql;
    if (isQuery()) {
        binds = m_sqlValues;
        sql = QStringLiteral("SELECT * FROM (%1) brevia_q WHERE ").arg(m_sql);
    } else {
        sql = QStringLiteral("SELECT %1 FROM %2 WHERE ").arg(selectList(), m_table->name());
    }
    // The values are bound in the order of their marks.
    const QString byKey = whereKey(key, binds);
    const QString condition = effectiveCondition().toSql(m_db->dialect(), binds);
    sql += QLatin1Char('(') + byKey + QStringLiteral(") AND ") + condition;
    QSqlQuery q(m_db->sql());
    if (!m_db->prepareAndExec(q, sql, binds, &m_loadError))
        return false;
    if (q.next()) {
        *values = readRow(q);
        *found = true;
    }
    return true;
}

void Dataset::insertRowAt(int row, Row r)
{
    const bool hadCurrent = m_current >= 0;
    emit rowAboutToBeInserted(row);
    m_rows.insert(row, std::move(r));
    if (m_insertRow >= row)
        ++m_insertRow;
    if (m_current >= row)
        ++m_current;
    else if (!hadCurrent)
        m_current = row;
    // Whole columns read for sorting keep their place for the other rows;
    // the new row is read in full and answers for itself.
    for (QVector<QVariant> &c : m_columnCache)
        if (row < c.size())
            c.insert(row, QVariant());
    emit rowInserted(row);
    if (!hadCurrent)
        emit currentRowChanged(m_current);
}

void Dataset::removeRowAt(int row)
{
    // A view moving its cursor as the row goes must not move the set.
    m_dropping = true;
    emit rowAboutToBeRemoved(row);
    m_dropping = false;
    m_rows.removeAt(row);
    for (QVector<QVariant> &c : m_columnCache)
        if (row < c.size())
            c.removeAt(row);
    if (m_insertRow > row)
        --m_insertRow;
    const bool currentGone = row == m_current;
    if (m_current > row)
        --m_current;
    else if (currentGone)
        m_current = m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1);
    emit rowRemoved(row);
    if (currentGone)
        emit currentRowChanged(m_current);
}

void Dataset::takeStored(const QVariantList &oldKey, const QVariantList &key)
{
    m_byMaster.clear();
    if (!isActive() || !editable() || !m_db || !m_db->isOpen() || key.isEmpty())
        return;
    const int row = rowOfKey(oldKey.isEmpty() ? key : oldKey);
    if (row < 0 && isQuery() && !m_queryExhausted)
        return; // a row it should show comes with a later page
    QVariantList values;
    bool found = false;
    const bool read = readOne(key, &values, &found);
    if (row < 0 && !found)
        return; // neither held nor for this set
    // Names this set answers may read otherwise now.
    m_lookupCache.clear();
    if (row >= 0 && isEditing() && row == m_current) {
        // The edit in hand stays as it is, and storing it meets the check
        // against the row as it is now; giving it up shows the new values.
        if (found) {
            m_rows[row].values = values;
            m_rows[row].key = keyOf(values);
            m_rows[row].loaded = true;
        }
        emit contentChanged();
        return;
    }
    if (!read) {
        // Read again when next shown.
        if (row >= 0 && !isQuery()) {
            m_rows[row].key = key;
            m_rows[row].loaded = false;
            m_columnCache.clear();
            emit rowChanged(row);
            emit contentChanged();
        }
        return;
    }
    if (row < 0) {
        if (found)
            takeNewRow(values);
        return;
    }
    if (!found) {
        // Stored out of this set's condition (another customer, another user).
        removeRowAt(row);
    } else {
        Row &r = m_rows[row];
        r.values = values;
        r.key = keyOf(values);
        r.loaded = true;
        emit rowChanged(row);
    }
    emit contentChanged();
}

void Dataset::placeStoredRow(const QVariantList &key)
{
    // A new row was added last; stored, it goes where the set's order puts
    // it, as the next reading would show it. The keys are read as open
    // reads them; when the table changed otherwise meanwhile the row stays
    // where it is until the set is read again.
    if (isQuery() || key.isEmpty() || m_insertRow >= 0)
        return;
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    QVector<Row> now;
    if (!readKeys(now)) {
        setError({}); // stored all the same
        return;
    }
    if (now.size() != m_rows.size())
        return;
    int at = -1;
    for (int i = 0; i < now.size() && at < 0; ++i)
        if (keyEquals(now[i].key, key))
            at = i;
    if (at < 0 || at == row)
        return;
    // The other rows must stand as they are read now.
    for (int i = 0, j = 0; i < now.size() && j < m_rows.size(); ++i, ++j) {
        if (i == at)
            ++i;
        if (j == row)
            ++j;
        if (i >= now.size() || j >= m_rows.size())
            break;
        if (!keyEquals(now[i].key, m_rows[j].key))
            return;
    }
    const int current = m_current;
    m_rows.move(row, at);
    if (current == row)
        m_current = at;
    else if (row < current && current <= at)
        --m_current;
    else if (at <= current && current < row)
        ++m_current;
    m_columnCache.clear();
    emit rowsReset();
    emit currentRowChanged(m_current);
}

void Dataset::takeNewRow(const QVariantList &values)
{
    Row fresh;
    fresh.values = values;
    fresh.key = keyOf(values);
    fresh.loaded = true;
    if (isQuery()) {
        // Every row of the statement is read: the new one comes last, before
        // a row being added.
        insertRowAt(m_insertRow >= 0 ? m_insertRow : int(m_rows.size()), std::move(fresh));
        emit contentChanged();
        return;
    }
    // Where the row stands in the set's order is the database's to say: the
    // keys are read as open reads them, the rows themselves are not.
    QVector<Row> now;
    if (!readKeys(now))
        return;
    const int held = int(m_rows.size()) - (m_insertRow >= 0 ? 1 : 0); // a row being added is last
    if (now.size() == held + 1) {
        int p = 0;
        while (p < held && keyEquals(now[p].key, m_rows[p].key))
            ++p;
        int q = p;
        while (q < held && keyEquals(now[q + 1].key, m_rows[q].key))
            ++q;
        if (q == held && keyEquals(now[p].key, fresh.key)) {
            insertRowAt(p, std::move(fresh));
            emit contentChanged();
            return;
        }
    }
    // Other workstations changed the table meanwhile too: the keys as they
    // are now, keeping the rows already read and the current row.
    const QVariantList currentKey = m_current >= 0 && m_current != m_insertRow ? m_rows[m_current].key : QVariantList();
    QHash<QString, int> readAt;
    for (int i = 0; i < held; ++i)
        if (m_rows[i].loaded)
            readAt.insert(cacheKeyText(m_rows[i].key), i);
    int current = -1;
    for (int i = 0; i < now.size(); ++i) {
        if (keyEquals(now[i].key, fresh.key)) {
            now[i] = fresh;
        } else if (const auto it = readAt.constFind(cacheKeyText(now[i].key)); it != readAt.constEnd()) {
            now[i].values = m_rows[*it].values;
            now[i].loaded = true;
        }
        if (current < 0 && !currentKey.isEmpty() && keyEquals(now[i].key, currentKey))
            current = i;
    }
    // The row being edited is gone meanwhile: the edit stays where it is
    // and meets the check when stored.
    if (m_state == State::Edit && current < 0)
        return;
    if (m_insertRow >= 0) {
        now.append(m_rows[m_insertRow]);
        m_insertRow = int(now.size()) - 1;
        current = m_insertRow;
    }
    if (current < 0 && !now.isEmpty())
        current = std::clamp(m_current, 0, int(now.size()) - 1);
    m_rows = std::move(now);
    m_current = current;
    m_columnCache.clear();
    emit rowsReset();
    emit contentChanged();
    emit currentRowChanged(m_current);
}

void Dataset::takeRemoved(const QVariantList &key)
{
    m_byMaster.clear();
    if (!isActive() || !editable())
        return;
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    m_lookupCache.clear();
    if (!(isEditing() && row == m_current))
        removeRowAt(row); // the row being edited stays: storing it is refused as changed by another user
    emit contentChanged();
}
