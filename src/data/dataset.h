#pragma once

#include "data/condition.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class Database;
class TableDef;
struct ColumnDef;

// What a store or delete hook decides.
struct HookResult {
    enum Kind { Proceed, Drop, Refuse };
    Kind kind = Proceed;
    QString message;
    QString field; // the field a refusal is about, so a window can put the cursor there
    static HookResult proceed() { return {}; }
    static HookResult drop() { return {Drop, {}, {}}; }
    static HookResult refuse(const QString &text, const QString &field = {}) { return {Refuse, text, field}; }
};

// A set of rows of one table (or of a query) with a current row and an
// editing state, shared by every window that shows the same data.
//
// Table datasets read the keys of all their rows when they open and the
// rows themselves a page at a time as they are asked for, so a table of
// 100,000 rows opens at once. Query datasets read their rows in pages.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Hook = std::function<HookResult(Dataset &)>;
    using NewRowHook = std::function<void(Dataset &)>;

    static const QString kConflictText;
    // How many rows one read brings: of a table set by their keys, of a
    // query set the next ones.
    static constexpr int kPageSize = 200;

    // A dataset over one table of the schema.
    Dataset(Database *db, const QString &name, const TableDef *table, QObject *parent = nullptr);
    // A dataset over a SELECT statement. With a base table whose key
    // columns the statement returns, its rows can be edited too.
    Dataset(Database *db, const QString &name, const QString &selectSql, const TableDef *base = nullptr,
            QObject *parent = nullptr);
    ~Dataset() override;

    const QString &name() const { return m_name; }
    const TableDef *table() const { return m_table; }
    Database *database() const { return m_db; }
    void setDatabase(Database *db); // after a reconnect; closes the dataset

    // --- configuration ---
    void setOrderBy(const QStringList &columns);
    // The filter stays on the dataset across close and open until it is
    // changed; an open dataset re-reads at once.
    void setFilter(const Condition &c);
    const Condition &filter() const { return m_filter; }
    void clearFilter() { setFilter(Condition()); }
    // Run-time SQL of a query dataset; takes effect at the next open.
    void setSql(const QString &selectSql, const QVariantList &values = {});
    const QString &sqlText() const { return m_sql; }
    // This dataset shows only rows whose detailField equals masterField of
    // the master's current row, follows it as it moves, and a new row takes
    // the master's value.
    // The master opens with the detail when it is closed.
    void setMaster(Dataset *master, const QString &masterField, const QString &detailField);
    // Whether a new detail row can start now: the master has a stored row
    // and its key is not being changed (the new row would take the key
    // that is about to go away, or one that is never saved).
    bool canAddDetail() const;
    // A read-only display field: the resultField of the source row whose
    // sourceKeys equal this row's keys; empty when there is none. A closed
    // source opens with this set or when a name is first read.
    void addLookup(const QString &name, const QStringList &keys, Dataset *source, const QStringList &sourceKeys,
                   const QString &resultField);
    void addBeforePost(Hook h) { m_beforePost.push_back(std::move(h)); }
    void addBeforeDelete(Hook h) { m_beforeDelete.push_back(std::move(h)); }
    void addOnNewRow(NewRowHook h) { m_onNewRow.push_back(std::move(h)); }

    // --- lifecycle ---
    // Opens the master and the lookup sources first where they are closed;
    // when one of them cannot open, neither does this set.
    bool open();
    void close();
    bool refresh(); // re-reads, keeping the current row where it still exists
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    // --- rows ---
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    bool canFetchMore() const;
    void fetchMore();
    void fetchAll();
    // Every row read now, a table set's in one query instead of a page at a
    // time: for exporting, which needs every value anyway.
    bool loadAllRows();
    // The values of one field for every row, in row order, without reading
    // whole rows: what sorting and grouping need. Rows already read answer
    // from memory and the rest come from one query of the key and that
    // column (kept until the set changes); a display field reads its code
    // columns so and answers through its source's map of every code. The
    // row being edited answers with its edit.
    QVector<QVariant> columnValues(int fieldIndex);
    // The same as the texts the grid shows (Format::display); a field looked
    // up through one code makes each code's text once, however many rows
    // share it: grouping 300,000 contacts by their customer's name.
    QVector<QString> columnTexts(int fieldIndex);
    bool isRowLoaded(int row) const { return row >= 0 && row < m_rows.size() && m_rows[row].loaded; }
    // Reads those of the given rows not yet read, a page per query: a grid
    // showing the rows in an order of its own asks for those it shows next.
    bool loadRows(const QVector<int> &rows) const;
    int currentRow() const { return m_current; }
    // Moving posts a pending change first (the store hooks run, the
    // window's own checks do not). False when that post failed.
    bool setCurrentRow(int row);
    bool first() { return setCurrentRow(0); }
    bool last();
    bool next() { return setCurrentRow(m_current + 1); }
    bool prior() { return setCurrentRow(m_current - 1); }
    bool locate(const QString &field, const QVariant &value); // exact, fetches as needed

    // --- fields, by name without regard to letter case ---
    QStringList fieldNames() const;
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    bool isLookupField(const QString &name) const;
    const ColumnDef *columnDef(const QString &name) const;
    QVariant value(const QString &field) const; // current row, the edit buffer while editing
    QVariant value(int row, const QString &field) const;
    QVariant value(int row, int fieldIndex) const;
    // The current row's value as stored, before the edit in progress; empty
    // for a new row. What other tables still refer to.
    QVariant storedValue(const QString &field) const;
    QString text(const QString &field) const; // as shown to the user
    bool isBlank(const QString &field) const; // NULL or empty text
    // Setting a field of a browsed row enters editing (of a new row when
    // the set is empty). False for display fields and inactive sets.
    bool setValue(const QString &field, const QVariant &v);

    // --- editing ---
    bool append();
    bool edit();
    bool post();
    void cancel();
    bool remove();
    const QString &lastError() const { return m_error; }
    // The field the last refusal of a store hook named; empty otherwise.
    const QString &lastErrorField() const { return m_errorField; }
    bool lastPostDropped() const { return m_dropped; }

    // Opens a set this one needs (its master, a lookup's source, the
    // dictionary of a drop-down bound to it) when that set is closed and its
    // connection is there. False when it could not open, with the reason in
    // this set's lastError().
    bool openNeeded(Dataset *other) const;
    // The statement (and its values) that open() runs first, for reading
    // several sets' openings together (Database::prefetch); empty for an
    // open set and for a detail set, which reads for its master's row.
    QString openStatement(QVariantList *values) const;
    // The resultField of this set's row whose sourceKeys equal keyValues.
    // A short list answers from its map of every row; a long one (more
    // than a page) reads the rows asked for alone, together with those
    // moreWanted names when it has to read (the codes of the other rows a
    // grid has read), and keeps them until the set changes: a drop-down
    // that cannot be changed or a grid's column of names needs the names of
    // the codes it shows, not of every customer of the agency.
    QVariant lookupSome(const QStringList &sourceKeys, const QVariantList &keyValues, const QString &result,
                        const std::function<QList<QVariantList>()> &moreWanted = {});

    // --- other sets over the same table ---
    // Another set of the data module over the same base table stored the
    // row oldKey as key (oldKey empty for a new row) or deleted it. A held
    // row is read again by its key, or leaves when it no longer meets this
    // set's condition; a row not held comes in when it meets it. The row
    // this set is editing keeps its edit. Inactive sets do nothing.
    void takeStored(const QVariantList &oldKey, const QVariantList &key);
    void takeRemoved(const QVariantList &key);

signals:
    void stateChanged(Dataset::State state);
    void currentRowChanged(int row);
    void rowsReset();
    // Grids are told before and after rows come and go.
    void rowsAboutToBeAppended(int first, int last);
    void rowsAppended(int first, int last);
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void fieldChanged(const QString &field);
    void lookupsChanged();
    void contentChanged(); // rows stored, removed or re-read
    // A row of the base table stored (oldKey empty for a new row) or deleted
    // through this set, for the other sets over the same table.
    void keyStored(const QVariantList &oldKey, const QVariantList &key);
    void keyRemoved(const QVariantList &key);

private:
    struct Field {
        QString name;
        const ColumnDef *def = nullptr;
        int lookup = -1; // index into m_lookups
    };
    struct Lookup {
        QStringList keys;
        QPointer<Dataset> source;
        QStringList sourceKeys;
        QString result;
    };
    struct Row {
        QVariantList key;
        QVariantList values;
        bool loaded = false;
    };

    bool isQuery() const { return !m_sql.isEmpty(); }
    bool editable() const;
    void setState(State s);
    void setError(const QString &e, const QString &field = {}) const
    {
        m_error = e;
        m_errorField = field;
    }
    Condition effectiveCondition() const;
    QString orderClause() const;
    QStringList keyColumns() const;
    QVariantList keyOf(const QVariantList &values) const;
    bool loadKeys() { return readKeys(m_rows); }
    bool readKeys(QVector<Row> &out) const;
    QString keysStatement(QVariantList &binds) const;
    QString queryPageStatement(QVariantList &binds, qsizetype offset, bool rest) const;
    int rowOfKey(const QVariantList &key) const;
    bool readOne(const QVariantList &key, QVariantList *values, bool *found) const;
    void takeNewRow(const QVariantList &values);
    void placeStoredRow(const QVariantList &key); // a row just added, to its place in the order
    void insertRowAt(int row, Row r);
    void removeRowAt(int row);
    QVariant masterValue() const;
    bool loadPage(int row) const;
    void fillRow(Row &r, const QHash<QString, QVariantList> &byKey) const;
    bool fetchQueryPage(bool rest = false); // rest: every row not yet read, in one statement
    void buildTableFields();
    void buildQueryFields(const class QSqlRecord &rec);
    QVariantList readRow(const class QSqlQuery &q) const;
    QVariant lookupValue(const Lookup &l, int row) const;
    QVariant lookupValueFromBuffer(const Lookup &l) const;
    QVariant lookupIn(const QStringList &sourceKeys, const QVariantList &keyValues, const QString &result);
    QHash<QString, QVariant> lookupMap(const QStringList &sourceKeys, const QString &result);
    QVector<QVariant> readColumn(int fieldIndex) const;
    void invalidateCaches();
    bool rereadRow(const QVariantList &key, QVariantList *values, bool lock, QString *error) const;
    QString checkUnchanged(const QVariantList &key, const QVariantList &original) const;
    bool postInsert(QVariantList *key);
    bool postEdit(QVariantList *oldKey, QVariantList *key);
    void onMasterMoved();
    bool takeFromMasterRows();
    QString whereKey(const QVariantList &key, QVariantList &binds) const;
    QString selectList() const;

    Database *m_db;
    QString m_name;
    const TableDef *m_table;
    QString m_sql;
    QVariantList m_sqlValues;
    QStringList m_order;
    Condition m_filter;
    QPointer<Dataset> m_master;
    QList<QPointer<Dataset>> m_details; // sets whose master this is
    bool postDetails();
    QString m_masterField, m_detailField;
    QVariant m_masterValueRead; // the master's value the rows were read for
    QVector<Field> m_fields;
    QVector<Lookup> m_lookups;
    std::vector<Hook> m_beforePost, m_beforeDelete;
    std::vector<NewRowHook> m_onNewRow;

    mutable QVector<Row> m_rows;
    int m_current = -1;
    State m_state = State::Inactive;
    QVariantList m_buffer;   // the row being edited or inserted
    QVariantList m_original; // its values when editing began
    int m_insertRow = -1;
    bool m_queryExhausted = true;
    bool m_refetching = false; // refresh reads a query's first page again
    mutable QString m_error;
    mutable QString m_errorField;
    bool m_opening = false; // opening the sets it needs
    bool m_closing = false; // telling of its close
    bool m_dropped = false;
    bool m_dropping = false; // a new row is being taken out
    mutable QString m_loadError;

    // lookups answered by this dataset as a source: "keys|result" -> map
    QHash<QString, QHash<QString, QVariant>> m_lookupCache;
    // whole columns read for sorting and grouping, by field index
    mutable QHash<int, QVector<QVariant>> m_columnCache;
    // A detail set's rows for each of the master's rows read (by the text of
    // the master's value), read together in one statement: the master
    // moving to a row already read reads nothing. Forgotten on any change
    // of this set or its master's reading.
    QHash<QString, QVector<Row>> m_byMaster;

};
