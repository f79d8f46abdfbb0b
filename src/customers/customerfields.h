#pragma once

#include "ui/moduleframe.h"

#include <QObject>
#include <QString>
#include <QVector>

class Dataset;
class FieldBinder;
class QComboBox;
class QLineEdit;
class QWidget;

// A customer's own fields and the rules they carry, laid out the same on
// the module's detail page and in the modal customer dialog: the Enter
// order, the district that only Chinese customers have, "查重" and
// "发送", and what "保存" checks and stamps before a row is stored.
class CustomerFields : public QObject
{
    Q_OBJECT
public:
    // On the detail page the code is tested for duplicates as typed; the
    // dialog leaves out leading and trailing blanks.
    enum class Place { DetailPage, Dialog };

    CustomerFields(Dataset *set, FieldBinder *binder, QWidget *area, Place place);

    static QVector<ModuleDesc::Required> required();
    static QStringList enterOrder();
    // What blocks deleting a customer, in the order it is tested.
    static QVector<ModuleDesc::DeleteCheck> deleteChecks();
    static const QString kDeleteQuestion;
    static const QString kCodeExists;

    QLineEdit *code() const { return m_code; }
    QComboBox *country() const { return m_country; }
    QComboBox *district() const { return m_district; }
    QLineEdit *email() const { return m_email; }
    QList<QWidget *> fieldsInEnterOrder() const;

    // The district list is open only while the nationality shown is "中国";
    // a district already stored stays in the row either way.
    void applyDistrictRule();
    void BtnCheckClick(); // "查重"
    void BtnSendClick();  // "发送"

    // After the required fields: a code another customer already has is
    // refused, and so is a new code for a customer that other records
    // still name. The focus goes to the code field.
    bool checkCode();
    // The customer's folder for the code as typed (made when missing).
    QString folder() const;
    // The creator's code goes into an empty SUser on every store of a new
    // or changed customer, so that the row stays in its creator's list.
    void stampUser();

    void focus(QWidget *w);

private:
    Dataset *m_set;
    FieldBinder *m_binder;
    QWidget *m_area;
    Place m_place;
    QLineEdit *m_code = nullptr;
    QComboBox *m_country = nullptr;
    QComboBox *m_district = nullptr;
    QLineEdit *m_email = nullptr;
};
