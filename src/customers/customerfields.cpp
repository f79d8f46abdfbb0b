#include "customers/customerfields.h"

#include "customers/data/customerrules.h"
#include "data/dataset.h"
#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "ui/links.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

const QString CustomerFields::kDeleteQuestion = QStringLiteral("您真的要删除该客户吗？");
const QString CustomerFields::kCodeExists = QStringLiteral("对不起，该客户代码已存在！");

FormSpec CustomerFields::form(Place place)
{
    const bool dialog = place == Place::Dialog;
    using namespace Field;
    return {
        {"CustId", "客户代码：", line(), opts().withButton("BtnCheck", "查重").withNote("（唯一标识码）")},
        {"CustName", "客户名称：", line()},
        {"CountryID", dialog ? "国　　籍：" : "国    籍：", dictionary(Sets::kCountries, "CountryID", "CountryName")},
        {"DistID", "所 在 区：", dictionary(Sets::kDistricts, "DistID", "DistName")},
        {"Telephone", "电    话：", line()},
        {"Fax", dialog ? "传　　真：" : "传    真：", line()},
        {"MainLinkman", "主联系人：", line()},
        {"MainTelephone", "手    机：", line()},
        {"Address", "详细地址：", line()},
        {"Email", "Email：", line(), opts().withButton("BtnSend", "发送")},
        {"PostCode", "邮编：", line()},
        {"HomePage", "主要成员：", line()},
        {"VocationID", "客户类型：", dictionary(Sets::kCustomerTypes, "VocationId", "VocationName")},
        {"OriginID", "客户来源：", dictionary(Sets::kCustomerOrigins, "OriginID", "OriginName")},
        {"LevelID", "客户级别：", dictionary(Sets::kCustomerLevels, "LevelID", "LevelName")},
        {"StateId", "客户状态：", dictionary(Sets::kCustomerStates, "StateID", "StateName")},
        {"CreateDate", "建档日期：", date()},
        {"OperaterID", "工作人员：", dictionary(Sets::kStaff, "OperaterID", "Name")},
        {"City", "受聘人数：", line(), opts().withNote("人")},
        {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(dialog ? 80 : 50)},
    };
}

CustomerFields::CustomerFields(Form *form, Dataset *set, Place place)
    : QObject(form), m_form(form), m_set(set), m_place(place)
{
    m_code = qobject_cast<QLineEdit *>(form->widget(QStringLiteral("CustId")));
    m_country = qobject_cast<QComboBox *>(form->widget(QStringLiteral("CountryID")));
    m_district = qobject_cast<QComboBox *>(form->widget(QStringLiteral("DistID")));
    m_email = qobject_cast<QLineEdit *>(form->widget(QStringLiteral("Email")));
    // Shown as a link: "发送" beside it writes to the address.
    m_email->setStyleSheet(QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));
    connect(form->button(QStringLiteral("BtnCheck")), &QPushButton::clicked, this, &CustomerFields::BtnCheckClick);
    connect(form->button(QStringLiteral("BtnSend")), &QPushButton::clicked, this, &CustomerFields::BtnSendClick);
    // The district follows the nationality as the user picks it and as the
    // row changes under the fields.
    connect(m_country, &QComboBox::currentIndexChanged, this, &CustomerFields::applyDistrictRule);
    connect(set, &Dataset::currentRowChanged, this, &CustomerFields::applyDistrictRule);
    connect(set, &Dataset::stateChanged, this, &CustomerFields::applyDistrictRule);
    applyDistrictRule();
}

void CustomerFields::applyDistrictRule()
{
    m_district->setEnabled(m_country->currentText() == QStringLiteral("中国"));
}

void CustomerFields::BtnCheckClick()
{
    QString code = m_code->text();
    if (m_place == Place::Dialog)
        code = code.trimmed();
    // The whole table, not the user's own list: a code another user's
    // customer has is taken all the same.
    QString error;
    if (!m_set->database())
        return;
    if (CustomerRules::codeTaken(*m_set->database(), code, {}, &error)) {
        Prompts::instance().warn(error.isEmpty() ? kCodeExists : error);
        if (error.isEmpty())
            m_code->setFocus(Qt::OtherFocusReason);
    }
}

void CustomerFields::BtnSendClick()
{
    openMailTo(m_email->text());
}

QString CustomerFields::folder() const
{
    return DocumentFolders::customer(m_code->text());
}
