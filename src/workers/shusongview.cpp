#include "workers/shusongview.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "workers/tfrmshusong.h"

ShusongView::ShusongView(Database *db, QWidget *parent)
    : RecordView(new Dataset(db, QStringLiteral("ShusongView"), Schema::table(QStringLiteral("tblShusong"))),
                 QStringLiteral("ShusongID"), TfrmShusong::description().form, parent)
{
    setObjectName(QStringLiteral("ShusongPage"));
}

void ShusongView::showUnit(const QString &code)
{
    // The data module's connection of today: a server change replaces it.
    TdmMain *dm = TdmMain::instance();
    showRecord(code, dm ? dm->dataset(Sets::kUnitNames)->database() : nullptr);
}
