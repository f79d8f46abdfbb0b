#include "customers/customerfields.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/session.h"
#include "tools/documentfolders.h"
#include "ui/fieldbinder.h"
#include "ui/links.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>

const QString CustomerFields::kDeleteQuestion = QStringLiteral("您真的要删除该客户吗？");
const QString CustomerFields::kCodeExists = QStringLiteral("对不起，该客户代码已存在！");

namespace {
Dataset *shared(const char *name)
{
    return TdmMain::instance()->dataset(QString::fromLatin1(name));
}
} // namespace

QVector<ModuleDesc::Required> CustomerFields::required()
{
    return {{"CustId", "请输入客户简称！"},         {"CustName", "请输入客户名称！"},
            {"VocationID", "请选择输入行业类别！"}, {"OriginID", "请选择输入客户来源！"},
            {"LevelID", "请选择输入客户级别！"},    {"StateId", "请选择输入客户状态！"},
            {"CreateDate", "请输入客户建档日期！"}};
}

QStringList CustomerFields::enterOrder()
{
    return {"CustId",     "CustName", "CountryID", "DistID",     "Telephone", "Fax",        "MainLinkman",
            "MainTelephone", "Address", "Email",   "PostCode",   "HomePage",  "VocationID", "OriginID",
            "LevelID",    "StateId",  "CreateDate", "OperaterID", "City",      "Memo"};
}

QVector<ModuleDesc::DeleteCheck> CustomerFields::deleteChecks()
{
    return {{"tblLinkmans", "CustID", "对不起，该客户有联系人资料，不能删除！"},
            {"tblOperates", "CustID", "对不起，该客户有业务资料，不能删除！", "LinkCustID"},
            {"tblCustomerState", "CustID", "对不起，该客户有客户接触信息，不能删除！"},
            {"tblCustomerAddInfo", "CustID", "对不起，该客户有其他资料信息，不能删除！"},
            {"tblPlan", "CustID", "对不起，该客户有日程安排，不能删除！"}};
}

CustomerFields::CustomerFields(Dataset *set, FieldBinder *binder, QWidget *area, Place place)
    : QObject(area), m_set(set), m_binder(binder), m_area(area), m_place(place)
{
    const bool dialog = place == Place::Dialog;
    auto *grid = new QGridLayout(area);
    int row = 0, col = 0;
    auto next = [&] {
        col += 2;
        if (col == 4) {
            col = 0;
            ++row;
        }
    };
    // A field with its label; extra widgets (a button, a unit) follow it
    // in the same cell.
    auto place_ = [&](const QString &label, QWidget *w, const QString &field, const QList<QWidget *> &extra = {}) {
        auto *l = new QLabel(label, area);
        // The label is the field's buddy, so assistive tools name the field
        // by it; a drop-down then speaks its chosen entry.
        l->setBuddy(w);
        w->setObjectName(QStringLiteral("Edit_") + field);
        grid->addWidget(l, row, col);
        if (extra.isEmpty()) {
            grid->addWidget(w, row, col + 1);
        } else {
            auto *cell = new QHBoxLayout;
            cell->addWidget(w, 1);
            for (QWidget *x : extra)
                cell->addWidget(x);
            grid->addLayout(cell, row, col + 1);
        }
        next();
    };
    auto line = [&](const QString &label, const QString &field, const QList<QWidget *> &extra = {}) {
        auto *e = new QLineEdit(area);
        binder->bind(e, field);
        place_(label, e, field, extra);
        return e;
    };
    auto dictionary = [&](const QString &label, const QString &field, const char *table, const QString &codeField,
                          const QString &nameField) {
        auto *c = new QComboBox(area);
        binder->bind(c, field, shared(table), codeField, nameField);
        place_(label, c, field);
        return c;
    };
    auto button = [&](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, area);
        b->setObjectName(name);
        b->setAccessibleName(caption);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };

    QPushButton *check = button(QStringLiteral("查重"), QStringLiteral("BtnCheck"));
    m_code = line(QStringLiteral("客户代码："), QStringLiteral("CustId"),
                  {check, new QLabel(QStringLiteral("（唯一标识码）"), area)});
    line(QStringLiteral("客户名称："), QStringLiteral("CustName"));
    m_country = dictionary(dialog ? QStringLiteral("国　　籍：") : QStringLiteral("国    籍："),
                           QStringLiteral("CountryID"), "tblCountry", QStringLiteral("CountryID"),
                           QStringLiteral("CountryName"));
    m_district = dictionary(QStringLiteral("所 在 区："), QStringLiteral("DistID"), "tblCustDist",
                            QStringLiteral("DistID"), QStringLiteral("DistName"));
    line(QStringLiteral("电    话："), QStringLiteral("Telephone"));
    line(dialog ? QStringLiteral("传　　真：") : QStringLiteral("传    真："), QStringLiteral("Fax"));
    line(QStringLiteral("主联系人："), QStringLiteral("MainLinkman"));
    line(QStringLiteral("手    机："), QStringLiteral("MainTelephone"));
    line(QStringLiteral("详细地址："), QStringLiteral("Address"));
    QPushButton *send = button(QStringLiteral("发送"), QStringLiteral("BtnSend"));
    m_email = line(QStringLiteral("Email："), QStringLiteral("Email"), {send});
    // Shown as a link: "发送" beside it writes to the address.
    m_email->setStyleSheet(QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));
    line(QStringLiteral("邮编："), QStringLiteral("PostCode"));
    line(QStringLiteral("主要成员："), QStringLiteral("HomePage"));
    dictionary(QStringLiteral("客户类型："), QStringLiteral("VocationID"), "tblVocation", QStringLiteral("VocationId"),
               QStringLiteral("VocationName"));
    dictionary(QStringLiteral("客户来源："), QStringLiteral("OriginID"), "tblCustOrigin", QStringLiteral("OriginID"),
               QStringLiteral("OriginName"));
    dictionary(QStringLiteral("客户级别："), QStringLiteral("LevelID"), "tblCustLevel", QStringLiteral("LevelID"),
               QStringLiteral("LevelName"));
    dictionary(QStringLiteral("客户状态："), QStringLiteral("StateId"), "tblCustState", QStringLiteral("StateID"),
               QStringLiteral("StateName"));
    auto *created = new QDateEdit(area);
    binder->bind(created, QStringLiteral("CreateDate"));
    place_(QStringLiteral("建档日期："), created, QStringLiteral("CreateDate"));
    dictionary(QStringLiteral("工作人员："), QStringLiteral("OperaterID"), "tblOperaters", QStringLiteral("OperaterID"),
               QStringLiteral("Name"));
    line(QStringLiteral("受聘人数："), QStringLiteral("City"), {new QLabel(QStringLiteral("人"), area)});
    if (col != 0) {
        col = 0;
        ++row;
    }
    auto *memo = new QPlainTextEdit(area);
    memo->setMaximumHeight(dialog ? 80 : 50);
    binder->bind(memo, QStringLiteral("Memo"));
    place_(QStringLiteral("备　　注："), memo, QStringLiteral("Memo"));
    grid->addWidget(memo, row, 1, 1, 3);

    connect(check, &QPushButton::clicked, this, &CustomerFields::BtnCheckClick);
    connect(send, &QPushButton::clicked, this, &CustomerFields::BtnSendClick);
    // The district follows the nationality as the user picks it and as the
    // row changes under the fields.
    connect(m_country, &QComboBox::currentIndexChanged, this, &CustomerFields::applyDistrictRule);
    connect(set, &Dataset::currentRowChanged, this, &CustomerFields::applyDistrictRule);
    connect(set, &Dataset::stateChanged, this, &CustomerFields::applyDistrictRule);
    applyDistrictRule();
}

QList<QWidget *> CustomerFields::fieldsInEnterOrder() const
{
    QList<QWidget *> order;
    for (const QString &f : enterOrder())
        if (QWidget *w = m_binder->widgetFor(f))
            order << w;
    return order;
}

void CustomerFields::applyDistrictRule()
{
    m_district->setEnabled(m_country->currentText() == QStringLiteral("中国"));
}

void CustomerFields::focus(QWidget *w)
{
    if (w)
        w->setFocus(Qt::OtherFocusReason);
}

void CustomerFields::BtnCheckClick()
{
    QString code = m_code->text();
    if (m_place == Place::Dialog)
        code = code.trimmed();
    // The whole table, not the user's own list: a code another user's
    // customer has is taken all the same. The code is a bound value, so a
    // quote in it is just a character.
    Database *db = m_set->database();
    QSqlQuery q(db->sql());
    q.setForwardOnly(true);
    QString error;
    if (!db->prepareAndExec(q, QStringLiteral("select CustID from tblCustomers where CustID = ?"), {code}, &error)) {
        Prompts::instance().warn(error);
        return;
    }
    if (q.next()) {
        Prompts::instance().warn(kCodeExists);
        focus(m_code);
    }
}

void CustomerFields::BtnSendClick()
{
    openMailTo(m_email->text());
}

bool CustomerFields::checkCode()
{
    const QVariant code = m_set->value(QStringLiteral("CustId"));
    Database *db = m_set->database();
    QString sql = QStringLiteral("select CNo from tblCustomers where CustId = ?");
    QVariantList values{code};
    if (m_set->state() == Dataset::State::Edit) {
        sql += QStringLiteral(" and CNo <> ?");
        values << m_set->storedValue(QStringLiteral("CNo"));
    }
    QSqlQuery q(db->sql());
    q.setForwardOnly(true);
    QString error;
    if (!db->prepareAndExec(q, sql, values, &error)) {
        Prompts::instance().warn(error);
        return false;
    }
    if (q.next()) {
        Prompts::instance().warn(kCodeExists);
        focus(m_code);
        return false;
    }
    if (m_set->state() != Dataset::State::Edit)
        return true;
    const QVariant stored = m_set->storedValue(QStringLiteral("CustId"));
    if (stored.toString() == code.toString())
        return true;
    if (!TdmMain::customerCodeInUse(*db, stored, &error))
        return true;
    Prompts::instance().warn(error.isEmpty() ? ModuleFrame::kCodeInUse : error);
    focus(m_code);
    return false;
}

QString CustomerFields::folder() const
{
    return DocumentFolders::customer(m_code->text());
}

void CustomerFields::stampUser()
{
    if (m_set->isEditing() && m_set->isBlank(QStringLiteral("SUser")))
        m_set->setValue(QStringLiteral("SUser"), Session::current().userId());
}
