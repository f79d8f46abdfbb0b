#include "printing/reportsources.h"

#include "data/condition.h"
#include "data/dataset.h"
#include "data/dmmain.h"

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

QString summarySql(bool payables)
{
    // The statement of the receivables and payables windows, line for line.
    return QStringLiteral(
               "SELECT tblOperates.OperateID,tblOperates.OperateTitle,tblOperates.CustID,tblCustomers.CustName, "
               "tblOperates.WriteDate,tblOperates.CurrID,tblOperates.CompactAmount,tblOperates.RMB,"
               "tblOperates.EndDate,sum(tblOperateDetail.RMB) as sumRMB,(tblOperates.RMB-sum(tblOperateDetail.RMB)) as %1  "
               " FROM (tblOperates Inner JOIN tblOperateDetail ON tblOperates.OperateID = tblOperateDetail.OperateID) "
               " INNER JOIN tblCustomers ON tblOperates.CustID = tblCustomers.CustId "
               " where (tblOperates.InorOut='%2')"
               " group by tblOperates.OperateID,tblOperates.OperateTitle,tblOperates.CustID,tblCustomers.CustName,"
               " tblOperates.WriteDate,tblOperates.CurrID,tblOperates.CompactAmount,tblOperates.RMB,tblOperates.EndDate")
        .arg(payables ? QStringLiteral("Payment") : QStringLiteral("gathering"),
             payables ? QStringLiteral("付款") : QStringLiteral("收款"));
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
    if (s->dataset.compare(QLatin1String("qryGathering"), Qt::CaseInsensitive) == 0)
        d->setSql(summarySql(false));
    else if (s->dataset.compare(QLatin1String("qryPayment"), Qt::CaseInsensitive) == 0)
        d->setSql(summarySql(true));
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
