#include "analyses/analysispanel.h"

#include "analyses/chartview.h"
#include "data/clock.h"
#include "data/outputfile.h"
#include "ui/dateedit.h"
#include "ui/prompts.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

AnalysisPanel::AnalysisPanel(const Options &options, QWidget *parent) : ModulePanel(parent)
{
    setObjectName(options.objectName);
    setWindowTitle(options.caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_bar = new QHBoxLayout;
    m_bar->setSpacing(6);
    layout->addLayout(m_bar);

    auto *body = new QHBoxLayout;
    body->setSpacing(4);
    layout->addLayout(body, 1);
    // Many bars make the chart wider than the window; it scrolls then.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ChartArea"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::StyledPanel);
    m_chart = new ChartView;
    m_chart->setAccessibleName(options.caption + QStringLiteral("图表"));
    m_scroll->setWidget(m_chart);
    body->addWidget(m_scroll, 1);
    if (options.listPanel) {
        m_list = new QListWidget(this);
        m_list->setObjectName(QStringLiteral("ListPanel"));
        m_list->setAccessibleName(QStringLiteral("列表"));
        m_list->setFixedWidth(228);
        m_list->setSelectionMode(QAbstractItemView::NoSelection);
        m_list->setFocusPolicy(Qt::NoFocus);
        body->addWidget(m_list);
    }

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("ChartMenu"));
    auto add = [this](const char *name, const QString &text, auto slot) {
        QAction *a = m_menu->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    if (options.listPanel) {
        add("ShowList", QStringLiteral("显示列表"), [this] { setListVisible(true); })->setEnabled(false);
        add("HideList", QStringLiteral("隐藏列表"), [this] { setListVisible(false); });
    }
    if (options.navigationMenu) {
        add("ShowNavigation", QStringLiteral("显示导航条"), [this] { emit navigationRequested(true); });
        add("HideNavigation", QStringLiteral("隐藏导航条"), [this] { emit navigationRequested(false); });
    }
    if (!m_menu->isEmpty())
        m_menu->addSeparator();
    add("SaveChart", QStringLiteral("保存图片..."), [this] { saveChart(); });
    add("PrintChart", QStringLiteral("打印图表..."), [this] {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dlg(&printer, this);
        dlg.setWindowTitle(QStringLiteral("打印图表"));
        if (dlg.exec() == QDialog::Accepted)
            printChart(printer);
    });
    m_chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_chart, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { showMenu(m_chart->mapToGlobal(pos)); });
}

QAction *AnalysisPanel::menuAction(const QString &objectName) const
{
    for (QAction *a : m_menu->actions())
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void AnalysisPanel::showMenu(const QPoint &pos) { m_menu->popup(pos); }

QPushButton *AnalysisPanel::addButton(const QString &objectName, const QString &text)
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    m_bar->addWidget(b);
    return b;
}

void AnalysisPanel::addCloseButton()
{
    connect(addButton(QStringLiteral("BtnClose"), QStringLiteral("关闭")), &QPushButton::clicked, this,
            &AnalysisPanel::BtnCloseClick);
}

void AnalysisPanel::addPeriod(DateEdit **from, DateEdit **to)
{
    m_bar->addWidget(new QLabel(QStringLiteral("请选择时间段分析："), this));
    *from = new DateEdit(this);
    *to = new DateEdit(this);
    (*from)->setObjectName(QStringLiteral("DateFrom"));
    (*to)->setObjectName(QStringLiteral("DateTo"));
    (*from)->setAccessibleName(QStringLiteral("起始日期"));
    (*to)->setAccessibleName(QStringLiteral("截止日期"));
    for (DateEdit *e : {*from, *to}) {
        e->setEmptyAllowed(false);
        e->setFixedWidth(112);
    }
    m_bar->addWidget(*from);
    m_bar->addWidget(new QLabel(QStringLiteral("至"), this));
    m_bar->addWidget(*to);
    resetPeriod(*from, *to);
}

void AnalysisPanel::resetPeriod(DateEdit *from, DateEdit *to)
{
    const QDate today = Clock::instance().today();
    from->setDate(today.addDays(-30));
    to->setDate(today);
}

void AnalysisPanel::showResult(const AnalysisResult &result)
{
    if (m_list) {
        m_list->clear();
        m_list->addItems(result.lines);
    }
    if (!result.ok()) {
        Prompts::instance().warn(result.error);
        return;
    }
    m_chart->setChart(result.chart, result.title, result.points);
}

void AnalysisPanel::navigationShown(bool visible)
{
    if (QAction *show = menuAction(QStringLiteral("ShowNavigation")))
        show->setEnabled(!visible);
    if (QAction *hide = menuAction(QStringLiteral("HideNavigation")))
        hide->setEnabled(visible);
}

void AnalysisPanel::setListVisible(bool visible)
{
    if (!m_list)
        return;
    m_list->setVisible(visible);
    menuAction(QStringLiteral("ShowList"))->setEnabled(!visible);
    menuAction(QStringLiteral("HideList"))->setEnabled(visible);
}

bool AnalysisPanel::saveChart()
{
    QString name = m_chart->title().isEmpty() ? windowTitle() : m_chart->title();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = Prompts::instance().saveFileName(QStringLiteral("保存图片"), name + QStringLiteral(".png"),
                                                         QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return false;
    const QString file = path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".png");
    // Twice the screen's size, so a picture pasted into a report stays sharp.
    const QSize size = m_chart->size() * 2;
    QImage img(size, QImage::Format_RGB32);
    {
        QPainter p(&img);
        p.scale(2, 2);
        p.setFont(m_chart->font());
        m_chart->paint(p, QRectF(QPointF(0, 0), QSizeF(m_chart->size())));
    }
    const QString error = OutputFile::write(file, [&img](QIODevice &out, QString *reason) {
        if (img.save(&out, "PNG"))
            return true;
        *reason = QStringLiteral("无法生成图片");
        return false;
    });
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return false;
    }
    return true;
}

void AnalysisPanel::printChart(QPrinter &printer) const
{
    // Painted as on the screen at three times its size, then laid on the
    // page as wide as the page allows, keeping the chart's shape.
    const QSize screen = m_chart->size();
    QImage img(screen * 3, QImage::Format_RGB32);
    {
        QPainter ip(&img);
        ip.scale(3, 3);
        ip.setFont(m_chart->font());
        m_chart->paint(ip, QRectF(QPointF(0, 0), QSizeF(screen)));
    }
    QPainter p(&printer);
    if (!p.isActive())
        return;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize fitted = img.size().scaled(page.size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(QPoint(0, 0), fitted), img);
}

void AnalysisPanel::BtnCloseClick() { emit closeRequested(); }
