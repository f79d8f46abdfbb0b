#include "contacts/tfrmlinkmanquery.h"

#include "contacts/tfrmlinkmanquery1.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"

namespace {
QueryDialogDesc description()
{
    const QString &none = TfrmLinkmanQuery1::kNoText;
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmLinkmanQuery");
    d.caption = QStringLiteral("联系人查询");
    d.textLabel = QStringLiteral("附加条件：");
    d.criteria = {{QStringLiteral("所有联系人")},
                  {QStringLiteral("客户资料"), QStringLiteral("CustID"), none},
                  QueryCriterion::byName(QStringLiteral("联系人资料"), QStringLiteral("Name"), none)};
    return d;
}
} // namespace

Dataset *TfrmLinkmanQuery::contacts()
{
    return TdmMain::instance()->dataset(Sets::kContactSelection);
}

TfrmLinkmanQuery::TfrmLinkmanQuery(QWidget *parent)
    : QueryDialog(description(),
                  [](const Condition &found) {
                      Dataset *set = contacts();
                      if (!refilter(set, found))
                          return set->lastError();
                      return set->isEmpty() ? TfrmLinkmanQuery1::kNothingFound : QString();
                  },
                  parent)
{
}

bool TfrmLinkmanQuery::choose(QWidget *parent)
{
    TfrmLinkmanQuery dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}

QVector<ChosenContact> TfrmLinkmanQuery::chosen()
{
    QVector<ChosenContact> out;
    Dataset *set = contacts();
    if (!set->isActive() || !set->loadAllRows())
        return out;
    out.reserve(set->rowCount());
    for (int r = 0; r < set->rowCount(); ++r) {
        auto text = [&](const char *field) { return set->value(r, QString::fromLatin1(field)).toString(); };
        out << ChosenContact{text("LinkmanID"), text("Name"),     text("NickName"), text("CustID"),
                             text("CustName"),  text("Email"),    text("PostCode"), text("Address")};
    }
    return out;
}
