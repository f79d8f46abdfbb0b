#pragma once

#include <QString>

// Which record a customer picker was opened for: one text for the whole
// run that the opening window sets just before it shows
// TfrmCustomerQuery or TfrmCustomerQuery1. It keeps its last value until
// the next opener sets it. The picker only writes when the text is one of
// its own values; where it writes is always the target its caller handed
// it (see customerpicker.h), never a place derived from this text.
QString &customerPickerContext();

namespace PickerContext {
// TfrmCustomerQuery: the contact's customer (contact module).
inline const QString kContact = QStringLiteral("联系人详细资料");
// TfrmCustomerQuery1: the contract's customer (contract list).
inline const QString kContractCustomer = QStringLiteral("相关客户");
// TfrmCustomerQuery1: the contract's linked customer (contract list).
inline const QString kContractLinkCustomer = QStringLiteral("联系客户");
// TfrmCustomerQuery1: the linked customer in the contract dialogs.
inline const QString kContractDialogLinkCustomer = QStringLiteral("联系客户1");
} // namespace PickerContext
