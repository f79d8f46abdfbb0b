#pragma once

#include <QString>
#include <QStringList>

// The shared sets of the data module (TdmMain) by name and role. Several
// sets read the same table for different purposes; a window names the set
// whose purpose it has, never a bare string. The values are the catalogue
// names TdmMain builds its sets under.
namespace Sets {

// Dictionaries: each edited in its own window, read by combos and names.
inline const QString kColors = QStringLiteral("tblColor");                   // the colours a colour field names
inline const QString kCountries = QStringLiteral("tblCountry");              // a customer's country
inline const QString kDistricts = QStringLiteral("tblCustDist");             // a customer's district
inline const QString kCustomerLevels = QStringLiteral("tblCustLevel");       // a customer's level
inline const QString kCustomerOrigins = QStringLiteral("tblCustOrigin");     // where a customer came from
inline const QString kCustomerStates = QStringLiteral("tblCustState");       // a customer's state
inline const QString kCustomerTypes = QStringLiteral("tblVocation");         // a customer's type
inline const QString kDepartments = QStringLiteral("tblDepartment");         // the departments of staff, workers, users
inline const QString kFinanceOrgans = QStringLiteral("tblFinanceOrgan");     // a customer's bank
inline const QString kContractOrigins = QStringLiteral("tblOperateOrigin");  // where a contract came from
inline const QString kContractStates = QStringLiteral("tblOperateState");    // a contract's state
inline const QString kContractTypes = QStringLiteral("tblOperateType");      // a contract's type
inline const QString kCurrencies = QStringLiteral("tblCurrencyRate");        // currencies and their rates to renminbi
inline const QString kTrades = QStringLiteral("tblGongzhong");               // a worker's trade
inline const QString kSkillLevels = QStringLiteral("tblJineng");             // a worker's skill level
inline const QString kHealthChecks = QStringLiteral("tblTijian");            // a worker's health check

// Customers.
// The customer list a window filters: the customer window's list and its
// searches; contacts, contracts, contact history, extra information and
// placed workers of its current customer follow it.
inline const QString kCustomerList = QStringLiteral("tblCustomers");
// The customers the current user may see: every customer name shown
// elsewhere is read here, the pickers and the quick search filter it, the
// customer dialog stores through it.
inline const QString kCustomerNames = QStringLiteral("tblCustomers2");
// Every customer whatever the user: the linked customer of a contract.
inline const QString kAllCustomers = QStringLiteral("qryCustomers1");
// Every customer whatever the user: the customer name and address that
// labels and mailings give each contact.
inline const QString kContactCustomers = QStringLiteral("lkpCustomers");
// The codes of every customer and nothing else.
inline const QString kCustomerCodes = QStringLiteral("qryCustLookup");
// The contact history of the customer list's current customer.
inline const QString kCustomerHistory = QStringLiteral("tblCustomerState");
// The extra information of the customer list's current customer.
inline const QString kCustomerExtras = QStringLiteral("tblCustomerAddInfo");

// Contacts.
// The contacts of the customer list's current customer.
inline const QString kCustomerContacts = QStringLiteral("tblLinkmans");
// The contacts of the current customer among kCustomerNames: the contract
// window's contact list.
inline const QString kNamedCustomerContacts = QStringLiteral("tblLinkmans2");
// The contact window's list.
inline const QString kContactList = QStringLiteral("qryLinkmans1");
// The contacts a contact search chose: mass mail and envelope labels.
inline const QString kContactSelection = QStringLiteral("qryLinkmans3");
// Every contact: the contact name of a contract, among its customer's.
inline const QString kContactNames = QStringLiteral("lkpLinkmans");

// Contracts.
// The contracts of the customer list's current customer.
inline const QString kCustomerContracts = QStringLiteral("tblOperates");
// The contract list a window filters: the contract window's list, the
// staff window's contract page and the daily agenda's contracts.
inline const QString kContractList = QStringLiteral("tblOperates2");
// The money lines of the contract list's current contract.
inline const QString kMoneyLines = QStringLiteral("tblOperateDetail");
// Every money line, following no contract.
inline const QString kAllMoneyLines = QStringLiteral("tblOperateDetail1");
// Every contract by a statement of its own, with the contract list's names.
inline const QString kContractInfo = QStringLiteral("qryOperateInfo");
// The receivables and the payables statements.
inline const QString kReceivables = QStringLiteral("qryGathering");
inline const QString kPayables = QStringLiteral("qryPayment");

// Staff.
// The staff window's list; every staff name shown elsewhere is read here.
inline const QString kStaff = QStringLiteral("tblOperaters");
// The contact history as the staff tracking window annotates it.
inline const QString kStaffTracking = QStringLiteral("tblOperaterTrack");
// The contact history by a statement of its own.
inline const QString kStaffTrackingQuery = QStringLiteral("qryOperaterTrack");

// Schedule.
// The schedule: every appointment, a period's or the agenda's day.
inline const QString kPlans = QStringLiteral("qryPlan");
// The notices of the bulletin board and the daily agenda.
inline const QString kNotices = QStringLiteral("tblBoard");

// Workers and units.
// The worker window's list.
inline const QString kWorkers = QStringLiteral("tblYuangong");
// The workers placed with the customer list's current customer.
inline const QString kPlacedWorkers = QStringLiteral("tblYuangong1");
// The unit window's list.
inline const QString kUnits = QStringLiteral("tblShusong");
// Every unit, whatever the unit window shows: unit names and the unit combo.
inline const QString kUnitNames = QStringLiteral("tblShusong1");
// The settlements of the unit list's current unit.
inline const QString kSettlements = QStringLiteral("tblShusongYJ");

// Administration.
inline const QString kUsers = QStringLiteral("tblUser");            // the users
inline const QString kUserRights = QStringLiteral("tblUserRight");  // every user's rights
inline const QString kAgency = QStringLiteral("tblUserInfo");       // the agency's own details
inline const QString kLog = QStringLiteral("tblLog");               // the system log

// Query sets whose statement is set when they are run.
inline const QString kAssignUpdate = QStringLiteral("qryAssignUpdate");
inline const QString kPubQuery = QStringLiteral("qryPubQuery");
inline const QStringList kChartQueries = {
    QStringLiteral("qryChartRegion"),        QStringLiteral("qryChartTime"),
    QStringLiteral("qryChartLevel"),         QStringLiteral("qryChartCustOrigin"),
    QStringLiteral("qryChartCustState"),     QStringLiteral("qryChartVocation"),
    QStringLiteral("qryChartOperateOrigin"), QStringLiteral("qryChartOperateType"),
    QStringLiteral("qryChartOperateSort"),   QStringLiteral("qryChartCustomerSort"),
    QStringLiteral("qryChartOperaterSort"),  QStringLiteral("qryChartPayment"),
    QStringLiteral("qryChartGathering"),     QStringLiteral("qryChartInOut")};

// Every name above: the data module holds exactly these sets.
inline QStringList all()
{
    return QStringList{kColors,           kCountries,          kDistricts,        kCustomerLevels,
                       kCustomerOrigins,  kCustomerStates,     kCustomerTypes,    kDepartments,
                       kFinanceOrgans,    kContractOrigins,    kContractStates,   kContractTypes,
                       kCurrencies,       kTrades,             kSkillLevels,      kHealthChecks,
                       kCustomerList,     kCustomerNames,      kAllCustomers,     kCustomerCodes,
                       kCustomerHistory,  kCustomerExtras,     kCustomerContacts, kNamedCustomerContacts,
                       kContactList,      kContactSelection,   kContactNames,     kCustomerContracts,
                       kContractList,     kMoneyLines,         kAllMoneyLines,    kContractInfo,
                       kReceivables,      kPayables,           kStaff,            kStaffTracking,
                       kStaffTrackingQuery, kPlans,            kNotices,          kWorkers,
                       kPlacedWorkers,    kUnits,              kUnitNames,        kSettlements,
                       kUsers,            kUserRights,         kAgency,           kLog,
                       kAssignUpdate,     kPubQuery}
        + kChartQueries;
}

} // namespace Sets
