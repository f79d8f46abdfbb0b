// Grids and edit boxes bound to a dataset.
#include "data/datasetmodel.h"
#include "data/bulkinsert.h"
#include "data/dataset.h"
#include "data/datasetpeers.h"
#include "data/schema.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"
#include "ui/dateedit.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/maskedit.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {
QVariant scalar(Database &db, const QString &sql)
{
    QSqlQuery q(db.sql());
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}
} // namespace

TEST(DatasetModel, FollowsTheDatasetAndReadsOnlyWhatIsShown)
{
    TempDatabase t(Engine::SQLite);
    {
        Transaction tx(t.db());
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(t.db().insertRow("tblCustomers", {{"CustId", QString("KH%1").arg(i, 4, 10, QChar('0'))},
                                                         {"CustName", QString("客户%1").arg(i)},
                                                         {"CreateDate", QDate(2026, 1, 1).addDays(i)}}),
                      "");
        ASSERT_EQ(tx.commit(), "");
    }
    Dataset d(&t.db(), "tblCustomers", Schema::table("tblCustomers"));
    DatasetModel m(&d);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m.setColumns({{"CustId", "客户编号"}, {"CustName", "客户名称"}, {"CreateDate", "建档日期"}});
    ASSERT_TRUE(d.open());
    EXPECT_EQ(m.rowCount(), 1000);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "客户名称");
    EXPECT_EQ(m.data(m.index(999, 1)).toString(), "客户999");
    EXPECT_EQ(m.data(m.index(0, 2)).toString(), "2026-1-1"); // shown as yyyy-M-d whatever the locale

    d.append();
    EXPECT_EQ(m.rowCount(), 1001);
    d.setValue("CustId", "NEW");
    EXPECT_EQ(m.data(m.index(1000, 0)).toString(), "NEW");
    d.cancel();
    EXPECT_EQ(m.rowCount(), 1000);
    d.setCurrentRow(5);
    ASSERT_TRUE(d.remove());
    EXPECT_EQ(m.rowCount(), 999);
    EXPECT_EQ(m.data(m.index(5, 0)).toString(), "KH0006");
    d.setFilter(Condition::contains("CustName", "客户99"));
    EXPECT_EQ(m.rowCount(), 11);

    // A grid over a query set asks for more rows as it scrolls.
    Dataset q(&t.db(), "qryPubQuery", "SELECT CustId, CustName FROM tblCustomers", nullptr);
    DatasetModel qm(&q);
    QAbstractItemModelTester qtester(&qm, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(q.open());
    EXPECT_LT(qm.rowCount(), 999);
    while (qm.canFetchMore({}))
        qm.fetchMore({});
    EXPECT_EQ(qm.rowCount(), 999);
    EXPECT_EQ(qm.columnCount(), 2);
}

TEST(FieldBinder, EditsTheCurrentRowAndFollowsIt)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"Memo", "m"}}), "");
    ASSERT_EQ(db.insertRow("tblCustLevel", {{"LevelID", "B"}, {"LevelName", "一般"}, {"Memo", "m"}}), "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"Name", "甲"}, {"Main", true},
                                          {"SpecialDate", QDate(2020, 2, 29)}, {"Memo", "第一行\r\n第二行"}}),
              "");
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L2"}, {"Name", "乙"}}), "");

    Dataset levels(&db, "tblCustLevel", Schema::table("tblCustLevel"));
    Dataset d(&db, "tblLinkmans", Schema::table("tblLinkmans"));
    ASSERT_TRUE(d.open());
    QLineEdit name, nickName;
    QCheckBox main;
    DateEdit special;
    QPlainTextEdit memo;
    QComboBox level;
    QComboBox duty;
    duty.setEditable(true);
    FieldBinder b(&d);
    b.bind(&name, "Name");
    b.bind(&nickName, "NickName");
    b.bind(&main, "Main");
    b.bind(&special, "SpecialDate");
    b.bind(&memo, "Memo");
    b.bind(&level, "Department", &levels, "LevelID", "LevelName"); // any code column will do
    b.bind(&duty, "Duty", QStringList{"经理", "主管"});

    EXPECT_EQ(name.text(), "甲");
    EXPECT_EQ(name.maxLength(), 50);
    EXPECT_TRUE(main.isChecked());
    EXPECT_EQ(special.date(), QDate(2020, 2, 29));
    EXPECT_EQ(memo.toPlainText(), "第一行\n第二行");
    memo.moveCursor(QTextCursor::End);
    memo.insertPlainText("！");
    EXPECT_EQ(d.value("Memo").toString(), "第一行\r\n第二行！"); // line breaks keep their style
    d.cancel();
    EXPECT_EQ(level.count(), 2);
    EXPECT_EQ(b.widgetFor("name"), &name);

    d.next();
    EXPECT_EQ(name.text(), "乙");
    EXPECT_FALSE(main.isChecked());
    EXPECT_TRUE(special.text().trimmed().isEmpty()); // no date shows blank

    // Typing starts editing; moving away stores it.
    nickName.setFocus();
    QTest::keyClicks(&nickName, "Mr Z");
    EXPECT_EQ(d.state(), Dataset::State::Edit);
    level.setCurrentIndex(1);
    emit level.activated(1);
    duty.setEditText("自定义职务");
    main.click();
    d.first();
    EXPECT_EQ(d.state(), Dataset::State::Browse);
    EXPECT_EQ(scalar(db, "SELECT NickName FROM tblLinkmans WHERE LinkmanID = 'L2'").toString(), "Mr Z");
    EXPECT_EQ(scalar(db, "SELECT Department FROM tblLinkmans WHERE LinkmanID = 'L2'").toString(), "B");
    EXPECT_EQ(scalar(db, "SELECT Duty FROM tblLinkmans WHERE LinkmanID = 'L2'").toString(), "自定义职务");
    EXPECT_EQ(scalar(db, "SELECT " + db.dialect().ident("Main") + " FROM tblLinkmans WHERE LinkmanID = 'L2'").toInt(), 1);

    // A new dictionary entry is offered at once.
    ASSERT_TRUE(levels.append());
    levels.setValue("LevelID", "C");
    levels.setValue("LevelName", "潜在");
    levels.setValue("Memo", "m");
    ASSERT_TRUE(levels.post());
    EXPECT_EQ(level.count(), 3);

    // Cancel puts the stored values back into the boxes.
    name.setText("");
    QTest::keyClicks(&name, "X");
    EXPECT_EQ(d.value("Name").toString(), "X");
    d.cancel();
    EXPECT_EQ(name.text(), "甲");
}

// A drop-down opens its dictionary when it is filled; the form shows its
// row as another set over the table stored it.
TEST(FieldBinder, DropDownsOpenTheirDictionaryAndFormsShowRowsStoredElsewhere)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"Memo", "m"}}), "");
    ASSERT_EQ(db.insertRow("tblCustLevel", {{"LevelID", "B"}, {"LevelName", "一般"}, {"Memo", "m"}}), "");
    ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "KH1"}, {"CustName", "甲"}, {"LevelID", "A"}}), "");

    Dataset levels(&db, "tblCustLevel", Schema::table("tblCustLevel"));
    Dataset customers(&db, "tblCustomers", Schema::table("tblCustomers"));
    ASSERT_TRUE(customers.open());
    QComboBox level;
    QLineEdit name;
    FieldBinder b(&customers);
    b.bind(&level, "LevelID", &levels, "LevelID", "LevelName");
    b.bind(&name, "CustName");
    EXPECT_TRUE(levels.isActive());
    EXPECT_EQ(level.count(), 2);
    EXPECT_EQ(level.currentText(), "重要");
    // Closed and opened again by someone: the entries are there once.
    levels.close();
    EXPECT_EQ(level.count(), 0);
    ASSERT_TRUE(levels.open());
    EXPECT_EQ(level.count(), 2);
    EXPECT_EQ(level.currentText(), "重要");

    Dataset customers2(&db, "tblCustomers2", Schema::table("tblCustomers"));
    DatasetPeers peers;
    peers.add(&customers);
    peers.add(&customers2);
    ASSERT_TRUE(customers2.open());
    customers2.setValue("CustName", "甲公司");
    customers2.setValue("LevelID", "B");
    ASSERT_TRUE(customers2.post()) << customers2.lastError().toStdString();
    EXPECT_EQ(name.text(), "甲公司");
    EXPECT_EQ(level.currentText(), "一般");
    EXPECT_EQ(customers.state(), Dataset::State::Browse);

    // A dictionary that cannot open leaves the list empty and says why.
    ASSERT_EQ(db.exec("DROP TABLE tblCustOrigin"), "");
    Dataset origins(&db, "tblCustOrigin", Schema::table("tblCustOrigin"));
    QComboBox origin;
    b.bind(&origin, "OriginID", &origins, "OriginID", "OriginName");
    EXPECT_EQ(origin.count(), 0);
    EXPECT_FALSE(customers.lastError().isEmpty());
    EXPECT_EQ(customers.lastError(), origins.lastError());
}

// A drop-down of every customer costs seconds to fill: out of sight it waits
// until it is shown or its value is checked, and then shows the row's name.
TEST(FieldBinder, ALongDropDownIsFilledWhenItIsSeen)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    {
        BulkInsert bulk(db, "tblCustomers", {"CustId", "CustName"});
        for (int i = 0; i < FieldBinder::kDeferredRows + 10; ++i)
            ASSERT_EQ(bulk.add({QString("C%1").arg(i, 5, 10, QChar('0')), QString("客户%1").arg(i)}), "");
        ASSERT_EQ(bulk.flush(), "");
    }
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "K1"}, {"Name", "张"}, {"CustID", "C00042"}}), "");
    Dataset customers(&db, "tblCustomers", Schema::table("tblCustomers"));
    Dataset contacts(&db, "tblLinkmans", Schema::table("tblLinkmans"));
    ASSERT_TRUE(contacts.open());
    QWidget page;
    auto *combo = new QComboBox(&page);
    FieldBinder b(&contacts);
    b.bind(combo, "CustID", &customers, "CustId", "CustName");
    EXPECT_EQ(combo->count(), 0);
    page.show();
    EXPECT_EQ(combo->count(), FieldBinder::kDeferredRows + 10);
    EXPECT_EQ(combo->currentText(), "客户42");
    // Hidden again and read afresh: filled when asked for.
    page.hide();
    ASSERT_TRUE(customers.refresh());
    EXPECT_EQ(combo->count(), 0);
    b.ensureFilled(combo);
    EXPECT_EQ(combo->currentText(), "客户42");
}

// A long drop-down that cannot be changed (a read-only page) shows the
// current row's name alone, follows the row, and offers the whole list
// once it is enabled.
TEST(FieldBinder, ADisabledLongDropDownHoldsTheCurrentNameAlone)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    {
        BulkInsert bulk(db, "tblCustomers", {"CustId", "CustName"});
        for (int i = 0; i < FieldBinder::kDeferredRows + 10; ++i)
            ASSERT_EQ(bulk.add({QString("C%1").arg(i, 5, 10, QChar('0')), QString("客户%1").arg(i)}), "");
        ASSERT_EQ(bulk.flush(), "");
    }
    for (const auto &[id, cust] : {std::pair{"K1", "C00042"}, {"K2", "C00007"}, {"K3", "GONE"}, {"K4", ""}})
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", id}, {"Name", "张"}, {"CustID", cust}}), "");
    Dataset customers(&db, "tblCustomers", Schema::table("tblCustomers"));
    Dataset contacts(&db, "tblLinkmans", Schema::table("tblLinkmans"));
    contacts.setOrderBy({"LinkmanID"});
    ASSERT_TRUE(contacts.open());
    QWidget page;
    auto *combo = new QComboBox(&page);
    FieldBinder b(&contacts);
    b.bind(combo, "CustID", &customers, "CustId", "CustName");
    combo->setEnabled(false); // as a read-only page does after binding
    page.show();
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->currentText(), "客户42");
    ASSERT_TRUE(contacts.next());
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->currentText(), "客户7");
    ASSERT_TRUE(contacts.next()); // a code without its customer
    EXPECT_EQ(combo->currentIndex(), -1);
    ASSERT_TRUE(contacts.next()); // no customer
    EXPECT_EQ(combo->currentIndex(), -1);

    combo->setEnabled(true);
    EXPECT_EQ(combo->count(), FieldBinder::kDeferredRows + 10);
    ASSERT_TRUE(contacts.first());
    EXPECT_EQ(combo->currentText(), "客户42");

    // Disabled before it is bound: never filled whole.
    QComboBox other;
    other.setEnabled(false);
    FieldBinder b2(&contacts);
    b2.bind(&other, "CustID", &customers, "CustId", "CustName");
    other.show();
    EXPECT_EQ(other.count(), 1);
    EXPECT_EQ(other.currentText(), "客户42");
}

// Text can reach a box without typing (an assistive tool sets it through the
// accessibility interface); the row must get what the box shows.
TEST(FieldBinder, TextSetWithoutTypingReachesTheRowButNotThroughAReadOnlyBox)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblCustLevel", {{"LevelID", "A"}, {"LevelName", "重要"}, {"Memo", "m"}}), "");
    Dataset d(&db, "tblCustLevel", Schema::table("tblCustLevel"));
    ASSERT_TRUE(d.open());
    QLineEdit code, name;
    FieldBinder b(&d);
    b.bind(&code, "LevelID");
    b.bind(&name, "LevelName");
    EXPECT_EQ(d.state(), Dataset::State::Browse); // showing the row is no change

    code.setReadOnly(true);
    code.setText("Z");
    name.setText("很重要");
    EXPECT_EQ(d.state(), Dataset::State::Edit);
    EXPECT_EQ(d.value("LevelID").toString(), "A");
    EXPECT_EQ(d.value("LevelName").toString(), "很重要");
    ASSERT_TRUE(d.post());
    EXPECT_EQ(scalar(db, "SELECT LevelName FROM tblCustLevel WHERE LevelID = 'A'").toString(), "很重要");

    // The binder's own refill stores nothing.
    d.cancel();
    d.refresh();
    EXPECT_EQ(d.state(), Dataset::State::Browse);
    EXPECT_EQ(code.text(), "A");
}

#include "ui/calculatorpopup.h"

TEST(Calculator, WorksLikeADeskCalculator)
{
    const struct {
        const char *keys; // space separated
        const char *display;
    } cases[] = {
        {"1 2 . 5", "12.5"},
        {"8 . 2 7 * 1 0 0 =", "827"},
        {"2 + 3 * 4 =", "20"}, // left to right
        {"1 0 / 4 =", "2.5"},
        {"5 - 8 =", "-3"},
        {"1 2 3 <", "12"},
        {". 5 + . 2 5 =", "0.75"},
        {"7 / 0 =", "除数不能为零"},
        {"7 / 0 = C 4", "4"},
        {"3 + + 2 =", "5"},
        {"2 = 5", "5"},
    };
    for (const auto &c : cases) {
        Calculator calc;
        for (const QString &k : QString(c.keys).split(' '))
            calc.press(k);
        EXPECT_EQ(calc.display(), QString(c.display)) << c.keys;
    }
}

TEST(Calculator, PopupPutsTheResultIntoTheBoundField)
{
    TempDatabase t(Engine::SQLite);
    Dataset d(&t.db(), "tblCurrencyRate", Schema::table("tblCurrencyRate"));
    ASSERT_TRUE(d.open());
    QLineEdit rate;
    FieldBinder b(&d);
    b.bind(&rate, "Rate");
    attachCalculator(&rate);
    EXPECT_EQ(d.value("Rate").toDouble(), 1.0);
    CalculatorPopup *p = openCalculator(&rate);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->display(), "1"); // starts from the field's value
    for (const char *k : {"*", "7", ".", "1", "="})
        p->press(k);
    p->accept();
    EXPECT_EQ(rate.text(), "7.1");
    EXPECT_EQ(d.state(), Dataset::State::Edit);
    EXPECT_DOUBLE_EQ(d.value("Rate").toDouble(), 7.1);
    d.cancel();
    rate.setReadOnly(true);
    EXPECT_EQ(openCalculator(&rate), nullptr);
}

// A clerk types dates with the keyboard, with or without leading zeros,
// clears them, steps them and picks them; a text that is no date never
// reaches the row.
TEST(MaskEdit, TypingStartsAtTheFirstBlankPlaceHoweverTheFieldIsEntered)
{
    TempDatabase t(Engine::SQLite);
    Dataset d(&t.db(), "tblPlan", Schema::table("tblPlan"));
    ASSERT_TRUE(d.open());
    ASSERT_TRUE(d.append());
    QWidget window;
    window.resize(400, 120);
    FieldBinder b(&d);
    Form form({{"AttendMan", "参加人员：", Field::line()}, {"PlanTime", "时    间：", Field::mask("99:99:99;_")}}, &b,
              &window, 1);
    form.applyEnterOrder();
    auto *before = qobject_cast<QLineEdit *>(form.widget("AttendMan"));
    auto *time = qobject_cast<MaskEdit *>(form.widget("PlanTime"));
    ASSERT_TRUE(before && time) << "every masked field is a MaskEdit";
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    enum class Entry { ClickRight, ClickLeft, Enter, Tab };
    struct Case {
        Entry entry;
        const char *start;  // what the field holds first ("" for blank)
        int caret;          // where typing starts
        const char *typed;
        const char *stored;
    };
    const Case cases[] = {
        {Entry::ClickRight, "", 0, "123000", "12:30:00"},
        {Entry::ClickLeft, "", 0, "083000", "08:30:00"},
        {Entry::Enter, "", 0, "091500", "09:15:00"},
        {Entry::Tab, "", 0, "235959", "23:59:59"},
        {Entry::ClickRight, "10:4", 4, "500", "10:45:00"}, // half typed: on from the first blank
        {Entry::Enter, "10:4", 4, "512", "10:45:12"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        before->setFocus();
        ASSERT_TRUE(before->hasFocus());
        time->setText(QString::fromLatin1(c.start));
        switch (c.entry) {
        case Entry::ClickRight:
            QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(time->width() - 4, time->height() / 2));
            break;
        case Entry::ClickLeft:
            QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(4, time->height() / 2));
            break;
        case Entry::Enter:
            QTest::keyClick(before, Qt::Key_Return);
            break;
        case Entry::Tab:
            QTest::keyClick(before, Qt::Key_Tab);
            break;
        }
        ASSERT_TRUE(time->hasFocus());
        EXPECT_EQ(time->cursorPosition(), c.caret);
        QTest::keyClicks(time, c.typed);
        EXPECT_EQ(time->text(), QString::fromLatin1(c.stored));
        EXPECT_EQ(d.value("PlanTime").toString(), QString::fromLatin1(c.stored));
    }
    // A full field is corrected where the user clicks.
    before->setFocus();
    QTest::mouseClick(time, Qt::LeftButton, {}, QPoint(4, time->height() / 2));
    EXPECT_LE(time->cursorPosition(), 1);
}

TEST(DateEdit, TypedDatesReachTheRow)
{
    TempDatabase t(Engine::SQLite);
    Database &db = t.db();
    ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"Name", "甲"}, {"SpecialDate", QDate(2020, 2, 29)}}), "");
    FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    Dataset d(&db, "tblLinkmans", Schema::table("tblLinkmans"));
    ASSERT_TRUE(d.open());
    QWidget window;
    auto *date = new DateEdit(&window);
    auto *other = new QLineEdit(&window);
    FieldBinder b(&d);
    b.bind(date, "SpecialDate");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(date->text(), "2020-2-29");

    enum class Key { None, Up, Down };
    struct Case {
        const char *typed; // replaces the whole text, key by key
        Key then;
        QDate stored;      // invalid: no date
        const char *shownAfterLeaving;
    };
    const Case cases[] = {
        {"2026-12-10", Key::None, QDate(2026, 12, 10), "2026-12-10"},
        {"2026-1-5", Key::None, QDate(2026, 1, 5), "2026-1-5"},
        {"2026-01-05", Key::None, QDate(2026, 1, 5), "2026-1-5"},
        {"2026/3/7", Key::None, QDate(2026, 3, 7), "2026-3-7"},
        {"2026.3.8", Key::None, QDate(2026, 3, 8), "2026-3-8"},
        {"20260309", Key::None, QDate(2026, 3, 9), "2026-3-9"},
        {"", Key::None, QDate(), ""},                                    // cleared
        {"2026-2-30", Key::None, QDate(), ""},                           // no such day: the row keeps what it had
        {"2026-12-31", Key::Up, QDate(2027, 1, 1), "2027-1-1"},
        {"2026-3-1", Key::Down, QDate(2026, 2, 28), "2026-2-28"},
        {"2026-1", Key::None, QDate(2026, 2, 28), "2026-2-28"},          // half typed: the date it had comes back
        {"", Key::Up, QDate(2026, 12, 10), "2026-12-10"},                // an empty field steps from today
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        date->setFocus();
        date->selectAll();
        QTest::keyClick(date, Qt::Key_Backspace);
        QTest::keyClicks(date, c.typed);
        if (c.then != Key::None)
            QTest::keyClick(date, c.then == Key::Up ? Qt::Key_Up : Qt::Key_Down);
        other->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(d.value("SpecialDate").toDate(), c.stored);
        EXPECT_EQ(date->text(), c.shownAfterLeaving);
    }
    // Half deleted and left: the date the field had when it was entered
    // comes back, not the one the deleting passed through ("2026-12-1").
    date->setFocus();
    date->end(false);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(date, Qt::Key_Backspace);
    EXPECT_EQ(date->text(), "2026-12");
    other->setFocus();
    EXPECT_EQ(d.value("SpecialDate").toDate(), QDate(2026, 12, 10));
    EXPECT_EQ(date->text(), "2026-12-10");
    // Letters are not taken, not even from an input method.
    date->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("年"));
    QApplication::sendEvent(date, &commit);
    EXPECT_EQ(date->text(), "2026-12-10");
    other->setFocus();

    ASSERT_TRUE(d.post());
    EXPECT_EQ(scalar(db, "SELECT SpecialDate FROM tblLinkmans").toDate(), QDate(2026, 12, 10));

    // The calendar opens on the shown date, or on today when there is none.
    date->showCalendar();
    ASSERT_NE(date->calendar(), nullptr);
    EXPECT_EQ(date->calendar()->yearShown(), 2026);
    EXPECT_EQ(date->calendar()->monthShown(), 12);
    date->calendar()->clicked(QDate(2026, 11, 3));
    EXPECT_EQ(d.value("SpecialDate").toDate(), QDate(2026, 11, 3));
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Backspace);
    date->showCalendar();
    ASSERT_NE(date->calendar(), nullptr);
    EXPECT_EQ(date->calendar()->selectedDate(), QDate(2026, 12, 10));
}

TEST(DatasetModel, NumbersStandRightAligned)
{
    TempDatabase t(Engine::SQLite);
    ASSERT_EQ(t.db().insertRow("tblCurrencyRate", {{"CurrID", "USD"}, {"CurrName", "美元"}, {"Rate", 7.1}, {"Memo", "-"}}), "");
    Dataset table(&t.db(), "tblCurrencyRate", Schema::table("tblCurrencyRate"));
    Dataset query(&t.db(), "qryPubQuery", "SELECT CurrName, Rate * 2 AS Twice, COUNT(*) AS N FROM tblCurrencyRate GROUP BY CurrName, Rate", nullptr);
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(query.open());
    const auto align = [](const DatasetModel &m, int column) {
        return m.data(m.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    };
    DatasetModel tm(&table);
    tm.setColumns({{"CurrID", "币别"}, {"CurrName", "名称"}, {"Rate", "汇率"}});
    ASSERT_GE(tm.rowCount(), 1);
    EXPECT_EQ(align(tm, 0), Qt::AlignLeft);
    EXPECT_EQ(align(tm, 1), Qt::AlignLeft);
    EXPECT_EQ(align(tm, 2), Qt::AlignRight);
    DatasetModel qm(&query);
    qm.setColumns({{"CurrName", "名称"}, {"Twice", "两倍"}, {"N", "个数"}});
    EXPECT_EQ(align(qm, 0), Qt::AlignLeft);
    EXPECT_EQ(align(qm, 1), Qt::AlignRight);
    EXPECT_EQ(align(qm, 2), Qt::AlignRight);
}
