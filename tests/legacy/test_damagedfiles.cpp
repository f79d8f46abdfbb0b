// brevia-admin import on damaged copies of the old fixture file, made at
// test time, and the reading process it runs when that process hangs,
// crashes or runs on.
#include "legacy/legacyreader.h"
#include "legacy/legacystreamwriter.h"
#include "testlib/fixtures.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <functional>

namespace {

constexpr int kPage = 4096;

quint16 get16(const QByteArray &f, qsizetype at) { return quint16(uchar(f[at]) | (uchar(f[at + 1]) << 8)); }
quint32 get32(const QByteArray &f, qsizetype at) { return get16(f, at) | (quint32(get16(f, at + 2)) << 16); }
void put16(QByteArray &f, qsizetype at, quint16 v)
{
    f[at] = char(v & 0xff);
    f[at + 1] = char(v >> 8);
}
void put32(QByteArray &f, qsizetype at, quint32 v)
{
    put16(f, at, quint16(v & 0xffff));
    put16(f, at + 2, quint16(v >> 16));
}

// Places in the fixture, found in its bytes: the data pages of the
// catalogue are those that the catalogue's definition on page 2 owns; a
// row's offset sits in its page's row table from byte 14 on.
struct Place {
    int page = -1;
    int row = -1;
    qsizetype at = -1; // where the row starts in the file
};

qsizetype slotAt(int page, int row) { return qsizetype(page) * kPage + 14 + 2 * row; }

Place rowPlace(const QByteArray &f, int page, int row)
{
    return {page, row, qsizetype(page) * kPage + (get16(f, slotAt(page, row)) & 0x1fff)};
}

bool isDataPageOf(const QByteArray &f, int page, quint32 owner)
{
    return f[qsizetype(page) * kPage] == 0x01 && get32(f, qsizetype(page) * kPage + 4) == owner;
}

// The live catalogue row that names table.
Place catalogueRow(const QByteArray &f, const QString &table)
{
    const QByteArray name(reinterpret_cast<const char *>(table.utf16()), table.size() * 2);
    for (int p = 3; p < f.size() / kPage; ++p) {
        if (!isDataPageOf(f, p, 2))
            continue;
        const int rows = get16(f, qsizetype(p) * kPage + 12);
        for (int r = 0; r < rows; ++r) {
            if (get16(f, slotAt(p, r)) & 0x4000)
                continue;
            const Place place = rowPlace(f, p, r);
            const qsizetype end = r == 0 ? qsizetype(p + 1) * kPage : rowPlace(f, p, r - 1).at;
            const qsizetype hit = f.indexOf(name, place.at);
            // The whole name, not the start of a longer one.
            if (hit >= 0 && hit + name.size() + 2 <= end && !QChar(get16(f, hit + name.size())).isLetterOrNumber())
                return place;
        }
    }
    return {};
}

// The first page of a table's definition, as its catalogue row's Id says.
int definitionPage(const QByteArray &f, const QString &table)
{
    const Place row = catalogueRow(f, table);
    return row.at < 0 ? -1 : int(get32(f, row.at + 2) & 0xffffff);
}

int firstDataPage(const QByteArray &f, const QString &table)
{
    const int def = definitionPage(f, table);
    for (int p = 3; def > 0 && p < f.size() / kPage; ++p)
        if (isDataPageOf(f, p, quint32(def)))
            return p;
    return -1;
}

// The customer memo of 5,000 characters: 10,000 bytes on a chain of
// long-value rows. Where its 12-byte reference starts in the file.
qsizetype memoReference(const QByteArray &f)
{
    const int page = firstDataPage(f, QStringLiteral("tblCustomers"));
    if (page < 0)
        return -1;
    const qsizetype at = f.indexOf(QByteArray("\x10\x27\x00\x00", 4), qsizetype(page) * kPage);
    return at >= 0 && at < qsizetype(page + 1) * kPage ? at : -1;
}

// The rows of the memo's chain, in order.
QVector<Place> memoChain(const QByteArray &f)
{
    QVector<Place> chain;
    const qsizetype ref = memoReference(f);
    for (quint32 next = ref < 0 ? 0 : get32(f, ref + 4); next != 0 && chain.size() < 10;) {
        chain << rowPlace(f, int(next >> 8), int(next & 0xff));
        next = get32(f, chain.last().at);
    }
    return chain;
}

void scramble(QByteArray &f, int page)
{
    ASSERT_GE(page, 0);
    QRandomGenerator random{quint32(page)};
    for (qsizetype i = qsizetype(page) * kPage; i < qsizetype(page + 1) * kPage; ++i)
        f[i] = char(random.generate() & 0xff);
}

// Marks a catalogue row deleted, as the old program does.
void removeFromCatalogue(QByteArray &f, const QString &table)
{
    const Place row = catalogueRow(f, table);
    ASSERT_GE(row.at, 0) << table.toStdString();
    put16(f, slotAt(row.page, row.row), get16(f, slotAt(row.page, row.row)) | 0xc000);
}

struct ImportRun {
    bool finished = false;
    int exitCode = -1;
    QString out, err;
};

// brevia-admin import, killed after 30 s: a run that long is a hang.
ImportRun runImport(const QString &file, const QString &target)
{
    ImportRun r;
    QProcess p;
    p.start(BREVIA_ADMIN, {"import", file, target});
    r.finished = p.waitForFinished(30000);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(DamagedFile, IsRefusedWithinSecondsNamingWhatCannotBeReadAndLeavesNoTarget)
{
    REQUIRE_FIXTURE(kFixture, "legacy/HKP30.hdb");
    QFile fixture(kFixture);
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray original = fixture.readAll();
    // The cases below find their places in the fixture; these are the
    // places they rely on.
    ASSERT_EQ(original.size() % kPage, 0);
    ASSERT_GT(definitionPage(original, "tblCustomers"), 2);
    ASSERT_GT(firstDataPage(original, "tblOperates"), 2);
    ASSERT_EQ(memoChain(original).size(), 3);

    const QString damaged = QStringLiteral("旧数据库文件已损坏：");
    const struct {
        const char *what;
        std::function<void(QByteArray &)> damage;
        int exitCode;
        QStringList says;
    } cases[] = {
        // Copied short.
        {"without its last 5,000 bytes", [](QByteArray &f) { f.chop(5000); }, 1,
         {damaged + "文件大小", "不是整页"}},
        {"cut to its first third", [](QByteArray &f) { f.truncate(f.size() / 3); }, 1,
         {damaged + "表目录无法读取", "超出文件末尾"}},
        {"without its last page", [](QByteArray &f) { f.chop(kPage); }, 1,
         {damaged + "表 tblUserInfo 无法读取", "超出文件末尾"}},
        {"only the header page", [](QByteArray &f) { f.truncate(kPage); }, 1, {damaged + "文件只有 1 页"}},
        {"empty", [](QByteArray &f) { f.clear(); }, 1, {"不是旧系统的数据库文件"}},
        {"packed into a zip archive", [](QByteArray &f) { f = QByteArray("PK\x03\x04", 4) + f.left(20000); }, 1,
         {"不是旧系统的数据库文件"}},
        // A page overwritten.
        {"header scrambled", [](QByteArray &f) { scramble(f, 0); }, 1, {"不是旧系统的数据库文件"}},
        {"table definition scrambled", [](QByteArray &f) { scramble(f, definitionPage(f, "tblCustomers")); }, 1,
         {damaged + "表 tblCustomers 无法读取", "不是表定义页"}},
        {"data page scrambled", [](QByteArray &f) { scramble(f, firstDataPage(f, "tblOperates")); }, 1,
         {damaged + "表 tblOperates 无法读取"}},
        {"catalogue page scrambled", [](QByteArray &f) { scramble(f, catalogueRow(f, "tblColor").page); }, 1,
         {damaged + "表目录无法读取"}},
        {"memo page scrambled", [](QByteArray &f) { scramble(f, memoChain(f)[1].page); }, 1,
         {damaged + "表 tblCustomers 无法读取"}},
        // A page pointer aimed past the end, or back into its own chain.
        {"memo chain past the end", [](QByteArray &f) { put32(f, memoChain(f)[0].at, 9999u << 8); }, 1,
         {damaged + "表 tblCustomers 无法读取", "第 9999 页超出文件末尾"}},
        {"memo chain looping", [](QByteArray &f) {
             const QVector<Place> chain = memoChain(f);
             put32(f, chain[2].at, quint32(chain[0].page) << 8 | quint32(chain[0].row));
         },
         1, {damaged + "表 tblCustomers 无法读取", "回到自身"}},
        {"memo longer than its chain", [](QByteArray &f) { put32(f, memoReference(f), 0x3fffffff); }, 1,
         {damaged + "表 tblCustomers 无法读取", "应有 1073741823 字节"}},
        {"table definition chained to itself", [](QByteArray &f) {
             const int page = definitionPage(f, "tblLinkmans");
             put32(f, qsizetype(page) * kPage + 4, quint32(page));
         },
         1, {damaged + "表 tblLinkmans 无法读取", "回到自身"}},
        {"catalogue naming a definition past the end", [](QByteArray &f) {
             const Place row = catalogueRow(f, "tblPlan");
             put32(f, row.at + 2, (get32(f, row.at + 2) & 0xff000000) | 0xfffff0);
         },
         1, {damaged + "表 tblPlan 无法读取", "超出文件末尾"}},
        {"usage map past the end", [](QByteArray &f) {
             put32(f, qsizetype(definitionPage(f, "tblUser")) * kPage + 0x37, 0xffffu << 8);
         },
         1, {damaged + "表 tblUser 无法读取", "超出文件末尾"}},
        // Catalogue entries removed.
        {"catalogue without the system's tables", [](QByteArray &f) {
             for (const char *t : {"tblColor", "tblLog", "tblBoard", "tblCustomers", "tblCustomerState",
                                   "tblCustomerAddInfo", "tblLinkmans", "tblOperates", "tblOperateDetail",
                                   "tblCurrencyRate", "tblOperaters", "tblYuangong", "tblShusong", "tblShusongYJ",
                                   "tblGongzhong", "tblJineng", "tblTijian", "tblPlan", "tblCustDist", "tblCountry",
                                   "tblFinanceOrgan", "tblVocation", "tblOperateType", "tblOperateOrigin",
                                   "tblOperateState", "tblCustLevel", "tblCustState", "tblCustOrigin",
                                   "tblDepartment", "tblUser", "tblUserRight", "tblUserInfo"})
                 removeFromCatalogue(f, t);
         },
         1, {"不是旧系统的数据库文件"}},
        {"catalogue without tblYuangong", [](QByteArray &f) { removeFromCatalogue(f, "tblYuangong"); }, 3,
         {"旧数据库缺少的表（1 个，保持新建时的内容）：\n  tblYuangong\n", "已导入到"}},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QByteArray bytes = original;
        c.damage(bytes);
        const QString file = dir.filePath("damaged.hdb");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(bytes), bytes.size());
        out.close();
        const QString target = dir.filePath("Data/HKP30.hdb");

        const ImportRun r = runImport(file, target);
        ASSERT_TRUE(r.finished) << "still running after 30 s";
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString() << r.out.toStdString();
        const QString said = c.exitCode == 1 ? r.err : r.out;
        for (const QString &s : c.says)
            EXPECT_TRUE(said.contains(s)) << "missing: " << s.toStdString() << "\nsaid: " << said.toStdString();
        EXPECT_EQ(QFile::exists(target), c.exitCode != 1);
    }
}

// Frames as the reading process sends them, in a file.
QString writeFrames(const QTemporaryDir &dir, const std::function<void(LegacyStreamWriter &)> &frames)
{
    const QString path = dir.filePath(QStringLiteral("frames%1").arg(QRandomGenerator::global()->generate()));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    LegacyStreamWriter w(&f);
    frames(w);
    return path;
}

// The reading process stood in for by a shell that sends prepared frames
// and then does what a process stuck in a damaged file would do.
TEST(LegacyReader, AReadingThatHangsCrashesOrRunsOnIsStoppedNamingTheTable)
{
    QTemporaryDir dir;
    const LegacyTable customers{"tblCustomers", {{"CustId", LegacyType::Text}}, 2};
    const LegacyTable users{"tblUser", {{"UserID", LegacyType::Text}}, 1};
    auto intoCustomers = [&](LegacyStreamWriter &w) {
        w.tables({users, customers}, {1, 2});
        w.begin("tblUser");
        w.row({"Admin"}, {});
        w.begin("tblCustomers");
        w.row({"KH0001"}, {});
    };
    const struct {
        const char *what;
        std::function<void(LegacyStreamWriter &)> frames;
        const char *then; // shell, after the frames are out
        QStringList says;
    } cases[] = {
        {"hangs before the catalogue is read", [](LegacyStreamWriter &) {}, "exec sleep 60",
         {"旧数据库文件已损坏：表目录无法读取", "没有进展"}},
        {"hangs in a table", intoCustomers, "exec sleep 60",
         {"旧数据库文件已损坏：表 tblCustomers 无法读取", "没有进展"}},
        {"crashes in a table", intoCustomers, "kill -SEGV $$",
         {"旧数据库文件已损坏：表 tblCustomers 无法读取（读取程序异常终止）"}},
        {"returns more rows than the pages hold",
         [&](LegacyStreamWriter &w) {
             intoCustomers(w);
             for (int i = 0; i < 5; ++i)
                 w.row({"KH0002"}, {});
         },
         "exec sleep 60", {"旧数据库文件已损坏：表 tblCustomers 无法读取（读出的行数超过数据页中的 2 行）"}},
        {"says why it failed", [](LegacyStreamWriter &w) { w.failed("旧数据库文件已损坏：表 tblX 无法读取（原因）"); },
         "exec sleep 60", {"旧数据库文件已损坏：表 tblX 无法读取（原因）"}},
        {"stops halfway", intoCustomers, "exit 0", {"没有读完就结束了"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString frames = writeFrames(dir, c.frames);
        LegacyReader reader;
        reader.setProgram("/bin/sh", {"-c", QStringLiteral("cat \"$1\"; %1").arg(QLatin1String(c.then)), "reader", frames});
        reader.setStallTimeout(1000);
        QElapsedTimer timer;
        timer.start();
        QString error;
        EXPECT_FALSE(reader.read("/old/HKP30.hdb", &error));
        EXPECT_LT(timer.elapsed(), 10000);
        for (const QString &s : c.says)
            EXPECT_TRUE(error.contains(s)) << "missing: " << s.toStdString() << "\nsaid: " << error.toStdString();
    }
}

// What the reading process sends arrives as it was sent: every kind of
// value, NULL, and the problems of a row.
TEST(LegacyReader, TablesRowsValuesAndProblemsArriveAsSent)
{
    QTemporaryDir dir;
    const QDateTime when(QDate(1988, 4, 17), QTime(2, 30), Qt::UTC);
    const QVariantList row{QVariant(), true, qint64(-7), 0.1, qint64(300814634), when, QStringLiteral("王芳\r\n")};
    const LegacyTable table{"tblOperates",
                            {{"A", LegacyType::Text}, {"B", LegacyType::Bool}, {"C", LegacyType::Integer},
                             {"D", LegacyType::Double}, {"E", LegacyType::Currency}, {"F", LegacyType::DateTime},
                             {"G", LegacyType::Memo}},
                            3};
    const QString frames = writeFrames(dir, [&](LegacyStreamWriter &w) {
        w.tables({table}, {2});
        w.begin("tblOperates");
        w.row(row, {{3, "不是有限数"}});
        w.row(row, {});
        w.done();
    });
    LegacyReader reader;
    reader.setProgram("/bin/sh", {"-c", "cat \"$1\"", "reader", frames});
    QString error;
    auto snapshot = reader.read("/old/HKP30.hdb", &error);
    ASSERT_TRUE(snapshot) << error.toStdString();
    ASSERT_EQ(snapshot->tables().size(), 1);
    EXPECT_EQ(snapshot->tables()[0].name, "tblOperates");
    EXPECT_EQ(snapshot->tables()[0].rowCount, 3);
    ASSERT_EQ(snapshot->tables()[0].columns.size(), 7);
    EXPECT_EQ(snapshot->tables()[0].columns[5].type, LegacyType::DateTime);
    auto cursor = snapshot->rows("tblOperates", &error);
    ASSERT_TRUE(cursor);
    QVariantList values;
    QVector<LegacyReadProblem> problems;
    ASSERT_TRUE(cursor->next(values, problems));
    ASSERT_EQ(values.size(), row.size());
    EXPECT_FALSE(values[0].isValid());
    for (int i = 1; i < row.size(); ++i)
        EXPECT_EQ(values[i], row[i]) << i;
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].column, 3);
    EXPECT_EQ(problems[0].why, "不是有限数");
    ASSERT_TRUE(cursor->next(values, problems));
    EXPECT_TRUE(problems.isEmpty());
    EXPECT_FALSE(cursor->next(values, problems));
}

} // namespace
