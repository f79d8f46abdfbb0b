#include "customers/customerview.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/links.h"
#include "ui/prompts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <tuple>

CustomerView::CustomerView(Database *db, QWidget *parent, Style style) : QWidget(parent)
{
    setObjectName(QStringLiteral("CustomerPage"));
    TdmMain *dm = TdmMain::instance();
    m_set = new Dataset(db, QStringLiteral("CustomerView"), Schema::table(QStringLiteral("tblCustomers")), this);
    const std::tuple<const char *, const char *, QString, const char *, const char *> names[] = {
        {"CountryName", "CountryID", Sets::kCountries, "CountryID", "CountryName"},
        {"DistName", "DistID", Sets::kDistricts, "DistID", "DistName"},
        {"VocationName", "VocationId", Sets::kCustomerTypes, "VocationId", "VocationName"},
        {"OriginName", "OriginID", Sets::kCustomerOrigins, "OriginID", "OriginName"},
        {"LevelName", "LevelID", Sets::kCustomerLevels, "LevelID", "LevelName"},
        {"StateName", "StateId", Sets::kCustomerStates, "StateID", "StateName"}};
    for (const auto &[field, key, source, sourceKey, result] : names)
        m_set->addLookup(QString::fromLatin1(field), {QString::fromLatin1(key)}, dm->dataset(source),
                         {QString::fromLatin1(sourceKey)}, QString::fromLatin1(result));

    auto *layout = new QVBoxLayout(this);
    const bool window = style == Style::PlanWindow;
    if (window) {
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
        layout->addLayout(row);
    }
    auto *fields = new QWidget(this);
    auto *binder = new FieldBinder(m_set, this);
    using namespace Field;
    FieldOptions homePage = opts();
    if (window)
        homePage.withButton(QStringLiteral("BtnCustOpen"), QStringLiteral("打开..."));
    m_form = new Form({{"CustId", "客户代码：", line(), opts().withNote("（唯一代码标识）")},
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
                       {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(50)}},
                      binder, fields);
    for (const FormRow &row : m_form->rows()) {
        QWidget *w = m_form->widget(row.field);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setReadOnly(true); // a date field is a line edit too
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setReadOnly(true);
    }
    QPushButton *mail = m_form->button(QStringLiteral("BtnCustMail"));
    mail->setFocusPolicy(Qt::NoFocus);
    connect(mail, &QPushButton::clicked, this, [this] {
        openMailTo(qobject_cast<QLineEdit *>(m_form->widget(QStringLiteral("Email")))->text());
    });
    if (QPushButton *open = m_form->button(QStringLiteral("BtnCustOpen"))) {
        open->setFocusPolicy(Qt::NoFocus);
        connect(open, &QPushButton::clicked, this, [this] {
            openWebAddress(qobject_cast<QLineEdit *>(m_form->widget(QStringLiteral("HomePage")))->text());
        });
    }
    layout->addWidget(fields);
    layout->addStretch(1);
    // The detail page scrolls instead: squeezed, the fields overlap.
    setMinimumHeight(sizeHint().height());
}

void CustomerView::showCustomer(const QString &code)
{
    if (m_read && code == m_code)
        return;
    m_code = code;
    m_read = true;
    m_set->close();
    if (code.isEmpty())
        return;
    Dataset *customers2 = TdmMain::instance()->dataset(Sets::kCustomerNames);
    m_set->setDatabase(customers2->database());
    m_set->setFilter(Condition::equals(QStringLiteral("CustId"), code) && customers2->filter());
    if (!m_set->open())
        Prompts::instance().warn(m_set->lastError());
}
