// The worker list with a large agency: how long the worker module takes
// from its opening to the values of the list's first screen, against the
// SQLite command-line shell running the list's query over the same file
// (the ratio should stay at or below 1.5); then searches through the
// module's search window, each until the first screen of what was found
// is read (each well under 0.3 s).
//
//   bench_workers [WORKERS] [FILE]
// WORKERS defaults to 50,000. FILE is made when missing (a generated agency
// of 1,000 customers whose workers are topped up to WORKERS) and kept, so
// that later runs measure the same rows; without FILE a temporary one is
// used.
#include "admin-cli/generator.h"
#include "data/bulkinsert.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "data/userrights.h"
#include "ui/prompts.h"
#include "workers/tfrmyuangong.h"
#include "workers/tfrmyuangongquery.h"
#include "rules/businessrules.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kScreenRows = 40;
const char *const kColumns[] = {"YuangongID", "Name", "NickName", "Sex", "Department", "GongzhongName",
                                "Health", "Duty", "Native"};

// The list as one statement: the workers in code order with the names of
// their department and work type.
const char kListSelect[] =
    "SELECT y.YuangongID, y.Name, y.NickName, y.Sex, d.DepartmentName, g.GongzhongName, y.Health, y.Duty, y.Native "
    "FROM tblYuangong y LEFT JOIN tblDepartment d ON d.DepartmentID = y.DepartmentID "
    "LEFT JOIN tblGongzhong g ON g.GongzhongID = y.GongzhongID ORDER BY y.YuangongID";

// Answers nothing and shows nothing: a bench has nobody to read a box.
class SilentPrompts : public Prompts
{
public:
    void warn(const QString &text) override { std::fprintf(stderr, "提示: %s\n", qPrintable(text)); }
    void inform(const QString &) override {}
    bool askYesNo(const QString &, bool, const QString &) override { return true; }
    bool askOkCancel(const QString &, Icon) override { return true; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double shellQuery(const QString &shell, const QString &file, const QString &query)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(shell, {file, query});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 失败: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return ms(t);
}

QStringList codes(Database &db, const QString &sql)
{
    QStringList out;
    QSqlQuery q(db.sql());
    if (q.exec(sql))
        while (q.next())
            out << q.value(0).toString();
    return out;
}

// A generated agency whose workers are topped up to the number asked for,
// with the dictionaries' own codes.
QString makeAgency(const QString &file, int workers)
{
    Generator::Options o;
    o.customers = 1000;
    QString err = Generator::generate(file, o);
    if (!err.isEmpty())
        return err;
    auto db = Database::open(file, &err);
    if (!db)
        return err;
    const QStringList departments = codes(*db, QStringLiteral("SELECT DepartmentID FROM tblDepartment"));
    const QStringList types = codes(*db, QStringLiteral("SELECT GongzhongID FROM tblGongzhong"));
    const QStringList units = codes(*db, QStringLiteral("SELECT ShusongID FROM tblShusong"));
    const int have = codes(*db, QStringLiteral("SELECT COUNT(*) FROM tblYuangong")).value(0).toInt();
    const QStringList surnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"), QStringLiteral("刘"),
                                  QStringLiteral("陈"), QStringLiteral("杨"), QStringLiteral("赵"), QStringLiteral("黄")};
    const QStringList given = {QStringLiteral("芳"), QStringLiteral("秀英"), QStringLiteral("丽"), QStringLiteral("敏"),
                               QStringLiteral("静"), QStringLiteral("桂兰"), QStringLiteral("玉梅")};
    const QStringList natives = {QStringLiteral("安徽六安"), QStringLiteral("四川南充"), QStringLiteral("河南信阳"),
                                 QStringLiteral("湖南常德")};
    if ((err = db->begin()).isEmpty()) {
        BulkInsert rows(*db, QStringLiteral("tblYuangong"),
                        {"YuangongID", "Name", "NickName", "Sex", "DepartmentID", "Duty", "Birth", "Health",
                         "GongzhongID", "Native", "Mobile", "ShusongID", "State"});
        for (int i = have; i < workers && err.isEmpty(); ++i) {
            const QString surname = surnames[i % surnames.size()];
            err = rows.add({QStringLiteral("BW%1").arg(i, 6, 10, QLatin1Char('0')), surname + given[i % given.size()],
                            surname + QStringLiteral("阿姨"), QStringLiteral("女"),
                            departments.value(i % std::max<qsizetype>(1, departments.size())), QStringLiteral("保姆"),
                            QDate(1970, 1, 1).addDays(i % 9000), QStringLiteral("良好"),
                            types.value(i % std::max<qsizetype>(1, types.size())), natives[i % natives.size()],
                            QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')),
                            units.value(i % std::max<qsizetype>(1, units.size())), QStringLiteral("在职")});
        }
        if (err.isEmpty())
            err = rows.flush();
        err = err.isEmpty() ? db->commit() : err;
    }
    return err;
}

bool connect(TdmMain &dm, const QString &file)
{
    QString err;
    auto db = Database::open(file, &err);
    if (db)
        err = dm.connectTo(std::move(db));
    if (!err.isEmpty())
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
    return err.isEmpty();
}

QString readScreen(Dataset *set)
{
    QString sink;
    for (int r = 0; r < std::min(kScreenRows, set->rowCount()); ++r)
        for (const char *c : kColumns)
            sink += set->value(r, QString::fromLatin1(c)).toString();
    return sink;
}

// From the module's making to the values of its first screen, in a data
// module freshly connected as after a login.
double firstScreen(const QString &file, int *rows)
{
    TdmMain dm;
    if (!connect(dm, file))
        return -1;
    Session::current().reset();
    Session::current().logIn(QStringLiteral("Admin"), true);
    QElapsedTimer t;
    t.start();
    TfrmYuangong w;
    w.resize(792, 540);
    w.show();
    w.open();
    const QString sink = readScreen(w.dataset());
    QApplication::processEvents();
    const double took = ms(t);
    *rows = w.dataset()->rowCount();
    return sink.isEmpty() ? -1 : took;
}

} // namespace

int main(int argc, char **argv)
{
    // The windows store through the tables' rules, as in the program.
    installBusinessRulesOnNewModules();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("BREVIA_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    SilentPrompts prompts;
    Prompts::install(&prompts);
    const int workers = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                                  : dir.filePath(QStringLiteral("workers.hdb"));
    if (!QFileInfo::exists(file)) {
        QElapsedTimer t;
        t.start();
        const QString err = makeAgency(file, workers);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
        std::printf("made %d workers in %.1f s: %s\n", workers, double(t.elapsed()) / 1000.0, qPrintable(file));
    }
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        std::fprintf(stderr, "sqlite3 命令行程序未找到\n");
        return 1;
    }

    std::vector<double> ours, whole, limited;
    int rows = 0;
    for (int i = 0; i < kRounds; ++i) {
        ours.push_back(firstScreen(file, &rows));
        whole.push_back(shellQuery(shell, file, QString::fromLatin1(kListSelect)));
        limited.push_back(shellQuery(shell, file, QString::fromLatin1(kListSelect) + QStringLiteral(" LIMIT 100")));
    }
    if (*std::min_element(ours.begin(), ours.end()) < 0 || *std::min_element(whole.begin(), whole.end()) < 0)
        return 1;
    std::printf("workers=%d first-screen(make + open + %d rows x %d columns)=%.1f ms  "
                "sqlite3 list query=%.1f ms  ratio=%.2f (target <= 1.5)  "
                "[sqlite3 with LIMIT 100=%.1f ms, ratio %.2f]\n",
                rows, kScreenRows, int(std::size(kColumns)), median(ours), median(whole), median(ours) / median(whole),
                median(limited), median(ours) / median(limited));

    // Searches through the module's search window, as the user runs them.
    TdmMain dm;
    if (!connect(dm, file))
        return 1;
    Session::current().reset();
    Session::current().logIn(QStringLiteral("Admin"), true);
    TfrmYuangong w;
    w.resize(792, 540);
    w.show();
    w.open();
    QApplication::processEvents();
    struct Search {
        const char *criterion, *text;
    };
    for (const Search &s : {Search{"员工姓名", "王"}, Search{"员工编号", "0123"}, Search{"称呼", "张阿"},
                            Search{"职务", "没有这种职务"}, Search{"所有员工", ""}}) {
        std::vector<double> took;
        int found = 0;
        for (int i = 0; i < kRounds; ++i) {
            TfrmYuangongQuery q(w.dataset(), &w);
            q.criterion()->setCurrentIndex(q.criterion()->findText(QString::fromUtf8(s.criterion)));
            q.text()->setText(QString::fromUtf8(s.text));
            QElapsedTimer t;
            t.start();
            q.BtnOkClick();
            readScreen(w.dataset());
            QApplication::processEvents();
            took.push_back(ms(t));
            found = w.dataset()->rowCount();
        }
        std::printf("search %-8s \"%s\"  %7.1f ms (target < 300 ms)  %d found\n", s.criterion, s.text, median(took),
                    found);
    }
    Prompts::install(nullptr);
    return 0;
}
