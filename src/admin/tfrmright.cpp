#include "admin/tfrmright.h"

#include "admin/data/userstore.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr unsigned bit(TfrmRight::Flag f) { return 1u << f; }
constexpr unsigned kAllOps = bit(TfrmRight::Insert) | bit(TfrmRight::Modify) | bit(TfrmRight::Delete)
                             | bit(TfrmRight::Query) | bit(TfrmRight::Print);
constexpr unsigned kAddDelete = bit(TfrmRight::Insert) | bit(TfrmRight::Delete);
constexpr unsigned kQueryPrint = bit(TfrmRight::Query) | bit(TfrmRight::Print);

const char *const kPages[] = {"系统设置", "内部管理", "基础资料", "客户业务管理", "图表分析", "工具"};
const char *const kFlagNames[] = {"Insert", "Modify", "Delete", "Query", "Print"};
const char *const kFlagCaptions[] = {"新增", "修改", "删除", "查询", "打印"};

struct RightDef {
    const char *code;
    const char *caption;
    int page;
    unsigned ops;
    bool shown = true;
    bool inSelectAll = true;
};

// The pages show the codes where the users look for them, which is not
// always the page of the code's group (201 and 303 are internal matters).
const RightDef kRights[] = {
    {"101", "口令设置", 0, 0},
    {"102", "用户管理", 0, 0},
    {"103", "数据备份", 0, 0},
    {"104", "数据恢复", 0, 0},
    {"105", "系统日志", 0, 0},
    {"106", "用户信息", 0, 0},
    {"107", "服务器设置", 0, 0, false, true},
    {"201", "部门设置", 1, kAddDelete},
    {"303", "工作人员", 1, kAllOps},
    {"601", "员工档案", 1, kAllOps},
    {"602", "工种设置", 1, kAddDelete},
    {"603", "输送单位", 1, kAllOps},
    {"604", "技能级别", 1, kAddDelete},
    {"605", "体检设定", 1, kAddDelete},
    {"202", "地区设置", 2, kAddDelete},
    {"203", "国家信息", 2, kAddDelete},
    {"204", "币别汇率设置", 2, kAddDelete},
    {"205", "金融机构设置", 2, kAddDelete},
    {"206", "客户类型设置", 2, kAddDelete},
    {"207", "业务类型设置", 2, kAddDelete},
    {"208", "业务来源设置", 2, kAddDelete},
    {"209", "业务状态设置", 2, kAddDelete},
    {"210", "客户级别定义", 2, kAddDelete},
    {"211", "客户状态定义", 2, kAddDelete},
    {"212", "客户来源定义", 2, kAddDelete},
    {"301", "客户资料", 3, kAllOps},
    {"302", "联系人资料", 3, kAllOps},
    {"304", "业务资料", 3, kAllOps},
    {"305", "日程安排", 3, kAllOps},
    {"306", "应收账款", 3, kQueryPrint},
    {"307", "应付账款", 3, kQueryPrint},
    {"401", "地区分布分析", 4, 0},
    {"402", "按时间分析", 4, 0},
    {"403", "客户级别分析", 4, 0},
    {"404", "客户类型分析", 4, 0},
    {"405", "客户来源分析", 4, 0},
    {"406", "客户状态分析", 4, 0},
    {"407", "客户行业分析", 4, 0},
    {"408", "收支趋势分析", 4, 0, false, false},
    {"409", "业务来源分析", 4, 0},
    {"410", "业务类型分析", 4, 0},
    {"411", "业务排行榜", 4, 0},
    {"412", "客户排行榜", 4, 0},
    {"413", "业务员绩效排行榜", 4, 0},
    {"414", "资金分配分析", 4, 0},
    {"501", "公告板", 5, 0},
    {"502", "邮件群发", 5, 0, false, false},
    {"503", "信封标签", 5, 0},
};

// The boxes' flags index the stored operations directly.
static_assert(int(TfrmRight::Insert) == UserStore::Insert && int(TfrmRight::Modify) == UserStore::Modify
              && int(TfrmRight::Delete) == UserStore::Delete && int(TfrmRight::Query) == UserStore::Query
              && int(TfrmRight::Print) == UserStore::Print && int(TfrmRight::FlagCount) == UserStore::OperationCount);

} // namespace

TfrmRight::TfrmRight(const QString &userId, QWidget *parent) : QDialog(parent), m_userId(userId)
{
    setObjectName(QStringLiteral("TfrmRight"));
    setWindowTitle(QStringLiteral("权限分配"));

    m_userIdLabel = new QLabel(this);
    m_userIdLabel->setObjectName(QStringLiteral("lblUserID"));
    m_userNameLabel = new QLabel(this);
    m_userNameLabel->setObjectName(QStringLiteral("lblUserName"));
    auto *header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("用户ID："), this));
    header->addWidget(m_userIdLabel, 1);
    header->addWidget(new QLabel(QStringLiteral("用户名称："), this));
    header->addWidget(m_userNameLabel, 1);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("pcRight"));
    m_pageCodes.resize(std::size(kPages));
    for (const RightDef &r : kRights)
        m_pageCodes[r.page] << QLatin1String(r.code);
    for (int page = 0; page < int(std::size(kPages)); ++page)
        tabs->addTab(buildPage(page), QString::fromUtf8(kPages[page]));

    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BtnSave"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    for (QPushButton *b : {save, close})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto *all = new QVBoxLayout(this);
    all->addLayout(header);
    all->addWidget(tabs, 1);
    all->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &TfrmRight::BtnSaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget *TfrmRight::buildPage(int page)
{
    auto *w = new QWidget(this);
    auto *grid = new QGridLayout(w);
    unsigned offered = 0;
    for (const RightDef &r : kRights)
        if (r.page == page)
            offered |= r.ops;
    if (offered) {
        for (int f = 0; f < FlagCount; ++f)
            if (offered & bit(Flag(f)))
                grid->addWidget(new QLabel(QString::fromUtf8(kFlagCaptions[f]), w), 0, f + 1, Qt::AlignCenter);
    }
    int row = 1;
    for (const RightDef &r : kRights) {
        if (r.page != page)
            continue;
        const QString code = QLatin1String(r.code);
        RightBoxes boxes;
        boxes.inSelectAll = r.inSelectAll;
        boxes.right = new QCheckBox(QString::fromUtf8(r.caption), w);
        boxes.right->setObjectName(QStringLiteral("chk") + code);
        if (r.shown)
            grid->addWidget(boxes.right, row, 0);
        else
            boxes.right->hide();
        for (int f = 0; f < FlagCount; ++f) {
            if (!(r.ops & bit(Flag(f))))
                continue;
            auto *op = new QCheckBox(w);
            op->setObjectName(QStringLiteral("chk") + code + QLatin1Char('_') + QLatin1String(kFlagNames[f]));
            op->setToolTip(QString::fromUtf8(kFlagCaptions[f]));
            grid->addWidget(op, row, f + 1, Qt::AlignCenter);
            boxes.ops[f] = op;
        }
        if (r.shown)
            ++row;
        // A right taken away takes its operations with it; granting a
        // right leaves them as they are.
        connect(boxes.right, &QCheckBox::toggled, this, [this, code](bool on) {
            if (on)
                return;
            for (QCheckBox *op : m_boxes[code].ops)
                if (op)
                    op->setChecked(false);
        });
        m_boxes.insert(code, boxes);
    }
    grid->setRowStretch(row, 1);
    auto *selectAllBox = new QCheckBox(QStringLiteral("全部选择"), w);
    selectAllBox->setObjectName(QStringLiteral("chkSelectAll%1").arg(page));
    grid->addWidget(selectAllBox, row + 1, 0);
    connect(selectAllBox, &QCheckBox::toggled, this, [this, page](bool on) { selectAll(page, on); });
    m_selectAll << selectAllBox;
    return w;
}

QCheckBox *TfrmRight::rightBox(const QString &code) const
{
    const auto it = m_boxes.find(code);
    return it == m_boxes.end() ? nullptr : it->right;
}

QCheckBox *TfrmRight::operationBox(const QString &code, Flag flag) const
{
    const auto it = m_boxes.find(code);
    return it == m_boxes.end() ? nullptr : it->ops[flag];
}

QCheckBox *TfrmRight::selectAllBox(int page) const { return m_selectAll.value(page); }

void TfrmRight::selectAll(int page, bool on)
{
    for (const QString &code : std::as_const(m_pageCodes[page])) {
        const RightBoxes &b = m_boxes[code];
        if (!b.inSelectAll)
            continue;
        b.right->setChecked(on);
        for (QCheckBox *op : b.ops)
            if (op)
                op->setChecked(on);
    }
}

void TfrmRight::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmRight::FormShow()
{
    // Shown once per opening: a second show must not undo the user's ticks.
    if (m_loaded)
        return;
    m_loaded = true;
    Database &db = *TdmMain::instance()->database();
    QString error;
    UserStore::User user;
    if (UserStore::readUser(db, m_userId, &user, &error)) {
        m_userId = user.userId; // rows carry the code as tblUser spells it
        m_userIdLabel->setText(m_userId);
        m_userNameLabel->setText(user.userName);
        m_sys = user.sys;
    } else if (!error.isEmpty()) {
        m_readError = error;
        Prompts::instance().warn(error);
        return;
    } else {
        m_userIdLabel->setText(m_userId);
    }

    QVector<UserStore::Right> rights;
    if (!UserStore::readRights(db, m_userId, &rights, &error)) {
        m_readError = error;
        Prompts::instance().warn(error);
        return;
    }
    for (const UserStore::Right &r : std::as_const(rights)) {
        const auto it = m_boxes.find(r.code);
        if (it == m_boxes.end())
            continue;
        it->right->setChecked(true);
        for (int f = 0; f < FlagCount; ++f)
            if (it->ops[f])
                it->ops[f]->setChecked(r.ops[f]);
    }
}

void TfrmRight::BtnSaveClick()
{
    if (!logCommand(QStringLiteral("系统设置-用户管理-权限分配-保存")))
        return;
    // System users hold every right by their own nature; their rows stay.
    if (m_sys)
        return;
    // Boxes that were never filled from the stored rows are no choice of
    // the user's: storing them would take away every right the user has.
    if (!m_readError.isEmpty()) {
        Prompts::instance().warn(m_readError);
        return;
    }
    const QString error = saveRights();
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    if (Dataset *shared = TdmMain::instance()->dataset(Sets::kUserRights); shared && shared->isActive())
        shared->refresh();
}

QString TfrmRight::saveRights()
{
    QVector<UserStore::Right> ticked;
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        if (!it->right->isChecked())
            continue;
        UserStore::Right r{it.key(), {}};
        for (int f = 0; f < FlagCount; ++f)
            r.ops[f] = it->ops[f] && it->ops[f]->isChecked();
        ticked << r;
    }
    return UserStore::replaceRights(*TdmMain::instance()->database(), m_userId, ticked);
}
