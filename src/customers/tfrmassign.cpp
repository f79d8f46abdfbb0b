#include "customers/tfrmassign.h"

#include "customers/data/assignstore.h"
#include "data/recordscope.h"
#include "customers/tfrmupdate.h"
#include "data/condition.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kCustomersKind = QStringLiteral("客户资料");
const QString kContractsKind = QStringLiteral("业务资料");

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmAssign::TfrmAssign(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAssign"));
    setWindowTitle(QStringLiteral("客户业务工作分配"));

    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cbKind"));
    m_kind->addItems({kCustomersKind, kContractsKind});
    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("cbSourceUser"));
    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("cbTargetUser"));
    m_left = new QListWidget(this);
    m_left->setObjectName(QStringLiteral("lstSource"));
    m_left->setAccessibleName(QStringLiteral("原用户资料"));
    m_right = new QListWidget(this);
    m_right->setObjectName(QStringLiteral("lstTarget"));
    m_right->setAccessibleName(QStringLiteral("待分配资料"));
    for (QListWidget *l : {m_left, m_right})
        l->setMinimumSize(180, 260);

    auto *top = new QGridLayout;
    const QString labels[] = {QStringLiteral("请选择具体内容："), QStringLiteral("请选择原用户ID："),
                              QStringLiteral("分配给目标用户ID：")};
    QComboBox *boxes[] = {m_kind, m_source, m_target};
    for (int i = 0; i < 3; ++i) {
        auto *label = new QLabel(labels[i], this);
        label->setBuddy(boxes[i]);
        boxes[i]->setMinimumWidth(160);
        top->addWidget(label, 0, i);
        top->addWidget(boxes[i], 1, i);
    }
    auto *refresh = button(QStringLiteral("BtnRefresh"), QStringLiteral("刷    新"), this);
    auto *assign = button(QStringLiteral("BtnAssign"), QStringLiteral("确认分配"), this);
    top->addWidget(refresh, 2, 1);
    top->addWidget(assign, 2, 2);

    auto *arrows = new QVBoxLayout;
    arrows->addStretch();
    const std::tuple<const char *, const char *, void (TfrmAssign::*)()> arrowDefs[] = {
        {"BtnAllRight", ">>", &TfrmAssign::BtnAllRightClick},
        {"BtnRight", ">", &TfrmAssign::BtnRightClick},
        {"BtnAllLeft", "<<", &TfrmAssign::BtnAllLeftClick},
        {"BtnLeft", "<", &TfrmAssign::BtnLeftClick}};
    for (const auto &[name, caption, run] : arrowDefs) {
        auto *b = button(QString::fromLatin1(name), QString::fromLatin1(caption), this);
        b->setFixedWidth(48);
        connect(b, &QPushButton::clicked, this, run);
        arrows->addWidget(b);
    }
    arrows->addStretch();
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_left, 1);
    lists->addLayout(arrows);
    lists->addWidget(m_right, 1);

    auto *close = button(QStringLiteral("BtnClose"), QStringLiteral("关闭"), this);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);

    connect(refresh, &QPushButton::clicked, this, &TfrmAssign::BtnRefreshClick);
    connect(assign, &QPushButton::clicked, this, &TfrmAssign::BtnAssignClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_left, &QListWidget::itemDoubleClicked, this, &TfrmAssign::BtnRightClick);
    connect(m_right, &QListWidget::itemDoubleClicked, this, &TfrmAssign::BtnLeftClick);
    // Made for each use just before it shows: the user table as it is now.
    fillUsers();
}

void TfrmAssign::fillUsers()
{
    Database *db = TdmMain::instance()->database();
    if (!db)
        return;
    QString error;
    const QStringList all = AssignStore::allUsers(*db, &error);
    const QStringList targets = error.isEmpty() ? AssignStore::targetUsers(*db, &error) : QStringList();
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    for (auto [box, users] : {std::pair{m_source, all}, std::pair{m_target, targets}}) {
        box->clear();
        box->addItems(users);
        box->setCurrentIndex(-1);
    }
}

void TfrmAssign::BtnRefreshClick()
{
    m_left->clear();
    m_right->clear();
    Prompts &prompts = Prompts::instance();
    if (m_source->currentIndex() < 0) {
        prompts.warn(QStringLiteral("请选择原用户ID！"));
        m_source->setFocus();
        return;
    }
    const bool customers = m_kind->currentText() == kCustomersKind;
    Dataset *set = TdmMain::instance()->dataset(customers ? Sets::kCustomerList : Sets::kContractList);
    if (!refilter(set, Condition::equals(QStringLiteral("SUser"), m_source->currentText()))) {
        prompts.warn(set->lastError());
        return;
    }
    const QVector<QVariant> codes = set->columnValues(set->fieldIndex(customers ? QStringLiteral("CustId")
                                                                                : QStringLiteral("OperateID")));
    for (const QVariant &code : codes)
        m_left->addItem(code.toString());
}

void TfrmAssign::BtnAssignClick()
{
    Prompts &prompts = Prompts::instance();
    if (m_target->currentIndex() < 0) {
        prompts.warn(QStringLiteral("请选择目标用户ID！"));
        m_target->setFocus();
        return;
    }
    QStringList codes;
    for (int i = 0; i < m_right->count(); ++i)
        codes << m_right->item(i)->text();
    const auto kind = m_kind->currentText() == kCustomersKind ? AssignStore::Kind::Customers
                                                                : AssignStore::Kind::Contracts;
    TfrmUpdate progress(this);
    progress.showNow();
    Database *db = TdmMain::instance()->database();
    const QString error = db ? AssignStore::assign(*db, kind, codes, m_target->currentText())
                             : QStringLiteral("对不起，数据库没有连接！");
    progress.hide();
    if (!error.isEmpty()) {
        prompts.warn(QStringLiteral("提醒用户：分配未成功，请重新分配！"));
        return;
    }
    prompts.inform(QStringLiteral("提醒用户：分配成功！"));
    m_right->clear();
}

void TfrmAssign::moveOne(QListWidget *from, QListWidget *to)
{
    if (from->count() == 0)
        return;
    const int row = from->currentRow() >= 0 && from->currentItem()->isSelected() ? from->currentRow() : 0;
    to->addItem(from->takeItem(row));
}

void TfrmAssign::moveAll(QListWidget *from, QListWidget *to)
{
    if (from->count() == 0)
        return;
    // The other list is replaced, not added to: codes it held are in
    // neither list until the next "刷    新".
    to->clear();
    while (from->count() > 0)
        to->addItem(from->takeItem(0));
}

void TfrmAssign::BtnAllRightClick() { moveAll(m_left, m_right); }
void TfrmAssign::BtnRightClick() { moveOne(m_left, m_right); }
void TfrmAssign::BtnAllLeftClick() { moveAll(m_right, m_left); }
void TfrmAssign::BtnLeftClick() { moveOne(m_right, m_left); }
