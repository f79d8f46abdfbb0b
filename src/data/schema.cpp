#include "data/schema.h"

#include "data/database.h"
#include "data/password.h"
#include "data/searchkeys.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace col;

namespace {

// The dictionaries share one shape: code, name, maybe a colour, a memo
// that the database requires.
TableDef dictionary(const QString &table, const QString &code, const QString &name, const QString &color,
                    QVector<ColumnDef> extra = {})
{
    QVector<ColumnDef> cols{text(code, 30), text(name, 50)};
    if (!color.isEmpty())
        cols << integer(color);
    cols << extra;
    cols << reqText("Memo", 100);
    return TableDef(table, cols).primaryKey({code});
}

QVector<TableDef> buildTables()
{
    QVector<TableDef> t;

    // System tables
    t << TableDef("tblColor", {autoNumber("RowNo"), integer("ColorID")});
    t << TableDef("tblLog", {autoNumber("LogID"), text("LogDateTime", 30), text("UserID", 30), text("Operate", 255)});
    t << TableDef("tblBoard", {autoNumber("BNo"), text("BTitle", 100), date("BDate"), text("Man", 50), text("Memo", 255)})
             .index({"BDate"});

    // Customers
    t << TableDef("tblCustomers",
                  {autoNumber("CNo"), text("CustId", 30), text("CustName", 50), text("CountryID", 30),
                   text("DistID", 30), text("City", 50), text("PostCode", 20), text("Telephone", 50),
                   text("Fax", 50), text("Address", 100), text("Email", 50), text("HomePage", 50),
                   text("VocationID", 30), text("OriginID", 30), text("LevelID", 30), text("StateId", 30),
                   dateTime("CreateDate"), text("OperaterID", 30), memo("Memo"), text("FilePath", 100),
                   text("SUser", 20), text("SDate", 20), text("MainLinkman", 20), text("MainTelephone", 20)})
             .unique({"CustId"})
             .index({"SUser"})
             .index({"CreateDate"})
             .orderBy({"CNo"})
             .searchKeys({"CustName", "MainLinkman"});
    t << TableDef("tblCustomerState",
                  {autoNumber("RowNo"), text("CustID", 30), date("LinkDate"), text("LinkTime", 20),
                   text("LinkType", 30), text("Linkman", 50), text("Duty", 50), real("Charge"),
                   text("LinkContent", 50), text("Address", 50), text("Memo", 100)})
             .index({"CustID"})
             .index({"LinkDate"})
             .orderBy({"CustID"});
    t << TableDef("tblCustomerAddInfo",
                  {autoNumber("RowNo"), text("CustID", 30), text("BankID", 30), text("Account", 100),
                   text("BankAddress", 100), text("VATaxName", 100), text("VATaxID", 100), text("VATaxBank", 100),
                   text("VATaxAccount", 100), text("VATaxAddress", 100), text("VATaxPhone", 100)})
             .index({"CustID"})
             .orderBy({"CustID"});

    // Contacts
    t << TableDef("tblLinkmans",
                  {autoNumber("LNo"), text("LinkmanID", 30), text("CustID", 30), yesNo("Main"), text("Name", 50),
                   text("NickName", 50), text("Department", 50), text("Duty", 50), text("Telephone", 50),
                   text("Fax", 50), text("Mobile", 50), text("HomeAddress", 100), text("Email", 50),
                   text("HomePage", 50), text("Enjoy", 100), dateTime("SpecialDate"), memo("Memo"),
                   text("FilePath", 100), text("SUser", 20), text("SDate", 20)})
             .index({"CustID"})
             .index({"SUser"})
             .index({"LinkmanID"})
             .orderBy({"LNo"})
             .searchKeys({"Name"});

    // Contracts and money
    t << TableDef("tblOperates",
                  {text("OperateID", 30), text("OperateTitle", 100), text("CustID", 30), yesNo("Link"),
                   text("LinkCustID", 50), dateTime("CreateDate"), text("LinkmanID", 30), text("OriginId", 30),
                   text("TypeID", 30), dateTime("WriteDate"), dateTime("EndDate"), text("OperaterID", 30),
                   decimal("CompactAmount"), decimal("Profit"), real("Rate"), text("InOrOut", 50),
                   text("OperateStateID", 30), text("FilePath", 100), text("SUser", 20), text("SDate", 20),
                   text("CurrID", 20), currency("RMB")})
             .primaryKey({"OperateID"})
             .index({"CustID"})
             .index({"LinkCustID"})
             .index({"LinkmanID"})
             .index({"OperaterID"})
             .index({"SUser"})
             .index({"CreateDate"})
             .index({"EndDate"})
             .searchKeys({"OperateTitle"});
    t << TableDef("tblOperateDetail",
                  {text("OperateID", 30), integer("DetailNo"), dateTime("OperateDate"), text("DTitle", 100),
                   text("InOut", 20), text("CurrID", 20), decimal("Price"), decimal("Amount"), decimal("DTotal"),
                   currency("RMB"), text("Memo", 200)})
             .primaryKey({"OperateID", "DetailNo"})
             .orderBy({"OperateID"});
    t << TableDef("tblCurrencyRate",
                  {text("CurrID", 20), text("CurrName", 50), real("Rate"), reqText("Memo", 100)})
             .primaryKey({"CurrID"});

    // Staff
    t << TableDef("tblOperaters",
                  {text("OperaterID", 30), text("Name", 50), text("NickName", 50), text("Sex", 10),
                   text("DepartmentID", 30), text("Duty", 30), text("Education", 50), dateTime("Birth"),
                   text("ID", 50), text("Native", 100), text("CTelephone", 50), text("Fax", 50),
                   text("HTelephone", 50), text("Mobile", 50), text("Address", 100), text("Email", 50),
                   text("HomePage", 50), text("Photo", 200), text("Memo", 100), dateTime("InTime"),
                   text("State", 50), dateTime("OutTime"), text("OutReason", 200), text("FilePath", 100),
                   text("SUser", 20), text("SDate", 20)})
             .primaryKey({"OperaterID"})
             .searchKeys({"Name"});

    // Domestic workers and dispatch
    t << TableDef("tblYuangong",
                  {text("YuangongID", 30), text("Name", 50), text("NickName", 50), text("Sex", 10),
                   text("DepartmentID", 30), text("Duty", 30), text("Education", 50), dateTime("Birth"),
                   text("ID", 50), text("Health", 20), text("GongzhongID", 20), text("Native", 100),
                   text("Jieshao", 20), text("JTelephone", 50), text("School", 20), text("HTelephone", 50),
                   text("Mobile", 50), text("Address", 100), text("Email", 50), text("Photo", 200),
                   text("Memo", 100), text("ShusongID", 50), text("CustID", 50), dateTime("InTime"),
                   text("State", 50), dateTime("OutTime"), text("OutReason", 200), text("FilePath", 100),
                   text("SUser", 20), text("SDate", 20), text("LevelID", 50), text("TJID", 50)})
             .primaryKey({"YuangongID"})
             .index({"CustID"})
             .searchKeys({"Name"});
    t << TableDef("tblShusong",
                  {text("ShusongID", 50), text("ShusongName", 50), text("Manager", 50), text("Duty", 50),
                   text("ID", 50), text("Telephone", 50), text("Fax", 50), text("Mobile", 50),
                   text("Homepage", 50), text("Email", 50), text("Memo", 200)})
             .primaryKey({"ShusongID"})
             .orderBy({"ShusongID"})
             .searchKeys({"ShusongName", "Manager"});
    t << TableDef("tblShusongYJ",
                  {autoNumber("RowNo"), integer("sNo"), text("ShusongID", 50), date("JDate"), text("Jingban", 50),
                   real("Jieshao"), real("Qita"), date("BeginDate"), date("EndDate"), text("Memo", 200)})
             .index({"ShusongID"});
    t << TableDef("tblGongzhong", {text("GongzhongID", 20), text("GongzhongName", 50), reqText("Memo", 200)})
             .primaryKey({"GongzhongID"});
    t << TableDef("tblJineng", {text("LevelID", 50), text("LevelName", 50), reqText("Memo", 200)})
             .primaryKey({"LevelID"});
    t << TableDef("tblTijian", {text("TJID", 50), text("TJMS", 50), reqText("Memo", 200)})
             .primaryKey({"TJID"})
             .orderBy({"TJID"});

    // Schedule
    t << TableDef("tblPlan",
                  {autoNumber("PlanID"), text("AttendMan", 50), dateTime("PlanDate"), text("PlanTime", 30),
                   text("Address", 100), text("CustID", 30), text("Linkman", 30), text("OperateId", 30),
                   text("Memo", 100), text("FilePath", 100)})
             .index({"CustID"})
             .index({"PlanDate"});

    // Reference dictionaries
    t << dictionary("tblCustDist", "DistID", "DistName", "DistColor");
    t << dictionary("tblCountry", "CountryID", "CountryName", "CountryColor", {text("Continent", 10)});
    t << dictionary("tblFinanceOrgan", "OrganID", "OrganName", {});
    t << dictionary("tblVocation", "VocationId", "VocationName", "VocationColor");
    t << dictionary("tblOperateType", "TypeID", "TypeName", "TypeColor");
    t << dictionary("tblOperateOrigin", "OriginID", "OriginName", "OriginColor");
    t << dictionary("tblOperateState", "OperateStateID", "OperateStateName", "StateColor");
    t << dictionary("tblCustLevel", "LevelID", "LevelName", "LevelColor");
    t << dictionary("tblCustState", "StateID", "StateName", "StateColor");
    t << dictionary("tblCustOrigin", "OriginID", "OriginName", "OriginColor");
    t << dictionary("tblDepartment", "DepartmentID", "DepartmentName", {});

    // Users, rights, agency details
    ColumnDef userId = text("UserID", 30);
    userId.noCase = true;
    t << TableDef("tblUser",
                  {userId, text("UserName", 50), text("Password", 128), text("DeptID", 50), text("Duty", 50),
                   text("State", 30), text("RightID", 10), text("Memo", 50), text("SUser", 20),
                   text("SDate", 20), yesNo("Sys")})
             .unique({"UserID"});
    t << TableDef("tblUserRight",
                  {text("UserID", 30), text("RightID", 10), yesNo("Insert"), yesNo("Modify"), yesNo("Delete"),
                   yesNo("Query"), yesNo("Print")})
             .unique({"UserID", "RightID"})
             .index({"UserID"});
    t << TableDef("tblUserInfo",
                  {autoNumber("RowNo"), text("UserName", 100), text("Address", 100), text("Telephone", 50),
                   text("Fax", 50), text("PostCode", 20), text("Email", 50), text("HomePage", 100)});
    return t;
}

struct Catalog {
    QVector<TableDef> tables = buildTables();
    QHash<QString, int> byName;
    QHash<QString, ColumnDef> columns; // lower-case name -> first definition
    Catalog()
    {
        for (int i = 0; i < tables.size(); ++i) {
            byName.insert(tables[i].name().toLower(), i);
            for (const auto &c : tables[i].columns())
                if (!columns.contains(c.name.toLower()))
                    columns.insert(c.name.toLower(), c);
        }
        // Sums of renminbi that fixed queries name (receivables, payables).
        for (const char *name : {"sumRMB", "gathering", "Payment"})
            if (!columns.contains(QString::fromLatin1(name).toLower()))
                columns.insert(QString::fromLatin1(name).toLower(), ColumnDef{QString::fromLatin1(name), ColumnKind::Currency});
    }
};

const Catalog &catalog()
{
    static const Catalog c;
    return c;
}

QString seed(Database &db)
{
    // The built-in administrator, with every right the system knows.
    const QString adminHash = Password::hash(QStringLiteral("583920"));
    if (adminHash.isEmpty())
        return QStringLiteral("无法生成口令摘要");
    QString err = db.insertRow("tblUser", {{"UserID", "Admin"},
                                           {"UserName", QStringLiteral("系统管理员")},
                                           {"Password", adminHash},
                                           {"State", "Yes"},
                                           {"Sys", true}});
    if (!err.isEmpty())
        return err;
    for (const QString &code : Schema::rightCodes()) {
        err = db.insertRow("tblUserRight", {{"UserID", "Admin"},
                                            {"RightID", code},
                                            {"Insert", true},
                                            {"Modify", true},
                                            {"Delete", true},
                                            {"Query", true},
                                            {"Print", true}});
        if (!err.isEmpty())
            return err;
    }
    // A first palette, so that the dictionaries can be filled at once.
    for (int rgb : {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x000080, 0x008000, 0x800000,
                    0x008080, 0x800080, 0x808000, 0xC0C0C0, 0x808080, 0x4080FF, 0xFF8040}) {
        err = db.insertRow("tblColor", {{"ColorID", rgb}});
        if (!err.isEmpty())
            return err;
    }
    err = db.insertRow("tblCountry", {{"CountryID", "CN"},
                                      {"CountryName", QStringLiteral("中国")},
                                      {"Continent", QStringLiteral("亚洲")},
                                      {"Memo", QStringLiteral("中国")}});
    if (!err.isEmpty())
        return err;
    return db.insertRow("tblCurrencyRate", {{"CurrID", "RMB"},
                                            {"CurrName", QStringLiteral("人民币")},
                                            {"Rate", 1.0},
                                            {"Memo", QStringLiteral("人民币")}});
}

// Version 2: contract amounts and money lines are exact. SQLite keeps them
// as whole ten-thousandths (the old REAL columns keep their affinity, and
// whole numbers in them stay exact), PostgreSQL as NUMERIC.
QString moneyExact(Database &db)
{
    const QList<QPair<QString, QStringList>> columns{
        {"tblOperates", {"CompactAmount", "Profit", "RMB"}},
        {"tblOperateDetail", {"Price", "Amount", "DTotal", "RMB"}}};
    for (const auto &[table, cols] : columns) {
        for (const QString &c : cols) {
            const QString sql = db.isPostgres()
                ? QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE NUMERIC(19,4) USING round(%2::numeric, 4)").arg(table, c)
                : QStringLiteral("UPDATE %1 SET %2 = round(%2 * 10000) WHERE %2 IS NOT NULL").arg(table, c);
            if (QString err = db.exec(sql); !err.isEmpty())
                return err;
        }
    }
    return {};
}

// Version 3: names are found by pinyin. Each searched name column gets its
// hidden key column, worked out here for the rows an agency already has.
QString pinyinKeys(Database &db)
{
    for (const TableDef &t : Schema::tables()) {
        if (!t.hasSearchKeys())
            continue;
        // A file of an older version may carry the columns already (a
        // backup put together by hand): they are taken, their keys made anew.
        QSqlQuery q(db.sql());
        if (!q.exec(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(t.name())))
            return db.errorText(q.lastError());
        const QSqlRecord present = q.record();
        for (const ColumnDef &c : t.columns()) {
            if (c.searchKeyOf.isEmpty() || present.indexOf(c.name) >= 0)
                continue;
            const QString sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(t.name(), db.dialect().columnType(c));
            if (QString err = db.exec(sql); !err.isEmpty())
                return err;
        }
        if (QString err = SearchKeys::fill(db, t, true); !err.isEmpty())
            return t.name() + QStringLiteral("：") + err;
    }
    return {};
}

// Numbered migrations: entry i brings a database from version i+1 to i+2.
// Version 1 is the initial schema made by create().
using Migration = QString (*)(Database &);
const QVector<Migration> &migrations()
{
    static const QVector<Migration> list{&moneyExact, &pinyinKeys};
    return list;
}

} // namespace

namespace Schema {

const QVector<TableDef> &tables() { return catalog().tables; }

const TableDef *table(const QString &name)
{
    const auto &c = catalog();
    const auto it = c.byName.constFind(name.toLower());
    return it == c.byName.constEnd() ? nullptr : &c.tables[*it];
}

QString canonicalColumn(const QString &name)
{
    const ColumnDef *c = anyColumn(name);
    return c ? c->name : name;
}

const ColumnDef *anyColumn(const QString &name)
{
    const auto &c = catalog();
    const auto it = c.columns.constFind(name.toLower());
    return it == c.columns.constEnd() ? nullptr : &*it;
}

const QStringList &rightCodes()
{
    static const QStringList codes = [] {
        QStringList l;
        for (int i = 101; i <= 107; ++i)
            l << QString::number(i);
        for (int i = 202; i <= 212; ++i)
            l << QString::number(i);
        l << "301" << "302" << "304" << "305" << "306" << "307";
        for (int i = 401; i <= 414; ++i)
            l << QString::number(i);
        l << "501" << "502" << "503" << "303" << "601" << "201";
        for (int i = 602; i <= 605; ++i)
            l << QString::number(i);
        return l;
    }();
    return codes;
}

bool hasAnyTable(Database &db)
{
    const QStringList existing = db.tableNames();
    for (const QString &name : existing) {
        if (table(name) || name.compare(kVersionTable, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString create(Database &db)
{
    if (hasAnyTable(db))
        return QStringLiteral("数据库中已有数据表，拒绝覆盖");
    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    QStringList statements;
    for (const TableDef &t : tables())
        statements << db.dialect().createStatements(t);
    statements << QStringLiteral("CREATE TABLE %1 (Version INTEGER NOT NULL)").arg(kVersionTable);
    for (const QString &sql : statements) {
        const QString err = db.exec(sql);
        if (!err.isEmpty())
            return err;
    }
    QString err = db.exec(QStringLiteral("INSERT INTO %1 (Version) VALUES (%2)").arg(kVersionTable).arg(kVersion));
    if (err.isEmpty())
        err = seed(db);
    if (err.isEmpty())
        err = tx.commit();
    return err;
}

int storedVersion(Database &db)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT Version FROM %1").arg(kVersionTable)) || !q.next())
        return 0;
    return q.value(0).toInt();
}

QString migrate(Database &db)
{
    const int from = storedVersion(db);
    if (from == 0)
        return QStringLiteral("数据库缺少版本信息，不是本系统的数据库");
    // A generate or import marks its database whole only at the end.
    if (from < 0)
        return QStringLiteral("数据库没有生成完毕（生成或导入中途停止了），不能使用；请删除它后重新生成或导入");
    if (from > kVersion)
        return QStringLiteral("数据库版本 %1 高于本程序支持的版本 %2，请升级程序").arg(from).arg(kVersion);
    for (int v = from; v < kVersion; ++v) {
        Transaction tx(db);
        if (!tx.ok())
            return tx.error();
        QString err = migrations().at(v - 1)(db);
        if (err.isEmpty())
            err = db.exec(QStringLiteral("UPDATE %1 SET Version = %2").arg(kVersionTable).arg(v + 1));
        if (err.isEmpty())
            err = tx.commit();
        if (!err.isEmpty())
            return err;
    }
    return {};
}

} // namespace Schema
