#include "import/sheetimport.h"

#include "data/bulkinsert.h"
#include "data/database.h"
#include "data/readonly.h"
#include "data/recordscope.h"
#include "data/schema.h"
#include "data/searchkeys.h"
#include "data/session.h"
#include "data/tabledef.h"
#include "data/writelog.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

namespace SheetImport {
namespace {

// Header texts compared without blanks (also the wide one), colons and
// letter case: "客户名称：" and " 客户 名称" are one header.
QString normalHeader(const QString &h)
{
    QString out;
    out.reserve(h.size());
    for (QChar c : h) {
        if (c.isSpace() || c == QLatin1Char(':') || c == QChar(0xFF1A) || c == QLatin1Char('*'))
            continue;
        out += c.toLower();
    }
    return out;
}

// A telephone number as digits and letters alone: "010-6512 3456" and
// "01065123456" are one number.
QString normalPhone(const QString &p)
{
    QString out;
    for (QChar c : p)
        if (c.isLetterOrNumber())
            out += c.toUpper();
    return out;
}

QString normalName(const QString &n)
{
    QString out;
    for (QChar c : n)
        if (!c.isSpace())
            out += c;
    return out;
}

QString personKey(const QString &name, const QString &phone)
{
    const QString n = normalName(name), p = normalPhone(phone);
    return n.isEmpty() || p.isEmpty() ? QString() : n + QLatin1Char('\x1F') + p;
}

QString quoted(const QString &s) { return QStringLiteral("“%1”").arg(s); }

// A dictionary's codes and names; a name that two entries share names
// neither, since the file cannot say which is meant.
struct Dictionary {
    QHash<QString, QString> codes; // code -> code as stored
    QHash<QString, QString> names; // name -> code; empty code: ambiguous
};

bool readDictionary(Database &db, const ImportField &f, Dictionary *d, QString *error)
{
    QString sql = QStringLiteral("SELECT %1, %2 FROM %3")
                      .arg(db.dialect().ident(f.dictCode), db.dialect().ident(f.dictName),
                           db.dialect().ident(f.dictTable));
    // Another user's customer is not his to name, in a file as in the
    // drop-down: it reads as unknown.
    QVariantList values;
    if (f.ownEntriesOnly) {
        const Condition own = ownRecordsCondition(&db);
        if (!own.isNull())
            sql += QStringLiteral(" WHERE ") + own.toSql(db.dialect(), values);
    }
    return db.scan(
        sql, values,
        [d](const QVariant *row) {
            const QString code = row[0].toString().trimmed();
            const QString name = row[1].toString().trimmed();
            if (code.isEmpty())
                return;
            d->codes.insert(code, row[0].toString());
            if (!name.isEmpty()) {
                auto it = d->names.find(name);
                if (it == d->names.end())
                    d->names.insert(name, row[0].toString());
                else if (*it != row[0].toString())
                    *it = QString();
            }
        },
        error);
}

struct Existing {
    QString key, name, owner;
};

// What is already on file: every code, and the people by name and
// telephone and by identity card.
struct OnFile {
    QSet<QString> keys;
    QVector<Existing> records;
    QHash<QString, int> byPerson; // personKey -> records index
    QHash<QString, int> byId;
};

bool readOnFile(Database &db, const ImportTarget &t, OnFile *f, QString *error)
{
    const Dialect &d = db.dialect();
    QStringList cols{d.ident(t.keyField), d.ident(t.nameField)};
    for (const QString &p : t.phoneFields)
        cols << d.ident(p);
    const bool hasId = !t.idField.isEmpty();
    if (hasId)
        cols << d.ident(t.idField);
    if (t.ownedRecords)
        cols << d.ident(QStringLiteral("SUser"));
    const int phones = int(t.phoneFields.size());
    return db.scan(
        QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QStringLiteral(", ")), d.ident(t.table)), {},
        [&](const QVariant *row) {
            Existing e{row[0].toString(), row[1].toString(), {}};
            if (t.ownedRecords)
                e.owner = row[2 + phones + (hasId ? 1 : 0)].toString();
            const int index = int(f->records.size());
            f->records << e;
            f->keys.insert(e.key.trimmed());
            for (int i = 0; i < phones; ++i) {
                const QString k = personKey(e.name, row[2 + i].toString());
                if (!k.isEmpty() && !f->byPerson.contains(k))
                    f->byPerson.insert(k, index);
            }
            if (hasId) {
                const QString id = row[2 + phones].toString().trimmed().toUpper();
                if (!id.isEmpty() && !f->byId.contains(id))
                    f->byId.insert(id, index);
            }
        },
        error);
}

bool blankRow(const QStringList &cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const QString &c) { return c.trimmed().isEmpty(); });
}

bool isEmptyValue(const QVariant &v)
{
    return v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

} // namespace

Mapping guessMapping(const ImportTarget &target, const QStringList &headers)
{
    struct Candidate {
        double score;
        int column;
        int field;
    };
    QVector<Candidate> candidates;
    for (int c = 0; c < headers.size(); ++c) {
        const QString h = normalHeader(headers.at(c));
        if (h.isEmpty())
            continue;
        for (int f = 0; f < target.fields.size(); ++f) {
            const ImportField &field = target.fields.at(f);
            double best = 0;
            if (h == normalHeader(field.caption) || h == field.field.toLower())
                best = 3;
            for (const QString &name : field.headers) {
                const QString n = normalHeader(name);
                if (h == n)
                    best = std::max(best, 2.0);
                else if (n.size() >= 2 && h.contains(n))
                    best = std::max(best, 1.0 + n.size() / 100.0);
            }
            const QString caption = normalHeader(field.caption);
            if (best < 1 && caption.size() >= 2 && h.contains(caption))
                best = 1.0 + caption.size() / 100.0;
            if (best > 0)
                candidates.append({best, c, f});
        }
    }
    // The surest pairs first; among equals the leftmost column and the
    // field that comes first on the record's form.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.column != b.column)
            return a.column < b.column;
        return a.field < b.field;
    });
    Mapping m(headers.size());
    QSet<int> taken;
    for (const Candidate &c : std::as_const(candidates)) {
        if (!m[c.column].isEmpty() || taken.contains(c.field))
            continue;
        m[c.column] = target.fields.at(c.field).field;
        taken.insert(c.field);
    }
    return m;
}

QDateTime parseDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*(?:[-/.月]\\s*(\\d{1,2})\\s*[日号]?|月)?"
        "(?:[ T]+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    const QString t = text.trimmed();
    QRegularExpressionMatch m = pattern.match(t);
    if (!m.hasMatch())
        m = compact.match(t);
    if (!m.hasMatch())
        return {};
    const int day = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), day);
    if (!d.isValid())
        return {};
    if (m.lastCapturedIndex() < 4 || m.captured(4).isEmpty())
        return d.startOfDay();
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return time.isValid() ? QDateTime(d, time) : QDateTime();
}

bool choicesOf(Database &db, const ImportField &field, QStringList *names, QString *error)
{
    names->clear();
    if (field.kind == ImportField::Kind::Choice) {
        *names = field.choices;
        return true;
    }
    if (field.kind != ImportField::Kind::Dictionary)
        return true;
    const Dialect &d = db.dialect();
    return db.scan(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                       .arg(d.ident(field.dictName), d.ident(field.dictTable), d.ident(field.dictCode)),
                   {},
                   [names, seen = QSet<QString>()](const QVariant *row) mutable {
                       const QString n = row[0].toString().trimmed();
                       if (!n.isEmpty() && !seen.contains(n)) {
                           seen.insert(n);
                           names->append(n);
                       }
                   },
                   error);
}

int CheckResult::count(Status s) const
{
    return int(std::count_if(rows.begin(), rows.end(), [s](const CheckedRow &r) { return r.status == s; }));
}

int CheckResult::warned() const
{
    return int(std::count_if(rows.begin(), rows.end(), [](const CheckedRow &r) { return !r.warnings.isEmpty(); }));
}

bool check(Database &db, const ImportTarget &target, const Sheet &sheet, const Mapping &mapping,
           const FixedValues &fixed, CheckResult *result, QString *error)
{
    result->fields.clear();
    result->fixedFields.clear();
    result->rows.clear();
    const TableDef *table = Schema::table(target.table);
    // The fields the file fills, in the order of the record's form: from
    // their column, else from the value given for every row.
    QVector<const ImportField *> fields;
    QVector<int> columns;
    for (const ImportField &f : target.fields) {
        const int column = int(mapping.indexOf(f.field));
        const bool hasFixed = !fixed.value(f.field).trimmed().isEmpty();
        if (column < 0 && !hasFixed)
            continue;
        fields << &f;
        columns << column;
        result->fields << f.field;
        if (column < 0)
            result->fixedFields << f.field;
    }
    QHash<QString, Dictionary> dictionaries;
    for (const ImportField *f : std::as_const(fields))
        if (f->kind == ImportField::Kind::Dictionary && !dictionaries.contains(f->field)
            && !readDictionary(db, *f, &dictionaries[f->field], error))
            return false;
    OnFile onFile;
    if (!readOnFile(db, target, &onFile, error))
        return false;

    const Session &session = Session::current();
    const bool sys = !session.loggedIn() || session.isSysNow(db);
    const bool mayModify = flagsAllowStore(target.rules.rights, Dataset::State::Edit);
    const int keyIndex = int(result->fields.indexOf(target.keyField));
    const int nameIndex = int(result->fields.indexOf(target.nameField));
    const int idIndex = target.idField.isEmpty() ? -1 : int(result->fields.indexOf(target.idField));
    QVector<int> phoneIndexes;
    for (const QString &p : target.phoneFields)
        if (result->fields.contains(p))
            phoneIndexes << int(result->fields.indexOf(p));

    // What earlier lines of the file took: their codes, the people they
    // name and the records on file they merge into.
    QHash<QString, int> fileKeys, filePersons, fileIds, fileMerges;

    result->rows.reserve(sheet.rows.size());
    for (int i = 0; i < sheet.rows.size(); ++i) {
        const QStringList &cells = sheet.rows.at(i);
        if (blankRow(cells))
            continue;
        CheckedRow row;
        row.line = sheet.headerLine + 1 + i;
        row.values.reserve(fields.size());
        QString refusal;
        for (int f = 0; f < fields.size(); ++f) {
            const ImportField &field = *fields.at(f);
            const QString raw =
                (columns.at(f) >= 0 ? sheet.cell(i, columns.at(f)) : fixed.value(field.field)).trimmed();
            QVariant v;
            if (!raw.isEmpty()) {
                switch (field.kind) {
                case ImportField::Kind::Text: {
                    const ColumnDef *c = table ? table->column(field.field) : nullptr;
                    if (c && c->kind == ColumnKind::Text && c->width > 0 && raw.size() > c->width && refusal.isEmpty())
                        refusal = QStringLiteral("%1超过 %2 个字").arg(quoted(field.caption)).arg(c->width);
                    v = raw;
                    break;
                }
                case ImportField::Kind::Date: {
                    const QDateTime dt = parseDate(raw);
                    if (dt.isValid())
                        v = dt;
                    else
                        row.warnings << QStringLiteral("%1中的%2不是日期，未导入该项").arg(quoted(field.caption), quoted(raw));
                    break;
                }
                case ImportField::Kind::Dictionary: {
                    const Dictionary &d = dictionaries[field.field];
                    if (d.codes.contains(raw)) {
                        v = d.codes.value(raw);
                    } else if (d.names.contains(raw) && !d.names.value(raw).isEmpty()) {
                        v = d.names.value(raw);
                    } else if (d.names.contains(raw)) {
                        row.warnings << QStringLiteral("%1中的%2有多个同名项，未导入该项").arg(quoted(field.caption), quoted(raw));
                    } else {
                        row.warnings << QStringLiteral("%1中的%2在资料中没有，未导入该项").arg(quoted(field.caption), quoted(raw));
                    }
                    break;
                }
                case ImportField::Kind::Choice:
                    if (field.choices.contains(raw))
                        v = raw;
                    else
                        row.warnings << QStringLiteral("%1只能是%2，%3未导入")
                                            .arg(quoted(field.caption), field.choices.join(QStringLiteral("、")), quoted(raw));
                    break;
                }
            }
            row.values << v;
        }
        for (const ImportWarning &w : target.warnings) {
            const int at = int(result->fields.indexOf(w.field));
            if (at >= 0 && !isEmptyValue(row.values.at(at)) && !w.plausible(row.values.at(at).toString()))
                row.warnings << w.message;
        }

        // Who the row names: by identity card first, then by name and any
        // of its telephones.
        const QString name = nameIndex >= 0 ? row.values.at(nameIndex).toString() : QString();
        const QString id = idIndex >= 0 ? row.values.at(idIndex).toString().trimmed().toUpper() : QString();
        QStringList persons;
        for (int p : std::as_const(phoneIndexes)) {
            const QString k = personKey(name, row.values.at(p).toString());
            if (!k.isEmpty())
                persons << k;
        }
        int existing = -1;
        QString match;
        if (!id.isEmpty() && onFile.byId.contains(id)) {
            existing = onFile.byId.value(id);
            match = QStringLiteral("身份证号相同");
        }
        for (const QString &k : std::as_const(persons)) {
            if (existing < 0 && onFile.byPerson.contains(k)) {
                existing = onFile.byPerson.value(k);
                match = QStringLiteral("姓名和电话相同");
            }
        }
        int earlier = 0;
        if (!id.isEmpty())
            earlier = fileIds.value(id);
        for (const QString &k : std::as_const(persons))
            if (!earlier)
                earlier = filePersons.value(k);
        if (!earlier && existing >= 0)
            earlier = fileMerges.value(onFile.records.at(existing).key);

        if (!refusal.isEmpty()) {
            row.reason = refusal;
        } else if (earlier) {
            row.reason = QStringLiteral("与第 %1 行是同一%2").arg(earlier).arg(target.noun);
        } else if (existing >= 0) {
            const Existing &e = onFile.records.at(existing);
            row.status = Status::Duplicate;
            row.existingKey = e.key;
            row.existingName = e.name;
            row.match = match;
            row.mayMerge = mayModify && (!target.ownedRecords || sys || e.owner == session.userId());
            fileMerges.insert(e.key, row.line);
        } else {
            // A new record: what the table demands of one.
            for (const RequiredField &r : target.rules.required) {
                const int at = int(result->fields.indexOf(r.field));
                const QVariant v = at >= 0 ? row.values.at(at) : QVariant();
                if (isEmptyValue(v)) {
                    row.reason = r.message;
                    break;
                }
                if (r.valid && !r.valid(v)) {
                    row.reason = r.invalidMessage;
                    break;
                }
            }
            const QString key = keyIndex >= 0 ? row.values.at(keyIndex).toString() : QString();
            if (row.reason.isEmpty() && onFile.keys.contains(key))
                row.reason = target.codeExists;
            else if (row.reason.isEmpty() && fileKeys.contains(key))
                row.reason = QStringLiteral("与第 %1 行的%2相同").arg(fileKeys.value(key)).arg(target.field(target.keyField)->caption);
            if (row.reason.isEmpty()) {
                row.status = Status::New;
                fileKeys.insert(key, row.line);
            }
        }
        if (row.status != Status::Refused) {
            if (!id.isEmpty())
                fileIds.insert(id, row.line);
            for (const QString &k : std::as_const(persons))
                filePersons.insert(k, row.line);
        }
        result->rows << row;
    }
    return true;
}

QString Outcome::text(const QString &noun) const
{
    return QStringLiteral("新增%1 %2 条，合并 %3 条，跳过 %4 条。").arg(noun).arg(stored).arg(merged).arg(skipped);
}

namespace {
QString storeRows(Database &db, const ImportTarget &target, const CheckResult &result, const QVector<bool> &merge,
                  const QString &logLine, Outcome *outcome, const Progress &progress)
{
    int toInsert = 0, toMerge = 0;
    for (int i = 0; i < result.rows.size(); ++i) {
        const CheckedRow &r = result.rows.at(i);
        if (r.status == Status::New)
            ++toInsert;
        else if (r.status == Status::Duplicate && r.mayMerge && merge.value(i))
            ++toMerge;
    }
    if ((toInsert || toMerge) && ReadOnly::isReadOnly(db))
        return ReadOnly::kStoreRefused;
    if (toInsert && !flagsAllowStore(target.rules.rights, Dataset::State::Insert))
        return kNoInsertFlag;
    if (toMerge && !flagsAllowStore(target.rules.rights, Dataset::State::Edit))
        return kNoModifyFlag;

    const TableDef *table = Schema::table(target.table);
    const Dialect &dialect = db.dialect();
    QStringList columns = result.fields;
    const Session &session = Session::current();
    const bool stamp = target.stampCreator && session.loggedIn() && !columns.contains(QStringLiteral("SUser"));
    if (stamp)
        columns << QStringLiteral("SUser");

    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    BulkInsert insert(db, target.table, columns);
    QHash<QString, std::shared_ptr<QSqlQuery>> updates; // by statement: one for each set of fields
    const int total = toInsert + toMerge;
    int done = 0;
    auto step = [&] {
        ++done;
        // A call every hundred rows: the bar moves, the store does not wait on it.
        return !progress || (done % 100 != 0 && done != total) || progress(done, total);
    };
    const QString cancelled = QStringLiteral("导入已取消，没有存入任何资料。");
    if (progress && !progress(0, total))
        return cancelled;

    for (int i = 0; i < result.rows.size(); ++i) {
        const CheckedRow &r = result.rows.at(i);
        if (r.status == Status::New) {
            QVariantList values = r.values;
            if (stamp)
                values << session.userId();
            const QString error = insert.add(values);
            if (!error.isEmpty())
                return error;
            ++outcome->stored;
            if (!step())
                return cancelled;
        } else if (r.status == Status::Duplicate && r.mayMerge && merge.value(i)) {
            // The file's values over the stored ones; an empty cell keeps
            // what is stored, and the code stays, as the records naming it
            // would lose it otherwise. A value chosen for every row was
            // chosen for the new records: the stored one stays.
            FieldValues changed;
            for (int f = 0; f < result.fields.size(); ++f) {
                const QString &field = result.fields.at(f);
                if (field.compare(target.keyField, Qt::CaseInsensitive) == 0 || isEmptyValue(r.values.at(f))
                    || result.fixedFields.contains(field))
                    continue;
                changed.append({field, r.values.at(f)});
            }
            // A name taken from the file takes its search key with it.
            if (table)
                SearchKeys::addTo(*table, changed);
            QStringList sets;
            QVariantList values;
            for (const auto &[field, value] : std::as_const(changed)) {
                sets << dialect.ident(field) + QStringLiteral(" = ?");
                values << db.toDb(table ? table->column(field) : nullptr, value);
            }
            if (!sets.isEmpty()) {
                const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                        .arg(dialect.ident(target.table), sets.join(QStringLiteral(", ")),
                                             dialect.ident(target.keyField));
                std::shared_ptr<QSqlQuery> &q = updates[sql];
                if (!q) {
                    q = std::make_shared<QSqlQuery>(db.sql());
                    q->setForwardOnly(true);
                    if (!q->prepare(sql))
                        return db.errorText(q->lastError());
                }
                values << r.existingKey;
                for (int v = 0; v < values.size(); ++v)
                    q->bindValue(v, values.at(v));
                if (!q->exec())
                    return db.errorText(q->lastError());
            }
            ++outcome->merged;
            if (!step())
                return cancelled;
        } else {
            ++outcome->skipped;
            QString why = r.reason;
            if (r.status == Status::Duplicate)
                why = QStringLiteral("已有%1%2（%3），%4")
                          .arg(target.noun, quoted(r.existingKey + QLatin1Char(' ') + r.existingName), r.match,
                               r.mayMerge ? QStringLiteral("未合并") : QStringLiteral("无权修改该记录"));
            outcome->skippedLines.append({r.line, why});
        }
    }
    QString error = insert.flush();
    if (!error.isEmpty())
        return error;
    updates.clear();
    if (!logLine.isEmpty()) {
        // The line says what the database now holds; tblLog keeps 255
        // characters, so a long file name gives way to the counts.
        const QString counts = outcome->text(target.noun);
        error = WriteLog(db, logLine.left(std::max(0, 255 - int(counts.size()))) + counts);
        if (!error.isEmpty())
            return error;
    }
    return tx.commit();
}
} // namespace

QString store(Database &db, const ImportTarget &target, const CheckResult &result, const QVector<bool> &merge,
              const QString &logLine, Outcome *outcome, const Progress &progress)
{
    *outcome = Outcome();
    const QString error = storeRows(db, target, result, merge, logLine, outcome, progress);
    // Nothing was stored: the counts of the rows gone through say nothing.
    if (!error.isEmpty())
        *outcome = Outcome();
    return error;
}

} // namespace SheetImport
