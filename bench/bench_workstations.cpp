// Many workstations saving into one database at once, each a process of
// its own using the program's data module and datasets as the windows do:
//
//   bench_workstations --db PATH|URI --workers N --seconds S [--kill]
//
// Each worker logs in as a user of its own and, until its time is up, opens
// its customer list, searches, adds a customer with two contacts and a
// contract with two money lines, changes a customer every worker changes,
// and deletes one of its contacts. It journals what it was told: "begin"
// before a save, then "ok" or "refused" with the reason. With --kill the
// tool kills a worker with SIGKILL now and then, in the middle of its work,
// and starts another in its place.
//
// At the end the database is checked against the journals: every save
// reported as stored is there exactly once (deleted rows not at all),
// nothing reported as refused is there, no row lacks what its save gave it,
// a customer every worker changes holds a value some save stored, every
// refusal speaks the program's words (busy, conflict), and a SQLite file
// passes PRAGMA integrity_check. It prints saves per second, the median and
// 99th percentile of a save, refusals by kind and the checks, and exits 0
// only when every check holds.
#include "data/recordscope.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "rules/businessrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QStringList kShared{"SHARED-1", "SHARED-2", "SHARED-3"};

QString argValue(const QStringList &args, const QString &name, const QString &fallback = {})
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

QString userOf(int worker) { return QStringLiteral("ws%1").arg(worker + 1, 2, 10, QLatin1Char('0')); }

// ---- the worker ---------------------------------------------------------

class Worker
{
public:
    Worker(int index, int generation, const QString &journal)
        : m_index(index), m_prefix(QStringLiteral("W%1G%2-").arg(index).arg(generation)), m_file(journal),
          m_rng(quint32(index * 7919 + generation))
    {
    }

    int run(const QString &location, double seconds)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            return 2;
        QString err;
        auto db = Database::open(location, &err);
        if (!db || !(err = m_dm.connectTo(std::move(db))).isEmpty()) {
            std::fprintf(stderr, "worker %d: %s\n", m_index, qPrintable(err));
            return 2;
        }
        installBusinessRules(m_dm);
        const QString user = userOf(m_index);
        Session::current().logIn(user, false);
        if (!(err = UserRights::current().load(*m_dm.database(), user)).isEmpty())
            return 2;
        QElapsedTimer clock;
        clock.start();
        int n = 0;
        while (clock.elapsed() < seconds * 1000) {
            ++n;
            openList();
            search();
            addCustomer(n);
            changeShared(n);
            if (n % 2 == 0)
                deleteContact();
        }
        QTextStream out(stdout);
        out << "SAVES " << m_latencies.size() << "\n";
        for (double ms : m_latencies)
            out << "LAT " << ms << "\n";
        return 0;
    }

private:
    void journal(const QString &line)
    {
        m_file.write(line.toUtf8() + '\n');
        m_file.flush();
    }
    // A save as the windows make it, timed and journaled.
    bool save(Dataset *d, const QString &what, const std::function<bool()> &store)
    {
        journal(QStringLiteral("begin ") + what);
        QElapsedTimer t;
        t.start();
        const bool ok = store();
        m_latencies.push_back(double(t.nsecsElapsed()) / 1e6);
        if (ok) {
            journal(QStringLiteral("ok ") + what);
        } else {
            journal(QStringLiteral("refused ") + what + QLatin1Char('\t') + d->lastError());
            if (d->isEditing())
                d->cancel();
        }
        return ok;
    }
    bool openSet(Dataset *d)
    {
        return d->isActive() ? d->refresh() : d->open();
    }
    void openList()
    {
        Dataset *customers = m_dm.dataset("tblCustomers");
        customers->setFilter(ownRecordsCondition(m_dm.database()));
        openSet(customers);
        for (int r = 0; r < std::min(40, customers->rowCount()); ++r)
            customers->value(r, "CustName");
    }
    void search()
    {
        Dataset *customers2 = m_dm.dataset("tblCustomers2");
        refilter(customers2, Condition::contains(QStringLiteral("CustName"), QStringLiteral("客户")) &&
                                 ownRecordsCondition(m_dm.database()));
    }
    void addCustomer(int n)
    {
        Dataset *customers = m_dm.dataset("tblCustomers");
        const QString code = m_prefix + QString::number(n);
        if (!customers->isActive() || !customers->append())
            return;
        customers->setValue("CustId", code);
        customers->setValue("CustName", QStringLiteral("客户") + code);
        if (!save(customers, QStringLiteral("cust ") + code, [customers] { return customers->post(); }))
            return;
        Dataset *contacts = m_dm.dataset("tblLinkmans");
        if (!contacts->isActive())
            contacts->open();
        for (int k = 1; k <= 2; ++k) {
            const QString key = code + QStringLiteral("-K%1").arg(k);
            if (!contacts->append())
                return;
            contacts->setValue("LinkmanID", key);
            contacts->setValue("Name", QStringLiteral("联系人%1").arg(k));
            if (save(contacts, QStringLiteral("link ") + key, [contacts] { return contacts->post(); }))
                m_contacts << key;
        }
        Dataset *contracts = m_dm.dataset("tblOperates");
        if (!contracts->isActive())
            contracts->open();
        const QString id = code + QStringLiteral("-H");
        if (!contracts->append())
            return;
        contracts->setValue("OperateID", id);
        contracts->setValue("OperateTitle", QStringLiteral("合同") + id);
        contracts->setValue("InOrOut", QStringLiteral("收款"));
        contracts->setValue("CompactAmount", QStringLiteral("1000"));
        contracts->setValue("CurrID", QStringLiteral("RMB"));
        if (!save(contracts, QStringLiteral("contract ") + id, [contracts] { return contracts->post(); }))
            return;
        Dataset *list = m_dm.dataset("tblOperates2");
        list->setFilter(ownRecordsCondition(m_dm.database()));
        if (!openSet(list) || !list->locate("OperateID", id))
            return;
        Dataset *lines = m_dm.dataset("tblOperateDetail");
        if (!lines->isActive())
            lines->open();
        for (int no = 1; no <= 2; ++no) {
            if (!lines->append())
                return;
            lines->setValue("DetailNo", no);
            lines->setValue("DTitle", QStringLiteral("款项"));
            lines->setValue("InOut", QStringLiteral("收入"));
            lines->setValue("Price", QStringLiteral("250.5"));
            lines->setValue("Amount", QStringLiteral("1"));
            save(lines, QStringLiteral("line %1#%2").arg(id).arg(no), [lines] { return lines->post(); });
        }
    }
    void changeShared(int n)
    {
        Dataset *shared = m_dm.dataset("tblCustomers2");
        shared->setFilter(Condition::like(QStringLiteral("CustId"), QStringLiteral("SHARED-%")));
        if (!openSet(shared) || shared->isEmpty())
            return;
        const QString code = kShared[int(m_rng.bounded(kShared.size()))];
        if (!shared->locate("CustId", code))
            return;
        const QString memo = m_prefix + QString::number(n);
        shared->setValue("Memo", memo);
        save(shared, QStringLiteral("update ") + code + QLatin1Char(' ') + memo, [shared] { return shared->post(); });
    }
    void deleteContact()
    {
        if (m_contacts.isEmpty())
            return;
        const QString key = m_contacts.takeFirst();
        Dataset *d = m_dm.dataset("qryLinkmans1");
        d->setFilter(Condition::equals(QStringLiteral("LinkmanID"), key));
        if (!openSet(d) || d->isEmpty())
            return;
        save(d, QStringLiteral("delete ") + key, [d] { return d->remove(); });
    }

    int m_index;
    QString m_prefix;
    QFile m_file;
    QRandomGenerator m_rng;
    TdmMain m_dm;
    QStringList m_contacts;
    std::vector<double> m_latencies;
};

// ---- the tool -------------------------------------------------------------

QString prepare(const QString &location, int workers)
{
    QString err;
    std::unique_ptr<Database> db;
    const bool sqliteFile = !Database::isPostgresUri(location);
    if (sqliteFile && !QFileInfo::exists(location))
        db = DbSetup::create(location, &err);
    else
        db = Database::open(location, &err);
    if (!db)
        return err;
    for (int i = 0; i < workers; ++i) {
        QSqlQuery q(db->sql());
        q.prepare(QStringLiteral("SELECT count(*) FROM tblUser WHERE UserID = ?"));
        q.addBindValue(userOf(i));
        if (!q.exec() || !q.next())
            return QStringLiteral("cannot read users");
        if (q.value(0).toInt() > 0)
            continue;
        if (!(err = db->insertRow("tblUser", {{"UserID", userOf(i)}, {"UserName", userOf(i)}, {"Sys", false}})).isEmpty())
            return err;
        for (const char *right : {"301", "302", "304"})
            if (!(err = db->insertRow("tblUserRight", {{"UserID", userOf(i)}, {"RightID", right}, {"Insert", true},
                                                       {"Modify", true}, {"Delete", true}, {"Query", true},
                                                       {"Print", true}}))
                     .isEmpty())
                return err;
    }
    for (const QString &code : kShared) {
        QSqlQuery q(db->sql());
        q.prepare(QStringLiteral("SELECT count(*) FROM tblCustomers WHERE CustId = ?"));
        q.addBindValue(code);
        if (q.exec() && q.next() && q.value(0).toInt() == 0)
            if (!(err = db->insertRow("tblCustomers", {{"CustId", code}, {"CustName", QStringLiteral("共同客户")}})).isEmpty())
                return err;
    }
    return {};
}

struct Outcome {
    QString kind, key, reason;
    bool ok = false;
    // Begun, and then the worker was killed before it was told: the save
    // may or may not have happened.
    bool unconfirmed = false;
};

QList<Outcome> readJournal(const QString &path)
{
    QList<Outcome> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QStringList begun; // saves begun and not yet told of, in order
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("begin "))) {
            begun << line.section(QLatin1Char(' '), 1);
            continue;
        }
        Outcome o;
        o.ok = line.startsWith(QLatin1String("ok "));
        QString rest = line.section(QLatin1Char(' '), 1);
        if (!o.ok) {
            o.reason = rest.section(QLatin1Char('\t'), 1);
            rest = rest.section(QLatin1Char('\t'), 0, 0);
        }
        begun.removeOne(rest);
        o.kind = rest.section(QLatin1Char(' '), 0, 0);
        o.key = rest.section(QLatin1Char(' '), 1);
        out << o;
    }
    for (const QString &what : std::as_const(begun)) {
        Outcome o;
        o.unconfirmed = true;
        o.kind = what.section(QLatin1Char(' '), 0, 0);
        o.key = what.section(QLatin1Char(' '), 1);
        out << o;
    }
    return out;
}

int count(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db.sql());
    QString err;
    return db.prepareAndExec(q, sql, values, &err) && q.next() ? q.value(0).toInt() : -1;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString location = argValue(args, "--db");
    const double seconds = argValue(args, "--seconds", "10").toDouble();
    if (args.contains("--worker")) {
        Worker w(argValue(args, "--worker").toInt(), argValue(args, "--generation").toInt(), argValue(args, "--journal"));
        return w.run(location, seconds);
    }
    const int workers = argValue(args, "--workers", "3").toInt();
    const bool kill = args.contains("--kill");
    if (location.isEmpty() || workers < 1) {
        std::fprintf(stderr, "usage: bench_workstations --db PATH|URI --workers N --seconds S [--kill]\n");
        return 2;
    }
    const QString target = Database::isPostgresUri(location) ? location : QFileInfo(location).absoluteFilePath();
    if (const QString err = prepare(target, workers); !err.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    QTemporaryDir journals;
    struct Running {
        std::unique_ptr<QProcess> process;
        int index = 0, generation = 0;
    };
    std::vector<Running> running;
    QStringList journalFiles;
    auto start = [&](int index, int generation, double secs) {
        Running r;
        r.index = index;
        r.generation = generation;
        r.process = std::make_unique<QProcess>();
        const QString journal = journals.filePath(QStringLiteral("journal-%1-%2.txt").arg(index).arg(generation));
        journalFiles << journal;
        r.process->start(QCoreApplication::applicationFilePath(),
                         {"--worker", QString::number(index), "--generation", QString::number(generation), "--journal",
                          journal, "--db", target, "--seconds", QString::number(secs)});
        r.process->waitForStarted();
        running.push_back(std::move(r));
    };
    for (int i = 0; i < workers; ++i)
        start(i, 0, seconds);

    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    QRandomGenerator rng(42);
    if (kill) {
        // Several times a run, a worker dies where it stands and another
        // takes its place for the rest of the time.
        while (clock.elapsed() < seconds * 1000 * 0.8) {
            QThread::msleep(200 + rng.bounded(int(seconds * 1000 / 6)));
            Running &victim = running[rng.bounded(int(running.size()))];
            // Nothing here runs the event loop: a started worker may still
            // read as starting, so ask whether it has ended instead.
            if (victim.process->processId() <= 0 || victim.process->waitForFinished(0))
                continue;
            ::kill(pid_t(victim.process->processId()), SIGKILL);
            victim.process->waitForFinished(5000);
            ++kills;
            const double left = seconds - double(clock.elapsed()) / 1000.0;
            if (left > 0.5)
                start(victim.index, victim.generation + 100 + kills, left);
        }
    }
    std::vector<double> latencies;
    for (Running &r : running) {
        r.process->waitForFinished(int(seconds * 1000) + 120000);
        const QString out = QString::fromUtf8(r.process->readAllStandardOutput());
        for (const QString &line : out.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("LAT ")))
                latencies.push_back(line.mid(4).toDouble());
        const QString err = QString::fromUtf8(r.process->readAllStandardError()).trimmed();
        if (!err.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(err));
    }
    const double elapsed = double(clock.elapsed()) / 1000.0;

    // ---- checks -------------------------------------------------------
    QString err;
    auto db = Database::open(target, &err);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    QStringList failures;
    QHash<QString, int> refusals;
    QHash<QString, QSet<QString>> storedMemos, refusedMemos;
    QSet<QString> deleted;
    QList<Outcome> all;
    for (const QString &f : journalFiles)
        all << readJournal(f);
    QSet<QString> maybeDeleted;
    for (const Outcome &o : all) {
        if (o.ok && o.kind == QLatin1String("delete"))
            deleted.insert(o.key);
        if (o.unconfirmed && o.kind == QLatin1String("delete"))
            maybeDeleted.insert(o.key);
    }
    const QStringList allowed{Dataset::kConflictText, Database::kBusyText};
    int saves = 0;
    for (const Outcome &o : all) {
        if (o.unconfirmed) {
            // Stored or not, but never twice; a delete is seen at its contact.
            if (o.kind == QLatin1String("cust") || o.kind == QLatin1String("link") || o.kind == QLatin1String("contract")) {
                const QString table = o.kind == QLatin1String("cust")   ? QStringLiteral("tblCustomers WHERE CustId")
                                      : o.kind == QLatin1String("link") ? QStringLiteral("tblLinkmans WHERE LinkmanID")
                                                                        : QStringLiteral("tblOperates WHERE OperateID");
                const int n = count(*db, QStringLiteral("SELECT count(*) FROM %1 = ?").arg(table), {o.key});
                if (n > 1)
                    failures << QStringLiteral("unconfirmed %1 %2: %3 rows").arg(o.kind, o.key).arg(n);
            }
            continue;
        }
        ++saves;
        if (!o.ok) {
            ++refusals[o.reason];
            if (!allowed.contains(o.reason))
                failures << QStringLiteral("a refusal in other words: ") + o.reason;
        }
        int n = -2;
        if (o.kind == QLatin1String("cust"))
            n = count(*db, "SELECT count(*) FROM tblCustomers WHERE CustId = ? AND CustName IS NOT NULL", {o.key});
        else if (o.kind == QLatin1String("link"))
            n = count(*db, "SELECT count(*) FROM tblLinkmans WHERE LinkmanID = ? AND Name IS NOT NULL AND CustID IS NOT NULL",
                      {o.key});
        else if (o.kind == QLatin1String("contract"))
            n = count(*db, "SELECT count(*) FROM tblOperates WHERE OperateID = ? AND OperateTitle IS NOT NULL AND RMB IS NOT NULL",
                      {o.key});
        else if (o.kind == QLatin1String("line"))
            n = count(*db, "SELECT count(*) FROM tblOperateDetail WHERE OperateID = ? AND DetailNo = ? AND DTotal IS NOT NULL",
                      {o.key.section(QLatin1Char('#'), 0, 0), o.key.section(QLatin1Char('#'), 1).toInt()});
        else if (o.kind == QLatin1String("update")) {
            (o.ok ? storedMemos : refusedMemos)[o.key.section(QLatin1Char(' '), 0, 0)].insert(o.key.section(QLatin1Char(' '), 1));
            continue;
        } else if (o.kind == QLatin1String("delete")) {
            n = count(*db, "SELECT count(*) FROM tblLinkmans WHERE LinkmanID = ?", {o.key});
            if (o.ok && n != 0)
                failures << QStringLiteral("deleted but still there: ") + o.key;
            continue;
        }
        const int expected = o.ok && !(o.kind == QLatin1String("link") && deleted.contains(o.key)) ? 1 : 0;
        // A delete begun when its worker was killed may have gone through.
        const bool eitherWay = o.ok && o.kind == QLatin1String("link") && maybeDeleted.contains(o.key);
        if (n != expected && !(eitherWay && n == 0))
            failures << QStringLiteral("%1 %2 %3: %4 rows").arg(o.ok ? "stored" : "refused", o.kind, o.key).arg(n);
    }
    for (const QString &code : kShared) {
        QSqlQuery q(db->sql());
        q.prepare(QStringLiteral("SELECT Memo FROM tblCustomers WHERE CustId = ?"));
        q.addBindValue(code);
        const QString memo = q.exec() && q.next() ? q.value(0).toString() : QString();
        if (memo.isEmpty())
            continue;
        if (refusedMemos[code].contains(memo) && !storedMemos[code].contains(memo))
            failures << QStringLiteral("%1 holds a refused change %2").arg(code, memo);
    }
    if (!db->isPostgres()) {
        QSqlQuery q(db->sql());
        const QString result = q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() ? q.value(0).toString() : QString();
        if (result != QLatin1String("ok"))
            failures << QStringLiteral("integrity_check: ") + result;
    }

    std::printf("%s, %d workers, %.1f s%s\n", db->isPostgres() ? "PostgreSQL" : "SQLite", workers, elapsed,
                kill ? QStringLiteral(", %1 killed").arg(kills).toUtf8().constData() : "");
    std::printf("  saves=%d  per second=%.1f  median=%.1f ms  p99=%.1f ms\n", saves, double(saves) / elapsed,
                percentile(latencies, 0.5), percentile(latencies, 0.99));
    for (auto it = refusals.constBegin(); it != refusals.constEnd(); ++it)
        std::printf("  refused %d×: %s\n", it.value(), qPrintable(it.key()));
    if (failures.isEmpty())
        std::printf("  checks: every stored save there once, no refused one, rows whole%s\n",
                    db->isPostgres() ? "" : ", integrity_check ok");
    for (const QString &f : failures.mid(0, 20))
        std::printf("  FAILED: %s\n", qPrintable(f));
    return failures.isEmpty() && saves > 0 ? 0 : 1;
}
