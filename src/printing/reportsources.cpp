#include "printing/reportsources.h"

#include "data/condition.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/receivables.h"

namespace ReportSources {

const QVector<Source> &all()
{
    static const QVector<Source> sources = {
        {"frYuangong", "tblYuangong", {}},
        {"frCustomerYuangong", "tblYuangong1", {"CustID", "YuangongID"}},
        {"frShusong", "tblShusong", {}},
        {"frShusongYJ", "tblShusongYJ", {"ShusongID", "sNo"}},
        {"frEnvelop", "qryLinkmans3", {}},
        {"frEnvelop6", "qryLinkmans3", {}},
        {"frCustomers", "tblCustomers", {}},
        {"frCustomerDetail", "tblCustomers", {}},
        {"frCustomerLinkman", "tblLinkmans", {"CustID", "LNo"}},
        {"frCustomerOperate", "tblOperates", {"CustID", "OperateID"}},
        {"frCustomerState", "tblCustomerState", {"CustID", "LinkDate", "RowNo"}},
        {"frCustomerOther", "tblCustomerAddInfo", {"CustID", "RowNo"}},
        {"frLinkmans", "qryLinkmans1", {}},
        {"frLinkmansDetail", "qryLinkmans1", {}},
        {"frOperates", "tblOperates2", {}},
        {"frOperateDetail", "tblOperateDetail", {"OperateID", "DetailNo"}},
        {"frOperateDetail1", "tblOperates", {"CustID", "OperateID"}},
        {"frOperaters", "tblOperaters", {}},
        {"frOperaterDetail", "tblOperaters", {}},
        {"frPlan", "qryPlan", {}},
        {"frPlanDetail", "qryPlan", {}},
        {"frGathering", "qryGathering", {}},
        {"frPayment", "qryPayment", {}},
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
    const bool gathering = s->dataset.compare(QLatin1String("qryGathering"), Qt::CaseInsensitive) == 0;
    if (gathering || s->dataset.compare(QLatin1String("qryPayment"), Qt::CaseInsensitive) == 0) {
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
