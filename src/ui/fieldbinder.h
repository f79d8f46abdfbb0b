#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>

class QEvent;

class Dataset;
class QCheckBox;
class QComboBox;
class DateEdit;
class QLineEdit;
class QPlainTextEdit;
class PhotoBox;
class QWidget;

// Binds edit widgets to the fields of a dataset's current row by name.
// Typing starts editing; the widgets follow the row as it moves.
class FieldBinder : public QObject
{
    Q_OBJECT
public:
    explicit FieldBinder(Dataset *dataset, QObject *parent = nullptr);

    void bind(QLineEdit *edit, const QString &field);
    // A drop-down over a dictionary: shows nameField of each row of source
    // and stores its codeField. A closed source opens here if its
    // connection is there; the list follows it as it changes, opens and
    // closes. With fixedItems instead of a source, the
    // combo offers a fixed list of texts and stores the text.
    void bind(QComboBox *combo, const QString &field, Dataset *source, const QString &codeField,
              const QString &nameField);
    void bind(QComboBox *combo, const QString &field, const QStringList &fixedItems);
    void bind(DateEdit *edit, const QString &field);
    void bind(QCheckBox *box, const QString &field);
    void bind(QPlainTextEdit *memo, const QString &field);
    // A photo by the path the field holds; a click on it chooses another
    // picture, which starts editing like typing does.
    void bind(PhotoBox *photo, const QString &field);

    QWidget *widgetFor(const QString &field) const;
    // A long drop-down out of sight is filled when it comes into view (a
    // list of every customer costs seconds to fill, and a start-up or login
    // that filled it would grow with the agency); this fills it now. Long is
    // more than one page of reading. A long one that is disabled offers
    // nothing to choose and shows the current row's name alone, until it is
    // enabled.
    void ensureFilled(QWidget *combo);
    static constexpr int kDeferredRows = 200;
    Dataset *dataset() const { return m_dataset; }
    // Re-reads every widget from the current row.
    void refresh();

private:
    enum class Kind { Line, Combo, FixedCombo, Date, Check, Memo, Photo };
    struct Binding {
        Kind kind;
        QPointer<QWidget> widget;
        QString field;
        QPointer<Dataset> source;
        QString codeField, nameField;
    };

    void show(const Binding &b);
    void store(const Binding &b, const QVariant &v);
    void fillCombo(const Binding &b, bool openSource);
    void addItems(QComboBox *combo, const Binding &b);
    void onFieldChanged(const QString &field);
    bool eventFilter(QObject *watched, QEvent *event) override;

    QPointer<Dataset> m_dataset;
    QVector<Binding> m_bindings;
    bool m_updating = false;
    bool m_filling = false; // a drop-down's list is being filled
    QVector<QObject *> m_stale; // long drop-downs waiting to be seen before they are filled
    // Long drop-downs that cannot be changed: they hold the current row's
    // name alone until they are enabled.
    QVector<QObject *> m_currentOnly;
    void showCurrentOnly(QComboBox *combo, const Binding &b, const QVariant &code);
};
