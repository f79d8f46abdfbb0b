#include "customers/customerview.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "ui/prompts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace {
Dataset *customerSet(Database *db)
{
    TdmMain *dm = TdmMain::instance();
    auto *set = new Dataset(db, QStringLiteral("CustomerView"), Schema::table(QStringLiteral("tblCustomers")));
    const std::tuple<const char *, const char *, QString, const char *, const char *> names[] = {
        {"CountryName", "CountryID", Sets::kCountries, "CountryID", "CountryName"},
        {"DistName", "DistID", Sets::kDistricts, "DistID", "DistName"},
        {"VocationName", "VocationId", Sets::kCustomerTypes, "VocationId", "VocationName"},
        {"OriginName", "OriginID", Sets::kCustomerOrigins, "OriginID", "OriginName"},
        {"LevelName", "LevelID", Sets::kCustomerLevels, "LevelID", "LevelName"},
        {"StateName", "StateId", Sets::kCustomerStates, "StateID", "StateName"}};
    for (const auto &[field, key, source, sourceKey, result] : names)
        set->addLookup(QString::fromLatin1(field), {QString::fromLatin1(key)}, dm->dataset(source),
                       {QString::fromLatin1(sourceKey)}, QString::fromLatin1(result));
    return set;
}

FormSpec customerFields(CustomerView::Style style)
{
    using namespace Field;
    const bool window = style == CustomerView::Style::PlanWindow;
    FieldOptions homePage = opts();
    if (window)
        homePage.withButton(QStringLiteral("BtnCustOpen"), QStringLiteral("打开..."));
    return {{"CustId", "客户代码：", line(), opts().withNote("（唯一代码标识）")},
            {"HomePage", window ? "主　　页：" : "主要成员：", line(), homePage},
            {"CustName", "客户名称：", line()},
            {"VocationName", window ? "行业类别：" : "客户类型：", line()},
            {"OriginName", "客户来源：", line()},
            {"CountryName", window ? "国　　家：" : "国　 籍：", line()},
            {"DistName", window ? "地　　区：" : "所 在 区：", line()},
            {"LevelName", "客户级别：", line()},
            {"StateName", "客户状态：", line()},
            {"City", window ? "城　　市：" : "受聘人数：", line()},
            {"PostCode", "邮政编码：", line()},
            {"CreateDate", "建档日期：", date()},
            {"Telephone", "联系电话：", line()},
            {"Fax", "传　　真：", line()},
            {"Address", "详细地址：", line(), opts().wide(2).onNewLine()},
            {"Email", "Email邮箱：", line(), opts().withButton("BtnCustMail", "发送邮件")},
            {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(50)}};
}
} // namespace

CustomerView::CustomerView(Database *db, QWidget *parent, Style style)
    : RecordView(customerSet(db), QStringLiteral("CustId"), customerFields(style), parent)
{
    setObjectName(QStringLiteral("CustomerPage"));
    if (style == Style::PlanWindow) {
        // The contracts and the contact history beside this page follow the
        // customer list; this opens it when nothing has yet.
        auto *show = new QPushButton(QStringLiteral("显示客户资料"), this);
        show->setObjectName(QStringLiteral("BtnShowCustomers"));
        show->setFocusPolicy(Qt::NoFocus);
        connect(show, &QPushButton::clicked, this, [] {
            Dataset *customers = TdmMain::instance()->dataset(Sets::kCustomerList);
            if (!customers->isActive() && !customers->open())
                Prompts::instance().warn(customers->lastError());
        });
        auto *row = new QHBoxLayout;
        row->addWidget(show);
        row->addStretch(1);
        column()->addLayout(row);
        setMinimumHeight(sizeHint().height());
    }
}

void CustomerView::showCustomer(const QString &code)
{
    // As the second customer set shows it: another user's customer shows
    // nothing.
    Dataset *customers2 = TdmMain::instance()->dataset(Sets::kCustomerNames);
    showRecord(code, customers2->database(), customers2->filter());
}
