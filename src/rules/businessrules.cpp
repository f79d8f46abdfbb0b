#include "rules/businessrules.h"

#include "contacts/contactrules.h"
#include "contracts/contractrules.h"
#include "customers/customerrules.h"
#include "data/dmmain.h"
#include "schedule/schedulerules.h"
#include "staff/staffrules.h"
#include "workers/workerrules.h"

void installBusinessRules(TdmMain &dm)
{
    for (const TableRules &r : {CustomerRules::customers(), CustomerRules::history(),
                                CustomerRules::additionalInformation(), ContactRules::linkmans(),
                                ContractRules::operates(), ContractRules::moneyLines(),
                                ContractRules::currencies(), StaffRules::operaters(), WorkerRules::yuangong(),
                                WorkerRules::shusong(), WorkerRules::shusongYJ(),
                                ScheduleRules::plans(), ScheduleRules::notices()})
        dm.installRules(r);
}

void ensureBusinessRules()
{
    if (TdmMain *dm = TdmMain::instance())
        installBusinessRules(*dm);
}
