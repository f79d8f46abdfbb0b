#pragma once

#include "printing/preparedreport.h"
#include "printing/reporttemplate.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>

class Dataset;

// Answers the name of another dataset that a template reads, such as
// tblUserInfo for the agency's own name and address.
using DatasetResolver = std::function<Dataset *(const QString &name)>;

// Fills a template from the rows of a dataset and cuts the result into
// pages: bands are placed one below the other, headers and footers repeat
// on every page, groups break where their field changes. The other
// datasets the template reads are opened first when they are closed.
class ReportLayout
{
public:
    ReportLayout(const ReportTemplate &t, Dataset *data, DatasetResolver resolver = {});

    // What one run may make: a template over many rows could otherwise
    // fill the memory before the first page shows. Beyond any of them the
    // run stops and tooLarge() says why.
    static constexpr int kMaxPages = 10000;
    static constexpr qint64 kMaxPrimitives = 1000000;
    static constexpr qint64 kMaxTextChars = 50000000;

    void setPrintTime(const QDateTime &at) { m_printTime = at; }
    PreparedReport prepare();
    // Empty unless the last prepare() stopped at a bound; its pages are
    // then dropped.
    const QString &tooLarge() const { return m_tooLarge; }

private:
    struct Range {
        int from = 0, to = 0; // rows [from, to)
    };

    void openOtherDatasets();
    void newPage();
    void closePage();
    void placeBand(const ReportBand &b, int row, Range range);
    void ensureRoom(double height);
    void placeItems(const QVector<ReportItem> &items, double left, double top, int row, Range range);
    QString evaluate(const QVector<TextPart> &parts, int row, Range range, bool *pageDependent);
    QString aggregate(const TextPart &p, Range range);
    QVariant fieldValue(const QString &field, int row);
    QString groupKey(const QString &field, int row);
    void layOutBands();
    void layOutLabels();

    const ReportTemplate &m_t;
    Dataset *m_data;
    DatasetResolver m_resolver;
    QDateTime m_printTime;
    QHash<QString, int> m_fieldIndex; // lower-case name -> column, -1 unknown

    PreparedReport m_out;
    QSizeF m_page;
    double m_y = 0;        // where the next band goes
    double m_bodyTop = 0;  // below the headers of this page
    double m_limit = 0;    // above the page footer
    bool m_inData = false; // column headers repeat while rows are printing
    int m_rows = 0;
    QVector<int> m_pending; // primitives of the page that await [Page]/[Pages]
    QVector<QPair<int, int>> m_pageDependent; // (page, primitive)
    qint64 m_primitives = 0;
    qint64 m_textChars = 0;
    QString m_tooLarge;
};
