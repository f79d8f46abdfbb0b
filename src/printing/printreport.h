#pragma once

#include "printing/reportlayout.h"

#include <QString>

class Dataset;
class QWidget;

// The one print call of the system: fills Data/Report/<templateName>.frf
// from the dataset and shows the preview, maximised and modal. A template
// that cannot be read is reported and nothing is shown. False when no
// preview was shown.
bool printReport(Dataset *data, const QString &templateName, QWidget *parent = nullptr);

// The steps of printReport without the window, for brevia-admin and tests:
// the template's path, and the prepared report (false with the message for
// the user, which names the template: one that cannot be read, or a run
// beyond ReportLayout's bounds).
QString reportTemplatePath(const QString &templateName);
bool prepareReport(Dataset *data, const QString &templateName, PreparedReport *out, QString *error,
                   const DatasetResolver &resolver = {});
// Other datasets by name from the program's data module.
DatasetResolver dataModuleResolver();
