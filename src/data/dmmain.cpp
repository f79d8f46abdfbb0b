#include "data/dmmain.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/schema.h"

#include <QSqlQuery>

namespace {
TdmMain *theModule = nullptr;
TdmMain::ModuleSetup theSetup = nullptr;

// Opened, in this order, every time the connection opens: the
// dictionaries and the sets that answer names everywhere.
const char *const kAfterConnect[] = {"tblCountry",      "tblCustDist",      "tblCustLevel",    "tblCustState",
                                     "tblCustOrigin",   "tblVocation",      "tblFinanceOrgan", "tblCurrencyRate",
                                     "tblOperateType",  "tblOperateOrigin", "tblOperateState", "tblBoard",
                                     "tblLinkmans2",    "qryCustomers1",    "tblOperates2",    "tblCustomers2",
                                     "tblOperaters"};

HookResult dropWithoutKey(Dataset &d, const QString &key)
{
    if (d.state() != Dataset::State::Insert)
        return HookResult::proceed();
    // A set without the key column cannot hold a proper row either.
    if (!d.hasField(key) || d.isBlank(key))
        return HookResult::drop();
    return HookResult::proceed();
}
} // namespace

TdmMain::TdmMain(QObject *parent) : QObject(parent)
{
    build();
    if (theSetup)
        theSetup(*this);
    if (!theModule)
        theModule = this;
}

TdmMain::~TdmMain()
{
    disconnectDatabase();
    if (theModule == this)
        theModule = nullptr;
}

TdmMain *TdmMain::instance() { return theModule; }

void TdmMain::setModuleSetup(ModuleSetup setup) { theSetup = setup; }

HookResult TdmMain::tblCustomersBeforePost(Dataset &d) { return dropWithoutKey(d, QStringLiteral("CustID")); }

HookResult TdmMain::tblOperates2BeforePost(Dataset &d) { return dropWithoutKey(d, QStringLiteral("OperateID")); }

Dataset *TdmMain::addTable(const QString &name, const QString &table)
{
    auto *d = new Dataset(nullptr, name, Schema::table(table), this);
    m_sets.insert(name.toLower(), d);
    m_order << name;
    return d;
}

Dataset *TdmMain::addQuery(const QString &name, const QString &sql, const QString &baseTable)
{
    auto *d = new Dataset(nullptr, name, sql, baseTable.isEmpty() ? nullptr : Schema::table(baseTable), this);
    m_sets.insert(name.toLower(), d);
    m_statements.insert(name.toLower(), sql);
    m_order << name;
    return d;
}

void TdmMain::lookup(const QString &set, const QString &field, const QString &key, const QString &source,
                     const QString &sourceKey, const QString &result)
{
    dataset(set)->addLookup(field, {key}, dataset(source), {sourceKey}, result);
}

void TdmMain::build()
{
    for (const char *t : {"tblColor", "tblCountry", "tblCustDist", "tblCustLevel", "tblCustOrigin", "tblCustState",
                          "tblDepartment", "tblFinanceOrgan", "tblOperateOrigin", "tblOperateState", "tblOperateType",
                          "tblVocation", "tblCurrencyRate", "tblGongzhong", "tblJineng", "tblTijian"})
        addTable(t, t);

    Dataset *customers = addTable("tblCustomers", "tblCustomers");
    customers->addBeforePost(&TdmMain::tblCustomersBeforePost);
    Dataset *customers2 = addTable("tblCustomers2", "tblCustomers");
    customers2->addBeforePost(&TdmMain::tblCustomersBeforePost);
    addQuery("qryCustomers1", "select * from tblCustomers", "tblCustomers");
    addQuery("qryCustLookup", "select custID from tblCustomers");
    addTable("tblCustomerState", "tblCustomerState")->setMaster(customers, "CustId", "CustID");
    addTable("tblCustomerAddInfo", "tblCustomerAddInfo")->setMaster(customers, "CustId", "CustID");
    addTable("tblLinkmans", "tblLinkmans")->setMaster(customers, "CustId", "CustID");
    addTable("tblLinkmans2", "tblLinkmans")->setMaster(customers2, "CustId", "CustID");
    // The contact list: a table set, so that sorting and grouping read one
    // column of every contact instead of every contact page by page.
    addTable("qryLinkmans1", "tblLinkmans");
    addQuery("qryLinkmans3", "select * from tblLinkmans", "tblLinkmans");
    Dataset *operates = addTable("tblOperates", "tblOperates");
    operates->setMaster(customers, "CustId", "CustID");
    operates->setOrderBy({"CustID"});
    Dataset *operates2 = addTable("tblOperates2", "tblOperates");
    operates2->addBeforePost(&TdmMain::tblOperates2BeforePost);
    addTable("tblOperateDetail", "tblOperateDetail")->setMaster(operates2, "OperateID", "OperateID");
    addTable("tblOperateDetail1", "tblOperateDetail");
    addQuery("qryOperateInfo", "select * from tblOperates", "tblOperates");
    addQuery("qryGathering", {});
    addQuery("qryPayment", {});
    addTable("tblOperaters", "tblOperaters");
    // Staff tracking annotates the contacts that are there; a row it would
    // add could only be an empty contact.
    addTable("tblOperaterTrack", "tblCustomerState")->addBeforePost([](Dataset &d) {
        return d.state() == Dataset::State::Insert ? HookResult::drop() : HookResult::proceed();
    });
    addQuery("qryOperaterTrack", "select * from tblCustomerState", "tblCustomerState");
    addQuery("qryPlan", "select * from tblPlan", "tblPlan");
    addTable("tblYuangong", "tblYuangong");
    Dataset *workers1 = addTable("tblYuangong1", "tblYuangong");
    workers1->setMaster(customers, "CustId", "CustID");
    workers1->setOrderBy({"CustID"});
    Dataset *units = addTable("tblShusong", "tblShusong");
    addTable("tblShusong1", "tblShusong");
    addTable("tblShusongYJ", "tblShusongYJ")->setMaster(units, "ShusongID", "ShusongID");
    addTable("tblUser", "tblUser");
    addTable("tblUserRight", "tblUserRight");
    addTable("tblUserInfo", "tblUserInfo");
    addTable("tblLog", "tblLog");
    addTable("tblBoard", "tblBoard");
    for (const char *q : {"qryAssignUpdate", "qryPubQuery", "qryChartRegion", "qryChartTime", "qryChartLevel",
                          "qryChartCustOrigin", "qryChartCustState", "qryChartVocation", "qryChartOperateOrigin",
                          "qryChartOperateType", "qryChartOperateSort", "qryChartCustomerSort",
                          "qryChartOperaterSort", "qryChartPayment", "qryChartGathering", "qryChartInOut"})
        addQuery(q, {});
    // Contact names are looked up among the contacts of the row's own
    // customer, over every contact rather than the current customer's only.
    Dataset *allContacts = new Dataset(nullptr, "lkpLinkmans", Schema::table("tblLinkmans"), this);
    m_sets.insert(QStringLiteral("lkplinkmans"), allContacts);

    // Display fields.
    for (const char *set : {"tblCustomers", "tblCustomers2"}) {
        lookup(set, "CountryName", "CountryID", "tblCountry", "CountryID", "CountryName");
        lookup(set, "DistName", "DistID", "tblCustDist", "DistID", "DistName");
        lookup(set, "VocationName", "VocationId", "tblVocation", "VocationId", "VocationName");
        lookup(set, "OriginName", "OriginID", "tblCustOrigin", "OriginID", "OriginName");
        lookup(set, "LevelName", "LevelID", "tblCustLevel", "LevelID", "LevelName");
        lookup(set, QLatin1String(set) == QLatin1String("tblCustomers") ? "State" : "StateName", "StateId",
               "tblCustState", "StateID", "StateName");
        lookup(set, "Operater", "OperaterID", "tblOperaters", "OperaterID", "Name");
    }
    lookup("tblCustomerAddInfo", "OrganName", "BankID", "tblFinanceOrgan", "OrganID", "OrganName");
    // The per-customer printouts head each customer with its name.
    for (const char *set : {"tblLinkmans", "tblLinkmans2", "qryLinkmans1", "tblCustomerState", "tblCustomerAddInfo"})
        lookup(set, "CustName", "CustID", "tblCustomers2", "CustId", "CustName");
    // Labels and mailings go to every contact: each carries its customer's
    // name and address whoever created that customer, so these are read
    // from every customer, not from the user's own.
    Dataset *allCustomers = new Dataset(nullptr, "lkpCustomers", Schema::table("tblCustomers"), this);
    m_sets.insert(QStringLiteral("lkpcustomers"), allCustomers);
    for (const char *field : {"CustName", "PostCode", "Address"})
        dataset("qryLinkmans3")->addLookup(field, {"CustID"}, allCustomers, {"CustId"}, field);
    // The staff window's contract page (qryOperateInfo) shows the same names.
    for (const char *set : {"tblOperates", "tblOperates2", "qryOperateInfo"}) {
        lookup(set, "CustName", "CustID", "tblCustomers2", "CustId", "CustName");
        lookup(set, "LinkCustName", "LinkCustID", "tblCustomers2", "CustId", "CustName");
        lookup(set, "OriginName", "OriginId", "tblOperateOrigin", "OriginID", "OriginName");
        lookup(set, "TypeName", "TypeID", "tblOperateType", "TypeID", "TypeName");
        lookup(set, "OperaterName", "OperaterID", "tblOperaters", "OperaterID", "Name");
        lookup(set, "OperateStateName", "OperateStateID", "tblOperateState", "OperateStateID", "OperateStateName");
        lookup(set, "CurrName", "CurrID", "tblCurrencyRate", "CurrID", "CurrName");
        dataset(set)->addLookup("LinkmanName", {"CustID", "LinkmanID"}, allContacts, {"CustID", "LinkmanID"}, "Name");
    }
    lookup("tblOperaters", "Department", "DepartmentID", "tblDepartment", "DepartmentID", "DepartmentName");
    for (const char *set : {"tblYuangong", "tblYuangong1"}) {
        lookup(set, "Department", "DepartmentID", "tblDepartment", "DepartmentID", "DepartmentName");
        lookup(set, "GongzhongName", "GongzhongID", "tblGongzhong", "GongzhongID", "GongzhongName");
        lookup(set, "ShusongName", "ShusongID", "tblShusong1", "ShusongID", "ShusongName");
        // Through the pickers' set, as every other record names its customer:
        // the customer window's own set follows that window's searches, and a
        // worker list printed after one lost the names of the others.
        lookup(set, "CustName", "CustID", "tblCustomers2", "CustId", "CustName");
        lookup(set, "LevelName", "LevelID", "tblJineng", "LevelID", "LevelName");
        lookup(set, "TJMS", "TJID", "tblTijian", "TJID", "TJMS");
    }
    lookup("tblShusongYJ", "ShusongName", "ShusongID", "tblShusong1", "ShusongID", "ShusongName");
    lookup("qryPlan", "CustName", "CustID", "tblCustomers2", "CustId", "CustName");
    lookup("tblOperaterTrack", "CustName", "CustID", "tblCustomers2", "CustId", "CustName");
    // The staff member responsible for the customer, not who wrote the contact down.
    lookup("tblOperaterTrack", "Operater", "CustID", "tblCustomers2", "CustId", "Operater");
    lookup("tblUser", "DeptName", "DeptID", "tblDepartment", "DepartmentID", "DepartmentName");

    // In catalogue order, so that every run tells the sets in the same order.
    for (const QString &name : std::as_const(m_order))
        m_peers.add(dataset(name));
    for (Dataset *d : std::as_const(m_sets))
        m_peers.add(d);
}

void TdmMain::installRules(const TableRules &rules)
{
    const QString key = rules.table.toLower();
    if (m_rules.contains(key))
        return;
    m_rules.insert(key, rules);
    for (Dataset *d : std::as_const(m_sets)) {
        if (!d->table() || d->table()->name().compare(rules.table, Qt::CaseInsensitive) != 0)
            continue;
        d->addBeforePost([this, key](Dataset &set) {
            const TableRules &r = m_rules[key];
            // Before anything else: a user without the flag stores nothing,
            // whatever window, grid or key the row came through.
            if (set.isEditing() && !flagsAllowStore(r.rights, set.state()))
                return HookResult::refuse(set.state() == Dataset::State::Insert ? kNoInsertFlag : kNoModifyFlag);
            for (const Dataset::Hook &h : r.beforePost) {
                const HookResult result = h(set);
                if (result.kind != HookResult::Proceed)
                    return result;
            }
            // The code of a stored record that others still name stays.
            if (set.state() != Dataset::State::Edit || r.keyField.isEmpty() || !set.database())
                return HookResult::proceed();
            const QVariant stored = set.storedValue(r.keyField);
            if (stored.toString() == set.value(r.keyField).toString())
                return HookResult::proceed();
            QString error;
            if (r.codeInUse(*set.database(), stored, &error))
                return HookResult::refuse(error.isEmpty() ? kCodeInUse : error, r.keyField);
            return HookResult::proceed();
        });
    }
}

const TableRules *TdmMain::rules(const QString &table) const
{
    auto it = m_rules.constFind(table.toLower());
    return it == m_rules.constEnd() ? nullptr : &it.value();
}

Dataset *TdmMain::dataset(const QString &name) const
{
    return m_sets.value(name.toLower(), nullptr);
}

void TdmMain::restoreStatement(const QString &name)
{
    if (Dataset *d = dataset(name); d && m_statements.contains(name.toLower())) {
        d->close();
        d->setSql(m_statements.value(name.toLower()));
    }
}

QStringList TdmMain::datasetNames() const
{
    return m_order;
}

QString TdmMain::connectTo(std::unique_ptr<Database> db)
{
    disconnectDatabase();
    m_db = std::move(db);
    for (Dataset *d : std::as_const(m_sets))
        d->setDatabase(m_db.get());
    QStringList names;
    for (const char *name : kAfterConnect)
        names << QString::fromLatin1(name);
    // The sources their names come from open with them.
    names << QStringLiteral("tblDepartment") << QStringLiteral("lkpLinkmans");
    QString err;
    if (!openTogether(names, &err)) {
        disconnectDatabase();
        return err;
    }
    emit connected();
    return {};
}

bool TdmMain::openTogether(const QStringList &names, QString *error)
{
    if (!m_db)
        return false;
    QList<QPair<QString, QVariantList>> reads;
    for (const QString &name : names) {
        QVariantList values;
        Dataset *d = dataset(name);
        const QString sql = d ? d->openStatement(&values) : QString();
        if (!sql.isEmpty())
            reads.append({sql, values});
    }
    m_db->prefetch(reads);
    bool ok = true;
    for (const QString &name : names) {
        Dataset *d = dataset(name);
        if (d && !d->isActive() && !d->open()) {
            if (error)
                *error = d->lastError();
            ok = false;
            break;
        }
    }
    m_db->prefetch({}); // what was not read now would be stale later
    return ok;
}

QString TdmMain::storePendingEdits()
{
    QStringList names = m_sets.keys();
    names.sort(); // the same order on every run
    for (const QString &name : std::as_const(names)) {
        Dataset *d = m_sets.value(name);
        if (d && d->isEditing() && !d->post())
            return d->lastError().isEmpty() ? QStringLiteral("对不起，数据没有保存！") : d->lastError();
    }
    return {};
}

void TdmMain::disconnectDatabase()
{
    if (!m_db)
        return;
    for (Dataset *d : std::as_const(m_sets))
        d->setDatabase(nullptr);
    m_db.reset();
    emit disconnected();
}
