#pragma once

#include "ui/recorddialog.h"

class CustomerFields;

// "客户资料": one customer of the second customer set, the set the
// customer pickers show, edited in a modal dialog. The caller positions
// the set first: on a new row for "新增", on the chosen customer for
// "详细资料" (shown without editing it until a field is changed).
class TfrmCustomerNew1 : public RecordDialog
{
    Q_OBJECT
public:
    explicit TfrmCustomerNew1(QWidget *parent = nullptr);

    CustomerFields *fields() const { return m_fields; }

protected:
    void afterNew() override;
    void afterShow() override;
    void beforeStore() override;

private:
    CustomerFields *m_fields;
};
