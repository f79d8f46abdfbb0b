#include "printing/reportsources.h"

#include "data/condition.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/receivables.h"
#include "data/sharedsets.h"

namespace ReportSources {

const QVector<Source> &all()
{
    static const QVector<Source> sources = {
        {"frYuangong", Sets::kWorkers, {}},
        {"frCustomerYuangong", Sets::kPlacedWorkers, {"CustID", "YuangongID"}},
        {"frShusong", Sets::kUnits, {}},
        {"frShusongYJ", Sets::kSettlements, {"ShusongID", "sNo"}},
        {"frEnvelop", Sets::kContactSelection, {}},
        {"frEnvelop6", Sets::kContactSelection, {}},
        {"frCustomers", Sets::kCustomerList, {}},
        {"frCustomerDetail", Sets::kCustomerList, {}},
        {"frCustomerLinkman", Sets::kCustomerContacts, {"CustID", "LNo"}},
        {"frCustomerOperate", Sets::kCustomerContracts, {"CustID", "OperateID"}},
        {"frCustomerState", Sets::kCustomerHistory, {"CustID", "LinkDate", "RowNo"}},
        {"frCustomerOther", Sets::kCustomerExtras, {"CustID", "RowNo"}},
        {"frLinkmans", Sets::kContactList, {}},
        {"frLinkmansDetail", Sets::kContactList, {}},
        {"frOperates", Sets::kContractList, {}},
        {"frOperateDetail", Sets::kMoneyLines, {"OperateID", "DetailNo"}},
        {"frOperateDetail1", Sets::kCustomerContracts, {"CustID", "OperateID"}},
        {"frOperaters", Sets::kStaff, {}},
        {"frOperaterDetail", Sets::kStaff, {}},
        {"frPlan", Sets::kPlans, {}},
        {"frPlanDetail", Sets::kPlans, {}},
        {"frGathering", Sets::kReceivables, {}},
        {"frPayment", Sets::kPayables, {}},
    };
    return sources;
}

const Source *find(const QString &templateName)
{
    QString name = templateName;
    if (name.endsWith(QLatin1String(".frf"), Qt::CaseInsensitive))
        name.chop(4);
    for (const Source &s : all())
        if (s.templateName.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

Dataset *openInFull(TdmMain &dm, const QString &templateName, QString *error)
{
    const Source *s = find(templateName);
    if (!s) {
        *error = QStringLiteral("未知的报表模板：%1").arg(templateName);
        return nullptr;
    }
    Dataset *d = dm.dataset(s->dataset);
    if (!d) {
        *error = QStringLiteral("数据集不存在：%1").arg(s->dataset);
        return nullptr;
    }
    d->close();
    d->clearFilter();
    const bool gathering = s->dataset.compare(Sets::kReceivables, Qt::CaseInsensitive) == 0;
    if (gathering || s->dataset.compare(Sets::kPayables, Qt::CaseInsensitive) == 0) {
        const Receivables::Statement st = Receivables::statement(*dm.database(), !gathering);
        d->setSql(st.sql, st.values);
    }
    if (!s->fullOrder.isEmpty()) {
        d->setMaster(nullptr, {}, {});
        d->setOrderBy(s->fullOrder);
    }
    if (!d->open() || !d->loadAllRows()) {
        *error = d->lastError();
        return nullptr;
    }
    return d;
}

} // namespace ReportSources
