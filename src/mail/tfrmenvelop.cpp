#include "mail/tfrmenvelop.h"

#include "admin/tfrmuserinfo.h"
#include "contacts/tfrmlinkmanquery.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "mail/tfrmenvelopset.h"
#include "ui/datagrid.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The picture of the window's top bar: an envelope with its stamp.
QPixmap envelopePicture()
{
    QPixmap pm(56, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0x60, 0x30), 1.5));
    p.setBrush(QColor(0xFA, 0xF0, 0xDC));
    p.drawRect(QRectF(2, 6, 50, 32));
    QPainterPath flap;
    flap.moveTo(2, 6);
    flap.lineTo(27, 24);
    flap.lineTo(52, 6);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    p.setPen(QPen(QColor(0xC0, 0x30, 0x30), 1));
    p.setBrush(QColor(0xF0, 0xA0, 0xA0));
    p.drawRect(QRectF(40, 9, 9, 10));
    return pm;
}

} // namespace

bool TfrmEnvelop::prepareContacts()
{
    // The user's own customers, and every customer, whose names and
    // addresses the labels carry.
    for (const QString &name : {Sets::kCustomerNames, Sets::kContactCustomers}) {
        Dataset *customers = TdmMain::instance()->dataset(name);
        if (customers && !(customers->isActive() ? customers->refresh() : customers->open())) {
            Prompts::instance().warn(customers->lastError());
            return false;
        }
    }
    Dataset *contacts = TfrmLinkmanQuery::contacts();
    if (!refilter(contacts, Condition())) {
        Prompts::instance().warn(contacts->lastError());
        return false;
    }
    return true;
}

void TfrmEnvelop::run(QWidget *parent)
{
    if (!prepareContacts())
        return;
    TfrmEnvelop w(parent);
    w.setWindowState(w.windowState() | Qt::WindowMaximized);
    w.exec();
}

TfrmEnvelop::TfrmEnvelop(QWidget *parent) : QDialog(parent), m_contacts(TfrmLinkmanQuery::contacts())
{
    setObjectName(QStringLiteral("TfrmEnvelop"));
    setWindowTitle(QStringLiteral("信封标签"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto *top = new QWidget(this);
    top->setObjectName(QStringLiteral("TopBar"));
    top->setAutoFillBackground(true);
    QPalette pal = top->palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xEE, 0xF8));
    top->setPalette(pal);
    auto *bar = new QHBoxLayout(top);
    bar->setContentsMargins(8, 4, 8, 4);
    auto *picture = new QLabel(top);
    picture->setPixmap(envelopePicture());
    bar->addWidget(picture);
    auto *title = new QLabel(QStringLiteral("信封标签打印"), top);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    title->setFont(f);
    bar->addWidget(title);
    bar->addStretch();
    const std::tuple<const char *, const char *, QStyle::StandardPixmap, void (TfrmEnvelop::*)()> buttons[] = {
        {"BtnQuery", "联系人查询", QStyle::SP_FileDialogContentsView, &TfrmEnvelop::BtnQueryClick},
        {"BtnUserInfo", "用户登记信息", QStyle::SP_FileDialogInfoView, &TfrmEnvelop::BtnUserInfoClick},
        {"BtnPreview", "信封标签预览", QStyle::SP_FileDialogDetailedView, &TfrmEnvelop::BtnPreviewClick},
        {"BtnClose", "关闭", QStyle::SP_DialogCloseButton, nullptr}};
    for (const auto &[name, hint, icon, run] : buttons) {
        auto *b = new QToolButton(top);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(32, 32));
        b->setAutoRaise(true);
        b->setToolTip(QString::fromUtf8(hint));
        b->setAccessibleName(QString::fromUtf8(hint));
        if (run)
            connect(b, &QToolButton::clicked, this, run);
        else
            connect(b, &QToolButton::clicked, this, &QDialog::accept);
        bar->addWidget(b);
        m_buttons << b;
    }
    layout->addWidget(top);

    auto *caption = new QLabel(QStringLiteral("  联系人列表："), this);
    layout->addWidget(caption);
    m_grid = new DataGrid(m_contacts,
                          {{"CustID", "公司代码"},
                           {"CustName", "公司名称"},
                           {"Name", "联系人"},
                           {"PostCode", "邮政编码"},
                           {"Address", "公司地址"},
                           {"Email", "Email"}},
                          QStringLiteral("TfrmEnvelop.Contacts"), this);
    m_grid->setDefaultColumnWidths(
        {{"CustID", 80}, {"CustName", 160}, {"Name", 90}, {"PostCode", 80}, {"Address", 260}, {"Email", 180}});
    layout->addWidget(m_grid, 1);
    // Whole names and addresses, as far as the maximised window goes, once
    // the rows are in view.
    QTimer::singleShot(0, m_grid, [grid = m_grid] { grid->fitColumnsToContents(360); });

    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(new QLabel(QStringLiteral("Brevia2003"), status));
    status->addWidget(new QLabel(QStringLiteral("Brevia软件工作室"), status));
    status->addWidget(new QLabel(QStringLiteral("http://www.brevia-soft.cn"), status), 1);
    layout->addWidget(status);
    resize(900, 600);
}

QToolButton *TfrmEnvelop::button(const QString &objectName) const
{
    for (QToolButton *b : m_buttons)
        if (b->objectName() == objectName)
            return b;
    return nullptr;
}

void TfrmEnvelop::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The sender block of the labels reads the agency's details.
    Dataset *info = TdmMain::instance()->dataset(Sets::kAgency);
    if (info && !info->isActive() && !info->open())
        Prompts::instance().warn(info->lastError());
}

void TfrmEnvelop::BtnQueryClick()
{
    if (logCommand(QStringLiteral("工具-信封标签-联系人查询")))
        TfrmLinkmanQuery::choose(this);
}

void TfrmEnvelop::BtnUserInfoClick()
{
    if (!logCommand(QStringLiteral("工具-信封标签-用户登记信息")))
        return;
    TfrmUserInfo dlg(this);
    dlg.exec();
}

void TfrmEnvelop::BtnPreviewClick()
{
    if (!logCommand(QStringLiteral("工具-信封标签-预览")))
        return;
    TfrmEnvelopSet dlg(m_contacts, this);
    dlg.exec();
}
