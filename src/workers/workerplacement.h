#pragma once

#include <QString>

class Dataset;

// A worker works for one customer at a time. Placing one who already works
// for another customer asks first, so that a slip in the customer field
// does not silently take a worker away from a household.
namespace WorkerPlacement {
// "该员工已在客户 X 处受聘，确定要重新安排吗？"
QString question(const QString &customer);

// Whether the worker in hand should be asked about: it was stored with a
// customer and now names another one.
bool movesToAnotherCustomer(Dataset *workers);

// Asks when the worker moves to another customer (naming the customer
// it leaves by the name the user may see, else by its code). On No the
// worker's customer goes back to the stored one. True when the worker may
// keep the customer it now names.
bool confirm(Dataset *workers);
} // namespace WorkerPlacement
