#include "workers/workerplacement.h"

#include "data/recordscope.h"
#include "data/dataset.h"
#include "data/schema.h"
#include "ui/prompts.h"

namespace {
const QString kCustID = QStringLiteral("CustID");

QString customerName(Dataset *workers, const QString &code)
{
    Database *db = workers->database();
    if (!db)
        return code;
    Dataset customer(db, QStringLiteral("PlacedCustomer"), Schema::table(QStringLiteral("tblCustomers")));
    customer.setFilter(Condition::equals(QStringLiteral("CustId"), code) && ownRecordsCondition(db));
    if (!customer.open() || customer.isEmpty())
        return code;
    const QString name = customer.value(0, QStringLiteral("CustName")).toString();
    return name.isEmpty() ? code : name;
}
} // namespace

QString WorkerPlacement::question(const QString &customer)
{
    return QStringLiteral("该员工已在客户 %1 处受聘，确定要重新安排吗？").arg(customer);
}

bool WorkerPlacement::movesToAnotherCustomer(Dataset *workers)
{
    if (!workers->isActive() || workers->state() != Dataset::State::Edit)
        return false;
    const QString stored = workers->storedValue(kCustID).toString();
    const QString now = workers->value(kCustID).toString();
    return !stored.isEmpty() && !now.isEmpty() && stored != now;
}

bool WorkerPlacement::confirm(Dataset *workers)
{
    if (!movesToAnotherCustomer(workers))
        return true;
    const QString stored = workers->storedValue(kCustID).toString();
    if (Prompts::instance().askYesNo(question(customerName(workers, stored))))
        return true;
    workers->setValue(kCustID, stored);
    return false;
}
