#include "workers/shusongview.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/links.h"
#include "ui/prompts.h"
#include "workers/tfrmshusong.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ShusongView::ShusongView(Database *db, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ShusongPage"));
    m_set = new Dataset(db, QStringLiteral("ShusongView"), Schema::table(QStringLiteral("tblShusong")), this);
    auto *layout = new QVBoxLayout(this);
    auto *fields = new QWidget(this);
    auto *binder = new FieldBinder(m_set, this);
    // The unit's fields as the unit window describes them.
    m_form = new Form(TfrmShusong::description().form, binder, fields);
    for (const FormRow &row : m_form->rows()) {
        QWidget *w = m_form->widget(row.field);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setReadOnly(true);
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setReadOnly(true);
    }
    QPushButton *mail = m_form->button(QStringLiteral("BtnMail"));
    QPushButton *web = m_form->button(QStringLiteral("BtnOpen"));
    for (QPushButton *b : {mail, web})
        b->setFocusPolicy(Qt::NoFocus);
    connect(mail, &QPushButton::clicked, this, &ShusongView::BtnMailClick);
    connect(web, &QPushButton::clicked, this, &ShusongView::BtnOpenClick);
    layout->addWidget(fields);
    layout->addStretch(1);
    setMinimumHeight(sizeHint().height());
}

void ShusongView::showUnit(const QString &code)
{
    if (m_read && code == m_code)
        return;
    m_code = code;
    m_read = true;
    m_set->close();
    if (code.isEmpty())
        return;
    // The data module's connection of today: a server change replaces it.
    if (TdmMain *dm = TdmMain::instance())
        m_set->setDatabase(dm->dataset(Sets::kUnitNames)->database());
    m_set->setFilter(Condition::equals(QStringLiteral("ShusongID"), code));
    if (!m_set->open())
        Prompts::instance().warn(m_set->lastError());
}

void ShusongView::BtnMailClick()
{
    openMailTo(qobject_cast<QLineEdit *>(m_form->widget(QStringLiteral("Email")))->text());
}

void ShusongView::BtnOpenClick()
{
    openWebAddress(qobject_cast<QLineEdit *>(m_form->widget(QStringLiteral("Homepage")))->text());
}
