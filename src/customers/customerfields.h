#pragma once

#include "ui/form.h"

#include <QObject>
#include <QString>

class Dataset;
class QComboBox;
class QLineEdit;

// A customer's own fields and the rules that belong to the screen, the
// same on the module's detail page and in the modal customer dialog: the
// district that only Chinese customers have, "查重" and "发送", and the
// customer's folder. What a customer row must satisfy lives with the data
// (customerrules.h).
class CustomerFields : public QObject
{
    Q_OBJECT
public:
    // On the detail page the code is tested for duplicates as typed; the
    // dialog leaves out leading and trailing blanks.
    enum class Place { DetailPage, Dialog };

    static FormSpec form(Place place);
    static const QString kDeleteQuestion;
    static const QString kCodeExists;

    // Gives a form built from form() its behaviour.
    CustomerFields(Form *form, Dataset *set, Place place);

    QLineEdit *code() const { return m_code; }
    QComboBox *country() const { return m_country; }
    QComboBox *district() const { return m_district; }
    QLineEdit *email() const { return m_email; }

    // The district list is open only while the nationality shown is "中国";
    // a district already stored stays in the row either way.
    void applyDistrictRule();
    void BtnCheckClick(); // "查重"
    void BtnSendClick();  // "发送"

    // The customer's folder for the code as typed (made when missing).
    QString folder() const;

private:
    Form *m_form;
    Dataset *m_set;
    Place m_place;
    QLineEdit *m_code = nullptr;
    QComboBox *m_country = nullptr;
    QComboBox *m_district = nullptr;
    QLineEdit *m_email = nullptr;
};
