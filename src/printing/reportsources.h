#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class Dataset;
class TdmMain;

// Which dataset of the data module each shipped template is filled from,
// as the print commands of the windows hand it over.
namespace ReportSources {

struct Source {
    QString templateName; // without .frf
    QString dataset;      // catalogue name in the data module
    // For sets that follow a master row in the windows (the current
    // customer's contacts, the current contract's money lines): the key
    // that the template groups on, and the order in which every row of the
    // set is read when the template prints without a window.
    QStringList fullOrder;
};

const QVector<Source> &all();
const Source *find(const QString &templateName);

// The receivables or payables summary: one row per contract with money
// lines, what has come in (or gone out) and what is still outstanding.
QString summarySql(bool payables);

// Opens the template's dataset as a system user sees it in full: no
// per-user filter, no search, a detail set with every row of every master
// rather than the current master's. nullptr with the reason when it cannot
// be read.
Dataset *openInFull(TdmMain &dm, const QString &templateName, QString *error);

} // namespace ReportSources
