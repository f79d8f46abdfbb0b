#pragma once

#include "data/tablerules.h"

#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class DataGrid;
class Dataset;
class FieldBinder;
class Form;
class QAction;
class QLabel;
class QPushButton;

// What one small dictionary window is: its texts, its table and its
// fields. The reference data, the currencies and the worker
// classifications are entries of this kind, not windows of their own.
struct DictionaryDesc {
    enum class Kind {
        Text,      // a line edit
        Number,    // a line edit that takes a decimal number
        Colour,    // a drop-down of the ColorID values of tblColor
        Continent, // a drop-down of the six continents
    };
    struct Field {
        QString name;         // column
        QString gridCaption;  // column caption in the grid
        QString label;        // caption before the edit field
        QString emptyMessage; // shown by "保存" when the field is empty
        Kind kind = Kind::Text;
    };

    QString className; // the window's object name: TfrmCustLevel, ...
    QString caption;
    QString listTitle;
    QString dataset; // the shared dataset of the data module
    // In screen order, which is also the order "保存" checks them in. The
    // description field is not among them: the database requires it.
    QVector<Field> fields;
    Field description;
    QString rightCode;
    QString logPath; // the commands write logPath + "-新增" / "-保存" / "-删除"
    QStringList orderBy;  // the list's order when it is not the table's
    QKeySequence closeShortcut, colourShortcut;
    // "颜色信息" of the members with a colour field.
    std::function<void(QWidget *parent)> openColours;

    bool hasColour() const;
};

// The window of one dictionary. It holds no data of its own: it edits the
// data module's shared set, so every drop-down over the dictionary sees a
// stored entry at once.
class DictionaryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DictionaryDialog(const DictionaryDesc &desc, QWidget *parent = nullptr);

    const DictionaryDesc &description() const { return m_desc; }
    Dataset *dataset() const { return m_set; }
    DataGrid *grid() const { return m_grid; }
    QLabel *listTitle() const { return m_title; }
    QWidget *fieldWidget(const QString &field) const;
    QAction *addAction() const { return m_add; }
    QAction *saveAction() const { return m_save; }
    QAction *deleteAction() const { return m_delete; }
    QAction *closeAction() const { return m_close; }
    QPushButton *colourButton() const { return m_colours; } // nullptr without a colour field

    void FormShow();
    void BtnAddClick();
    void BtnSaveClick();
    void BtnDeleteClick();
    void BtnCloseClick();
    void BtnColourClick();

    void done(int r) override; // however it closes, a pending row is discarded

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildFields(QWidget *area);
    void updateRights();
    void leavingRow();
    void focusField(const QString &field);

    DictionaryDesc m_desc;
    Dataset *m_set = nullptr;
    FieldBinder *m_binder = nullptr;
    QLabel *m_title = nullptr;
    DataGrid *m_grid = nullptr;
    QAction *m_add = nullptr, *m_save = nullptr, *m_delete = nullptr, *m_close = nullptr;
    QPushButton *m_colours = nullptr;
    Form *m_form = nullptr;
    QVector<RequiredField> m_required;
};
