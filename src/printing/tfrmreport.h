#pragma once

#include "printing/preparedreport.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class ReportPageView;

// The report preview ("报表预览"): zoom, print, PDF export and help above
// the scrollable pages of one prepared report.
class TfrmReport : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmReport(PreparedReport report, QWidget *parent = nullptr);

    const PreparedReport &report() const { return m_report; }
    QComboBox *zoomBox() const { return m_zoom; }
    ReportPageView *pageView() const { return m_view; }
    QScrollArea *scrollArea() const { return m_scroll; }

    void CbZoomChange();
    void BtnPrintClick();
    void BtnPdfClick();
    void BtnHelpClick();

private:
    PreparedReport m_report;
    QComboBox *m_zoom;
    QScrollArea *m_scroll;
    ReportPageView *m_view;
};
