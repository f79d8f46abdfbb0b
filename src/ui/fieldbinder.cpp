#include "ui/fieldbinder.h"

#include "data/dataset.h"
#include "data/format.h"
#include "data/tabledef.h"
#include "ui/dateedit.h"
#include "ui/photobox.h"
#include "ui/pinyintypeahead.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

FieldBinder::FieldBinder(Dataset *dataset, QObject *parent) : QObject(parent), m_dataset(dataset)
{
    connect(dataset, &Dataset::currentRowChanged, this, &FieldBinder::refresh);
    connect(dataset, &Dataset::rowsReset, this, &FieldBinder::refresh);
    connect(dataset, &Dataset::stateChanged, this, &FieldBinder::refresh);
    connect(dataset, &Dataset::fieldChanged, this, &FieldBinder::onFieldChanged);
    // The current row read again after another set stored it.
    connect(dataset, &Dataset::rowChanged, this, [this](int row) {
        if (m_dataset && row == m_dataset->currentRow() && !m_dataset->isEditing())
            refresh();
    });
}

void FieldBinder::bind(QLineEdit *edit, const QString &field)
{
    const ColumnDef *def = m_dataset->columnDef(field);
    if (def && def->kind == ColumnKind::Text && def->width > 0)
        edit->setMaxLength(def->width);
    if (m_dataset->isLookupField(field))
        edit->setReadOnly(true);
    m_bindings.append({Kind::Line, edit, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    // Any change of the text counts, not only typing: text put in by an
    // assistive tool would otherwise show in the box but never reach the
    // row. The binder's own refills are told apart by m_updating, and a
    // read-only box (a lookup, a protected code) takes nothing that way.
    connect(edit, &QLineEdit::textChanged, this, [this, b](const QString &text) {
        auto *e = qobject_cast<QLineEdit *>(b.widget.data());
        if (!e || e->isReadOnly())
            return;
        // A mask left wholly blank ("::" of a time) is no value at all.
        if (!e->inputMask().isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); }))
            store(b, QVariant());
        else
            store(b, text);
    });
    show(b);
}

void FieldBinder::bind(QComboBox *combo, const QString &field, Dataset *source, const QString &codeField,
                       const QString &nameField)
{
    m_bindings.append({Kind::Combo, combo, field, source, codeField, nameField});
    const Binding b = m_bindings.last();
    fillCombo(b, true);
    PinyinTypeAhead::install(combo);
    connect(combo, &QComboBox::activated, this, [this, b](int index) {
        if (auto *c = qobject_cast<QComboBox *>(b.widget.data()))
            store(b, c->itemData(index));
    });
    if (source) {
        // An entry added to the dictionary is offered at once.
        // Never opened from here: a source that is being closed would be
        // opened again in the middle of its close.
        auto again = [this, b] {
            fillCombo(b, false);
            show(b);
        };
        connect(source, &Dataset::contentChanged, this, again);
        connect(source, &Dataset::rowsReset, this, again);
    }
    show(b);
}

void FieldBinder::bind(QComboBox *combo, const QString &field, const QStringList &fixedItems)
{
    combo->clear();
    for (const QString &item : fixedItems)
        combo->addItem(item, item);
    m_bindings.append({Kind::FixedCombo, combo, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    if (combo->isEditable())
        connect(combo, &QComboBox::editTextChanged, this, [this, b](const QString &text) { store(b, text); });
    else
        connect(combo, &QComboBox::activated, this, [this, b](int index) {
            if (auto *c = qobject_cast<QComboBox *>(b.widget.data()))
                store(b, c->itemData(index));
        });
    show(b);
}

void FieldBinder::bind(DateEdit *edit, const QString &field)
{
    m_bindings.append({Kind::Date, edit, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    connect(edit, &DateEdit::dateEdited, this, [this, b](const QDate &d) { store(b, d.isValid() ? QVariant(d) : QVariant()); });
    show(b);
}

void FieldBinder::bind(QCheckBox *box, const QString &field)
{
    m_bindings.append({Kind::Check, box, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    connect(box, &QCheckBox::clicked, this, [this, b](bool on) { store(b, on); });
    show(b);
}

void FieldBinder::bind(QPlainTextEdit *memo, const QString &field)
{
    m_bindings.append({Kind::Memo, memo, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    connect(memo, &QPlainTextEdit::textChanged, this, [this, b] {
        auto *m = qobject_cast<QPlainTextEdit *>(b.widget.data());
        if (!m || m_updating)
            return;
        // Memos from older workstations break lines with CR LF; an edit
        // keeps their style instead of rewriting every line break.
        QString text = m->toPlainText();
        if (m_dataset->value(b.field).toString().contains(QLatin1String("\r\n")))
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        store(b, text);
    });
    show(b);
}

void FieldBinder::bind(PhotoBox *photo, const QString &field)
{
    m_bindings.append({Kind::Photo, photo, field, {}, {}, {}});
    const Binding b = m_bindings.last();
    connect(photo, &PhotoBox::clicked, this, [this, b] {
        if (!m_dataset || !m_dataset->isActive())
            return;
        const QString path = PhotoBox::choosePicture();
        if (path.isEmpty())
            return;
        store(b, path);
        show(b);
    });
    show(b);
}

QWidget *FieldBinder::widgetFor(const QString &field) const
{
    for (const Binding &b : m_bindings)
        if (b.field.compare(field, Qt::CaseInsensitive) == 0)
            return b.widget;
    return nullptr;
}

void FieldBinder::refresh()
{
    // While a widget's own text is being stored, the dataset's state
    // change must not write the old value back into it.
    if (m_updating)
        return;
    for (const Binding &b : std::as_const(m_bindings))
        show(b);
}

void FieldBinder::onFieldChanged(const QString &field)
{
    if (m_updating)
        return;
    // Display fields depend on codes; show them all again.
    for (const Binding &b : std::as_const(m_bindings))
        if (b.field.compare(field, Qt::CaseInsensitive) == 0 || m_dataset->isLookupField(b.field))
            show(b);
}

void FieldBinder::store(const Binding &b, const QVariant &v)
{
    if (m_updating || !m_dataset || !m_dataset->isActive())
        return;
    m_updating = true;
    m_dataset->setValue(b.field, v);
    m_updating = false;
    // Display fields next to the code follow at once.
    for (const Binding &other : std::as_const(m_bindings))
        if (m_dataset->isLookupField(other.field))
            show(other);
}

void FieldBinder::fillCombo(const Binding &b, bool openSource)
{
    auto *combo = qobject_cast<QComboBox *>(b.widget.data());
    if (!combo || !b.source || m_filling)
        return;
    // The dictionary opens when the drop-down is bound; a failure is the
    // bound set's lastError().
    if (openSource && !b.source->isActive()) {
        if (m_dataset)
            m_dataset->openNeeded(b.source);
        else
            b.source->open();
    }
    m_filling = true;
    const bool was = m_updating;
    m_updating = true;
    combo->clear();
    m_stale.removeAll(combo);
    m_currentOnly.removeAll(combo);
    const bool isLong = b.source->canFetchMore() || b.source->rowCount() > kDeferredRows;
    if (isLong && !combo->isEnabled()) {
        m_currentOnly.append(combo);
        combo->installEventFilter(this);
        m_updating = was;
        m_filling = false;
        return;
    }
    if (!combo->isVisible() && isLong) {
        // Out of sight, and long: filled when it is shown or needed.
        m_stale.append(combo);
        combo->installEventFilter(this);
        m_updating = was;
        m_filling = false;
        return;
    }
    addItems(combo, b);
    m_updating = was;
    m_filling = false;
}

// The names and codes of every row of the source as two columns, each read
// whole in one statement, rather than every row a page at a time.
void FieldBinder::addItems(QComboBox *combo, const Binding &b)
{
    b.source->fetchAll();
    const QVector<QVariant> names = b.source->columnValues(b.source->fieldIndex(b.nameField));
    const QVector<QVariant> codes = b.source->columnValues(b.source->fieldIndex(b.codeField));
    for (int r = 0; r < names.size(); ++r)
        combo->addItem(names[r].toString(), codes.value(r));
}

void FieldBinder::ensureFilled(QWidget *combo)
{
    if (!m_stale.contains(combo))
        return;
    for (const Binding &b : std::as_const(m_bindings))
        if (b.widget == combo && b.kind == Kind::Combo) {
            m_stale.removeAll(combo);
            const bool was = m_updating;
            m_updating = true;
            addItems(static_cast<QComboBox *>(combo), b);
            m_updating = was;
            show(b);
            return;
        }
}

bool FieldBinder::eventFilter(QObject *watched, QEvent *event)
{
    const auto binding = [this, watched]() -> const Binding * {
        for (const Binding &b : std::as_const(m_bindings))
            if (b.widget == watched && b.kind == Kind::Combo)
                return &b;
        return nullptr;
    };
    if (event->type() == QEvent::Show && m_stale.contains(watched)) {
        auto *combo = static_cast<QComboBox *>(watched);
        if (combo->isEnabled()) {
            ensureFilled(combo);
        } else if (const Binding *b = binding()) {
            // Disabled meanwhile (a read-only page): its current name is enough.
            m_stale.removeAll(watched);
            m_currentOnly.append(watched);
            show(*b);
        }
    } else if (event->type() == QEvent::EnabledChange && m_currentOnly.contains(watched)
               && static_cast<QWidget *>(watched)->isEnabled()) {
        if (const Binding *b = binding()) {
            const Binding copy = *b;
            fillCombo(copy, false);
            show(copy);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FieldBinder::showCurrentOnly(QComboBox *combo, const Binding &b, const QVariant &code)
{
    combo->clear();
    if (code.isNull() || !b.source)
        return;
    const QVariant name = b.source->lookupSome({b.codeField}, {code}, b.nameField);
    // A code without its row (deleted, or outside the list) shows as the
    // list would show it: not chosen, its code in an editable box.
    if (name.isNull()) {
        if (combo->isEditable())
            combo->setEditText(code.toString());
        return;
    }
    combo->addItem(name.toString(), code);
    combo->setCurrentIndex(0);
}

void FieldBinder::show(const Binding &b)
{
    if (!b.widget || !m_dataset)
        return;
    const bool was = m_updating;
    m_updating = true;
    const QVariant v = m_dataset->value(b.field);
    const bool enabled = m_dataset->isActive() && m_dataset->currentRow() >= 0;
    switch (b.kind) {
    case Kind::Line: {
        auto *e = static_cast<QLineEdit *>(b.widget.data());
        const QString text = Format::display(v);
        if (e->text() != text)
            e->setText(text);
        break;
    }
    case Kind::Combo:
        if (m_currentOnly.contains(b.widget.data())) {
            showCurrentOnly(static_cast<QComboBox *>(b.widget.data()), b, v);
            break;
        }
        [[fallthrough]];
    case Kind::FixedCombo: {
        auto *c = static_cast<QComboBox *>(b.widget.data());
        const int i = v.isNull() ? -1 : c->findData(v);
        if (c->isEditable() && i < 0)
            c->setEditText(v.toString());
        else
            c->setCurrentIndex(i);
        break;
    }
    case Kind::Date: {
        auto *d = static_cast<DateEdit *>(b.widget.data());
        d->setDate(v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate());
        break;
    }
    case Kind::Check:
        static_cast<QCheckBox *>(b.widget.data())->setChecked(v.toBool());
        break;
    case Kind::Memo: {
        auto *m = static_cast<QPlainTextEdit *>(b.widget.data());
        QString text = v.toString();
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (m->toPlainText() != text)
            m->setPlainText(text);
        break;
    }
    case Kind::Photo:
        static_cast<PhotoBox *>(b.widget.data())->showPhoto(enabled ? v.toString() : QString());
        break;
    }
    m_updating = was;
}
