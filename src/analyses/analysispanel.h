#pragma once

#include "analyses/data/analysisresult.h"
#include "ui/modulepanel.h"

class ChartView;
class DateEdit;
class QAction;
class QHBoxLayout;
class QListWidget;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollArea;

// What every analysis window shares: a bar of selection controls with its
// buttons, the chart filling the window, the list panel of text lines at
// the right, and the chart's pop-up menu ("显示列表", "隐藏列表",
// "显示导航条", "隐藏导航条", then saving and printing the chart). The
// window shows the last refresh of the run, or nothing before the first.
class AnalysisPanel : public ModulePanel
{
    Q_OBJECT
public:
    struct Options {
        QString objectName, caption;
        bool listPanel = true;     // 资金分配分析 has none
        bool navigationMenu = true; // nor the navigation entries
    };
    AnalysisPanel(const Options &options, QWidget *parent);

    // The result of one refresh: the list emptied and filled with its
    // lines, the chart with its title and points. A failure is shown in
    // the database's words, after the lines built until then; the chart
    // then keeps what it showed.
    void showResult(const AnalysisResult &result);

    void navigationShown(bool visible) override;

    ChartView *chart() const { return m_chart; }
    QListWidget *list() const { return m_list; }
    QMenu *chartMenu() const { return m_menu; }
    QAction *menuAction(const QString &objectName) const;

    void setListVisible(bool visible); // "显示列表" / "隐藏列表"
    // "保存图片...": the chart as a PNG file the user names; false when
    // given up or not written (the reason shown).
    bool saveChart();
    void printChart(QPrinter &printer) const; // the chart on one page
    void BtnCloseClick();                     // "关闭"

protected:
    // The bar: the window's selection controls go first, then its buttons.
    QHBoxLayout *bar() const { return m_bar; }
    QPushButton *addButton(const QString &objectName, const QString &text);
    void addCloseButton();
    // A "请选择时间段分析：" period, both dates never empty.
    void addPeriod(DateEdit **from, DateEdit **to);
    // The last 30 days up to today, as each opening sets them.
    static void resetPeriod(DateEdit *from, DateEdit *to);

private:
    void showMenu(const QPoint &pos);

    QHBoxLayout *m_bar;
    ChartView *m_chart;
    QScrollArea *m_scroll;
    QListWidget *m_list = nullptr;
    QMenu *m_menu;
};
