#include "ui/form.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/tablerules.h"
#include "ui/calculatorpopup.h"
#include "ui/dateedit.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/maskedit.h"
#include "ui/photobox.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
Dataset *shared(const QString &name)
{
    TdmMain *dm = TdmMain::instance();
    return dm ? dm->dataset(name) : nullptr;
}

QWidget *makeEditor(const FormRow &row, FieldBinder *binder, QWidget *area)
{
    const FieldType &t = row.type;
    switch (t.kind) {
    case FieldKind::Line:
    case FieldKind::Mask: {
        auto *e = t.kind == FieldKind::Mask ? new MaskEdit(t.mask, area) : new QLineEdit(area);
        binder->bind(e, row.field);
        return e;
    }
    case FieldKind::Number: {
        auto *e = new QLineEdit(area);
        auto *v = new QDoubleValidator(e);
        v->setNotation(QDoubleValidator::StandardNotation);
        e->setValidator(v);
        e->setAlignment(Qt::AlignRight);
        attachCalculator(e);
        binder->bind(e, row.field);
        return e;
    }
    case FieldKind::Date: {
        auto *d = new DateEdit(area);
        binder->bind(d, row.field);
        return d;
    }
    case FieldKind::Memo: {
        auto *m = new QPlainTextEdit(area);
        m->setTabChangesFocus(true);
        if (row.opt.height > 0)
            m->setMaximumHeight(row.opt.height);
        binder->bind(m, row.field);
        return m;
    }
    case FieldKind::Check: {
        auto *c = new QCheckBox(row.label, area);
        binder->bind(c, row.field);
        return c;
    }
    case FieldKind::FixedList:
    case FieldKind::Suggestions: {
        auto *c = new QComboBox(area);
        if (t.kind == FieldKind::Suggestions) {
            c->setEditable(true);
            c->setInsertPolicy(QComboBox::NoInsert);
            if (const ColumnDef *def = binder->dataset()->columnDef(row.field); def && def->width > 0)
                c->lineEdit()->setMaxLength(def->width);
        }
        binder->bind(c, row.field, t.items);
        return c;
    }
    case FieldKind::Dictionary: {
        auto *c = new QComboBox(area);
        binder->bind(c, row.field, shared(t.source), t.codeField, t.nameField);
        return c;
    }
    case FieldKind::Photo: {
        auto *p = new PhotoBox(area);
        if (row.opt.height > 0)
            p->setMaximumHeight(row.opt.height);
        binder->bind(p, row.field);
        return p;
    }
    case FieldKind::Custom:
        return t.make ? t.make(area) : new QWidget(area);
    }
    return nullptr;
}
} // namespace

Form::Form(const FormSpec &rows, FieldBinder *binder, QWidget *area, int pairsPerLine)
    : QObject(area), m_rows(rows), m_binder(binder), m_grid(new QGridLayout(area))
{
    int line = 0, pair = 0;
    for (const FormRow &row : std::as_const(m_rows)) {
        const int span = qBound(1, row.opt.span, pairsPerLine);
        if (pair != 0 && (row.opt.newLine || pair + span > pairsPerLine)) {
            pair = 0;
            ++line;
        }
        QWidget *editor = makeEditor(row, binder, area);
        editor->setObjectName(row.opt.objectName.isEmpty() ? QStringLiteral("Edit_") + row.field : row.opt.objectName);
        if (!row.label.isEmpty())
            editor->setAccessibleName(row.label);
        const bool check = row.type.kind == FieldKind::Check;
        if (!check) {
            auto *label = new QLabel(row.label, area);
            // The label is the field's buddy, so assistive tools name the
            // field by it and Alt with its letter reaches it.
            label->setBuddy(editor);
            m_grid->addWidget(label, line, pair * 2, row.type.kind == FieldKind::Memo ? Qt::AlignTop : Qt::Alignment());
        }
        const int column = check ? pair * 2 : pair * 2 + 1;
        const int width = check ? span * 2 : span * 2 - 1;
        if (row.opt.buttons.isEmpty() && row.opt.note.isEmpty()) {
            m_grid->addWidget(editor, line, column, 1, width);
        } else {
            // Buttons and a note follow the field in the same cell.
            auto *cell = new QHBoxLayout;
            // The field keeps a usable width beside its buttons.
            // (Measured on digits: a CJK font's average character is as wide
            // as a Chinese one and made the form wider than the window.)
            editor->setMinimumWidth(editor->fontMetrics().horizontalAdvance(QString(8, QLatin1Char('0'))) + 12);
            cell->addWidget(editor, 1);
            for (const QString &b : row.opt.buttons) {
                const QString name = b.section(QLatin1Char('='), 0, 0);
                const QString caption = b.section(QLatin1Char('='), 1);
                auto *button = new QPushButton(caption, area);
                button->setObjectName(name);
                button->setAccessibleName(caption);
                button->setAutoDefault(false);
                // Enter and Tab go from field to field, not through buttons.
                button->setFocusPolicy(Qt::NoFocus);
                cell->addWidget(button);
            }
            if (!row.opt.note.isEmpty())
                cell->addWidget(new QLabel(row.opt.note, area));
            m_grid->addLayout(cell, line, column, 1, width);
        }
        if (!row.field.isEmpty())
            m_widgets.insert(row.field.toLower(), editor);
        if (row.opt.enter)
            m_enter << editor;
        pair += span;
        if (pair >= pairsPerLine) {
            pair = 0;
            ++line;
        }
    }
    for (int p = 0; p < pairsPerLine; ++p)
        m_grid->setColumnStretch(p * 2 + 1, 1);
}

bool Form::userMayChange(Dataset *set, const QString &fallbackRight)
{
    if (!set)
        return false;
    const TableRules *r = set->table() && TdmMain::instance() ? TdmMain::instance()->rules(set->table()->name()) : nullptr;
    const QStringList rights = r && !r->rights.isEmpty() ? r->rights
        : fallbackRight.isEmpty() ? QStringList() : QStringList{fallbackRight};
    return flagsAllowStore(rights, set->state() == Dataset::State::Insert ? Dataset::State::Insert : Dataset::State::Edit);
}

void Form::setEditable(bool editable)
{
    // The whole area: a field disabled for a reason of its own (a district
    // outside China) stays disabled when the area comes back.
    if (QWidget *area = m_grid->parentWidget())
        area->setEnabled(editable);
}

QWidget *Form::widget(const QString &field) const
{
    return m_widgets.value(field.toLower(), nullptr);
}

QPushButton *Form::button(const QString &objectName) const
{
    return parent() ? static_cast<QWidget *>(parent())->findChild<QPushButton *>(objectName) : nullptr;
}

QList<QWidget *> Form::enterOrder() const
{
    return m_enter;
}

void Form::applyEnterOrder(const QList<QWidget *> &extra) const
{
    setEnterOrder(m_enter + extra);
}

bool Form::checkRequired(const QVector<RequiredField> &required, const std::function<void(QWidget *)> &focus) const
{
    Dataset *set = m_binder->dataset();
    auto blank = [&](const QString &field) {
        bool empty = set->isBlank(field);
        if (auto *combo = qobject_cast<QComboBox *>(widget(field)); combo && !combo->isEditable()) {
            m_binder->ensureFilled(combo);
            empty = empty || combo->currentText().isEmpty();
        }
        return empty;
    };
    auto refuse = [&](const RequiredField &r, const QString &message) {
        Prompts::instance().warn(message);
        if (QWidget *w = widget(r.field); w && focus)
            focus(w);
        return false;
    };
    // Empty, or filled but not well formed: the warning for that field.
    auto wrong = [&](const RequiredField &r) -> QString {
        if (blank(r.field))
            return r.message;
        if (r.valid && !r.valid(set->value(r.field)))
            return r.invalidMessage;
        return {};
    };
    // In screen order, then any the screen does not show.
    QStringList onScreen;
    for (const FormRow &row : m_rows) {
        onScreen << row.field.toLower();
        for (const RequiredField &r : required)
            if (r.field.compare(row.field, Qt::CaseInsensitive) == 0)
                if (const QString m = wrong(r); !m.isEmpty())
                    return refuse(r, m);
    }
    for (const RequiredField &r : required)
        if (!onScreen.contains(r.field.toLower()))
            if (const QString m = wrong(r); !m.isEmpty())
                return refuse(r, m);
    return true;
}
