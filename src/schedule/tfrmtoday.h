#pragma once

#include <QDialog>

class DataGrid;
class Dataset;
class Form;
class QPushButton;
class QTabWidget;
class RecordNavigator;

// "今日事": what falls due today, shown after the login and from the tools
// menu: the contracts ending today (an ordinary user's own), today's
// appointments and today's notices, and, on request, the contracts ending
// within the next seven days. The filters it sets stay on the shared sets
// afterwards: the schedule and the bulletin board list today's entries
// until a query lifts them.
class TfrmToday : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmToday(QWidget *parent = nullptr);

    QTabWidget *pages() const { return m_pages; }
    DataGrid *contractGrid() const { return m_contracts; }
    DataGrid *soonGrid() const { return m_soonGrid; }
    DataGrid *planGrid() const { return m_plans; }
    DataGrid *noticeGrid() const { return m_notices; }
    Dataset *soon() const { return m_soon; }
    QPushButton *soonButton() const { return m_soonButton; }
    Form *contractForm() const { return m_contractForm; }
    Form *planForm() const { return m_planForm; }
    Form *noticeForm() const { return m_noticeForm; }
    RecordNavigator *noticeNavigator() const { return m_noticeNavigator; }

    // Applies today's filters and reads the sets (what showing does).
    void prepare();
    void showSoon(bool on); // "即将到期"

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QWidget *contractPage();
    QWidget *planPage();
    QWidget *noticePage();

    QTabWidget *m_pages;
    DataGrid *m_contracts = nullptr, *m_soonGrid = nullptr, *m_plans = nullptr, *m_notices = nullptr;
    Dataset *m_soon = nullptr;
    QPushButton *m_soonButton = nullptr;
    Form *m_contractForm = nullptr, *m_planForm = nullptr, *m_noticeForm = nullptr;
    QWidget *m_contractFields = nullptr;
    RecordNavigator *m_noticeNavigator = nullptr;
    bool m_prepared = false;
};
