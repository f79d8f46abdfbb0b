#include "customers/tfrmcustomernew1.h"

#include "customers/customerfields.h"
#include "data/sharedsets.h"
#include "ui/folderfollow.h"

namespace {
RecordDialogDesc customerDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmCustomerNew1");
    d.caption = QStringLiteral("客户资料");
    d.dataset = Sets::kCustomerNames;
    d.rightCode = QStringLiteral("301");
    d.logPrefix = QStringLiteral("客户业务管理-客户资料");
    d.closeQuestion = QStringLiteral("客户资料数据尚未保存，保存吗？");
    d.form = CustomerFields::form(CustomerFields::Place::Dialog);
    return d;
}
} // namespace

TfrmCustomerNew1::TfrmCustomerNew1(QWidget *parent)
    : RecordDialog(customerDialog(), parent),
      m_fields(new CustomerFields(form(), dataset(), CustomerFields::Place::Dialog))
{
}

void TfrmCustomerNew1::afterNew()
{
    m_fields->applyDistrictRule();
}

void TfrmCustomerNew1::afterShow()
{
    m_fields->applyDistrictRule();
}

void TfrmCustomerNew1::beforeStore()
{
    followFolder(m_fields->folder());
}
