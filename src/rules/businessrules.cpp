#include "rules/businessrules.h"

#include "contacts/data/contactrules.h"
#include "contracts/data/contractrules.h"
#include "customers/data/customerrules.h"
#include "data/dmmain.h"
#include "schedule/data/schedulerules.h"
#include "staff/data/staffrules.h"
#include "workers/data/workerrules.h"

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

void installBusinessRulesOnNewModules() { TdmMain::setModuleSetup(&installBusinessRules); }
