// PostgreSQL through our own libpq driver: values go apart from the SQL and
// come back in the types the rest of the program reads, errors keep their
// words, and reads sent ahead together are handed out once and never after
// a change.
#include "data/database.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

class PgDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("BREVIA_TEST_PG"))
            GTEST_SKIP() << "needs BREVIA_TEST_PG";
        t = std::make_unique<TempDatabase>(Engine::PostgreSQL);
        ASSERT_EQ(t->db().exec("CREATE TABLE kinds (id INTEGER, big BIGINT, amount NUMERIC(19,4), f DOUBLE PRECISION, "
                               "yes BOOLEAN, day DATE, at TIMESTAMP(0), note TEXT, raw BYTEA)"),
                  "");
    }
    Database &db() { return t->db(); }
    std::unique_ptr<TempDatabase> t;
};

TEST_F(PgDriverTest, ValuesTravelApartFromTheSqlAndComeBackInTheirKinds)
{
    // Text that looks like SQL or like a mark stays text.
    const QString tricky = "O'Brien ? $1 -- ; DROP TABLE kinds";
    const QByteArray bytes("\x00\x01\xff'?", 5);
    ASSERT_EQ(db().exec("INSERT INTO kinds VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                        {7, qlonglong(5000000000LL), "1234.5600", 2.5, true, "2024-02-29", "2024-03-01 08:09:10",
                         tricky, bytes}),
              "");
    ASSERT_EQ(db().exec("INSERT INTO kinds (id, note) VALUES (?, ?)", {8, QVariant()}), "");

    QSqlQuery q(db().sql());
    QString error;
    ASSERT_TRUE(db().prepareAndExec(q, "SELECT id, big, amount, f, yes, day, at, note, raw, '?' AS mark "
                                       "FROM kinds WHERE note = ? OR id = ? ORDER BY id",
                                    {tricky, 8}, &error))
        << error.toStdString();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).typeId(), QMetaType::Int);
    EXPECT_EQ(q.value(0).toInt(), 7);
    EXPECT_EQ(q.value(1).toLongLong(), 5000000000LL);
    EXPECT_EQ(q.value(2).typeId(), QMetaType::Double); // as Qt's driver gave NUMERIC
    EXPECT_DOUBLE_EQ(q.value(2).toDouble(), 1234.56);
    EXPECT_DOUBLE_EQ(q.value(3).toDouble(), 2.5);
    EXPECT_EQ(q.value(4), QVariant(true));
    EXPECT_EQ(q.value(5), QVariant(QDate(2024, 2, 29)));
    EXPECT_EQ(q.value(6).toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(8, 9, 10)));
    EXPECT_EQ(q.value(7).toString(), tricky);
    EXPECT_EQ(q.value(8).toByteArray(), bytes);
    EXPECT_EQ(q.value(9).toString(), "?");
    EXPECT_EQ(q.record().fieldName(1), "big");
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.isNull(7));
    EXPECT_FALSE(q.next());

    // Amounts exactly, when asked for.
    QSqlQuery exact(db().sql());
    exact.setNumericalPrecisionPolicy(QSql::HighPrecision);
    ASSERT_TRUE(exact.exec("SELECT amount FROM kinds WHERE id = 7") && exact.next());
    EXPECT_EQ(exact.value(0).toString(), "1234.5600");
}

TEST_F(PgDriverTest, ErrorsKeepTheServersWordsAndState)
{
    ASSERT_EQ(db().exec("CREATE UNIQUE INDEX kinds_id ON kinds (id)"), "");
    ASSERT_EQ(db().exec("INSERT INTO kinds (id) VALUES (?)", {1}), "");
    EXPECT_EQ(db().exec("INSERT INTO kinds (id) VALUES (?)", {1}), "对不起，该代码已存在！");
    const QString other = db().exec("SELECT nothing FROM kinds WHERE id = ?", {1});
    EXPECT_TRUE(other.startsWith("数据库错误：ERROR:")) << other.toStdString();
    EXPECT_TRUE(other.endsWith("(42703)")) << other.toStdString();
    // The connection is still good after a failure.
    EXPECT_EQ(db().exec("INSERT INTO kinds (id) VALUES (?)", {2}), "");
}

TEST_F(PgDriverTest, ReadsSentTogetherAreHandedOutOnceAndNeverAfterAChange)
{
    ASSERT_EQ(db().exec("INSERT INTO kinds (id, note) VALUES (1, 'before')"), "");
    const QString read = "SELECT note FROM kinds WHERE id = ?";
    const auto note = [&] {
        QSqlQuery q(db().sql());
        QString error;
        return db().prepareAndExec(q, read, {1}, &error) && q.next() ? q.value(0).toString() : error;
    };
    auto other = t->openAnother();
    ASSERT_TRUE(other);

    // Handed out once: a second run reads again.
    db().prefetch({{read, {1}}});
    ASSERT_EQ(other->exec("UPDATE kinds SET note = 'after' WHERE id = 1"), "");
    EXPECT_EQ(note(), "before"); // read when sent, as reading a moment earlier
    EXPECT_EQ(note(), "after");

    // A write of this connection forgets what was sent ahead.
    db().prefetch({{read, {1}}});
    ASSERT_EQ(db().exec("UPDATE kinds SET note = 'mine' WHERE id = ?", {1}), "");
    EXPECT_EQ(note(), "mine");

    // So does an empty list; other values are not this read.
    db().prefetch({{read, {1}}});
    ASSERT_EQ(other->exec("UPDATE kinds SET note = 'theirs' WHERE id = 1"), "");
    db().prefetch({});
    EXPECT_EQ(note(), "theirs");

    // A failing read among them costs the others nothing.
    db().prefetch({{"SELECT nothing FROM kinds", {}}, {read, {1}}});
    EXPECT_EQ(note(), "theirs");
    EXPECT_TRUE(db().exec("SELECT nothing FROM kinds").endsWith("(42703)"));
}

} // namespace
