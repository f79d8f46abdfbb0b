// The reference-data actions: each opens its fresh modal window after the
// action table has written the log line and selected the page.
#include "app/tfrmmain.h"
#include "reference/referencewindows.h"

void TfrmMain::Act_DepartmentExecute() { openReferenceWindow(QStringLiteral("TfrmDepartment"), this); }
void TfrmMain::Act_GongzhongExecute() { openReferenceWindow(QStringLiteral("TfrmGongzhong"), this); }
void TfrmMain::Act_JinengExecute() { openReferenceWindow(QStringLiteral("TfrmJineng"), this); }
void TfrmMain::Act_TijianExecute() { openReferenceWindow(QStringLiteral("TfrmTijian"), this); }
void TfrmMain::Act_RegionExecute() { openReferenceWindow(QStringLiteral("TfrmRegion"), this); }
void TfrmMain::Act_CountryExecute() { openReferenceWindow(QStringLiteral("TfrmCountry"), this); }
void TfrmMain::Act_CurrencyRateExecute() { openReferenceWindow(QStringLiteral("TfrmCurrencyRate"), this); }
void TfrmMain::Act_FinanceOrganExecute() { openReferenceWindow(QStringLiteral("TfrmFinanceOrgan"), this); }
void TfrmMain::Act_OperateStyleExecute() { openReferenceWindow(QStringLiteral("TfrmOperateStyle"), this); }
void TfrmMain::Act_OperateOriginExecute() { openReferenceWindow(QStringLiteral("TfrmOperateOrigin"), this); }
void TfrmMain::Act_OperateStateExecute() { openReferenceWindow(QStringLiteral("TfrmOperateState"), this); }
void TfrmMain::Act_CustLevelExecute() { openReferenceWindow(QStringLiteral("TfrmCustLevel"), this); }
void TfrmMain::Act_CustStateExecute() { openReferenceWindow(QStringLiteral("TfrmState"), this); }
void TfrmMain::Act_CustOriginExecute() { openReferenceWindow(QStringLiteral("TfrmCustOrigin"), this); }
void TfrmMain::Act_VocationExecute() { openReferenceWindow(QStringLiteral("TfrmVocation"), this); }
