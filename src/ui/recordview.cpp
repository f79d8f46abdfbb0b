#include "ui/recordview.h"

#include "data/dataset.h"
#include "ui/fieldbinder.h"
#include "ui/links.h"
#include "ui/prompts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RecordView::RecordView(Dataset *set, const QString &keyField, const FormSpec &form, QWidget *parent)
    : QWidget(parent), m_set(set), m_key(keyField)
{
    set->setParent(this);
    auto *layout = new QVBoxLayout(this);
    m_column = new QVBoxLayout;
    layout->addLayout(m_column);
    auto *fields = new QWidget(this);
    auto *binder = new FieldBinder(m_set, this);
    m_form = new Form(form, binder, fields);
    for (const FormRow &row : m_form->rows()) {
        QWidget *w = m_form->widget(row.field);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setReadOnly(true); // a date field is a line edit too
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setReadOnly(true);
        for (const QString &b : row.opt.buttons) {
            QPushButton *button = m_form->button(b.section(QLatin1Char('='), 0, 0));
            if (!button)
                continue;
            button->setFocusPolicy(Qt::NoFocus);
            auto *edit = qobject_cast<QLineEdit *>(w);
            const bool mail = row.field.compare(QLatin1String("Email"), Qt::CaseInsensitive) == 0;
            connect(button, &QPushButton::clicked, this, [edit, mail] {
                if (!edit)
                    return;
                if (mail)
                    openMailTo(edit->text());
                else
                    openWebAddress(edit->text());
            });
        }
    }
    layout->addWidget(fields);
    layout->addStretch(1);
    // The page around it scrolls instead: squeezed, the fields overlap.
    setMinimumHeight(sizeHint().height());
}

void RecordView::showRecord(const QString &code, Database *db, const Condition &scope)
{
    if (m_read && code == m_code)
        return;
    m_code = code;
    m_read = true;
    m_set->close();
    if (code.isEmpty())
        return;
    if (db)
        m_set->setDatabase(db);
    m_set->setFilter(Condition::equals(m_key, code) && scope);
    if (!m_set->open())
        Prompts::instance().warn(m_set->lastError());
}
