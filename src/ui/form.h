#pragma once

#include "data/tablerules.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class FieldBinder;
class QGridLayout;
class QPushButton;
class QWidget;

// What kind of editor a field gets.
enum class FieldKind {
    Line,        // a line edit, limited to the column's width
    Number,      // a line edit taking a decimal number, with the pop-up calculator
    Date,        // a date edit that may be blank
    Mask,        // a line edit with an input mask; a mask left blank is no value
    Memo,        // several lines
    Check,       // a check box; the row's label is its text
    FixedList,   // a drop-down of fixed texts, storing the text
    Suggestions, // fixed texts offered, any text typed is stored as typed
    Dictionary,  // a drop-down of a dictionary's names, storing its codes
    Photo,       // a picture held by its path; a click chooses another
    Custom,      // a widget the window makes and binds itself
};

struct FieldType {
    FieldKind kind = FieldKind::Line;
    QString source, codeField, nameField; // Dictionary: the shared dataset and its columns
    QStringList items;                    // FixedList, Suggestions
    QString mask;                         // Mask: "99:99:99;_"
    std::function<QWidget *(QWidget *parent)> make; // Custom
};

namespace Field {
inline FieldType line() { return {FieldKind::Line, {}, {}, {}, {}, {}, {}}; }
inline FieldType number() { return {FieldKind::Number, {}, {}, {}, {}, {}, {}}; }
inline FieldType date() { return {FieldKind::Date, {}, {}, {}, {}, {}, {}}; }
inline FieldType memo() { return {FieldKind::Memo, {}, {}, {}, {}, {}, {}}; }
inline FieldType check() { return {FieldKind::Check, {}, {}, {}, {}, {}, {}}; }
inline FieldType photo() { return {FieldKind::Photo, {}, {}, {}, {}, {}, {}}; }
inline FieldType mask(const QString &m) { return {FieldKind::Mask, {}, {}, {}, {}, m, {}}; }
inline FieldType fixedList(const QStringList &items) { return {FieldKind::FixedList, {}, {}, {}, items, {}, {}}; }
inline FieldType suggestions(const QStringList &items) { return {FieldKind::Suggestions, {}, {}, {}, items, {}, {}}; }
inline FieldType dictionary(const QString &source, const QString &codeField, const QString &nameField)
{
    return {FieldKind::Dictionary, source, codeField, nameField, {}, {}, {}};
}
inline FieldType custom(std::function<QWidget *(QWidget *parent)> make)
{
    return {FieldKind::Custom, {}, {}, {}, {}, {}, std::move(make)};
}
} // namespace Field

// Where a field goes and what comes with it, said in a chain:
// Field::opts().wide(2).onNewLine().maxHeight(80).
struct FieldOptions {
    int span = 1;          // label/field pairs the field takes on its line
    bool newLine = false;  // begins a new line
    QStringList buttons;   // push buttons after the field: "objectName=caption"
    QString note;          // a text after the field: "（唯一标识码）", "人"
    int height = 0;        // most height of a memo or photo, in pixels
    bool enter = true;     // part of the Enter order
    QString objectName;    // the editor's name; "Edit_" + field when empty

    FieldOptions &wide(int pairs) { span = pairs; return *this; }
    FieldOptions &onNewLine() { newLine = true; return *this; }
    FieldOptions &withButton(const QString &name, const QString &caption)
    {
        buttons << name + QLatin1Char('=') + caption;
        return *this;
    }
    FieldOptions &withNote(const QString &text) { note = text; return *this; }
    FieldOptions &maxHeight(int pixels) { height = pixels; return *this; }
    FieldOptions &outOfEnterOrder() { enter = false; return *this; }
    FieldOptions &named(const QString &name) { objectName = name; return *this; }
};
namespace Field {
inline FieldOptions opts() { return FieldOptions(); }
} // namespace Field

// One line of a form: the field, its label, its editor and its place.
struct FormRow {
    FormRow(const QString &field, const QString &label, const FieldType &type, const FieldOptions &opt = {})
        : field(field), label(label), type(type), opt(opt)
    {
    }
    QString field;
    QString label;
    FieldType type;
    FieldOptions opt;
};
using FormSpec = QVector<FormRow>;

// A form read off its description: the rows are laid out on a grid of
// label/field pairs, each label is its field's buddy and accessible name,
// every field is bound by name, and the Enter order and the order in which
// "保存" tests the required fields are both the screen order.
class Form : public QObject
{
    Q_OBJECT
public:
    Form(const FormSpec &rows, FieldBinder *binder, QWidget *area, int pairsPerLine = 2);

    QWidget *widget(const QString &field) const;
    QPushButton *button(const QString &objectName) const;
    QGridLayout *grid() const { return m_grid; }
    // Whether the current user may change what the form shows of set: a
    // new row needs an Insert flag, any other a Modify flag, of one of
    // the rights of the table's rules (else fallbackRight). A form that
    // may not be changed takes no typing at all.
    static bool userMayChange(Dataset *set, const QString &fallbackRight);
    void setEditable(bool editable);
    const FormSpec &rows() const { return m_rows; }
    QList<QWidget *> enterOrder() const;
    // Declares the Enter order of the form's fields, then of extra widgets.
    void applyEnterOrder(const QList<QWidget *> &extra = {}) const;

    // The required fields in screen order: the first empty one is warned
    // and focus() gets its editor. A drop-down that shows no name is empty
    // even when its code is set (the dictionary row is gone). False when
    // one was empty.
    bool checkRequired(const QVector<RequiredField> &required, const std::function<void(QWidget *)> &focus) const;

private:
    FormSpec m_rows;
    FieldBinder *m_binder;
    QGridLayout *m_grid;
    QHash<QString, QWidget *> m_widgets; // by lower-case field
    QList<QWidget *> m_enter;
};
