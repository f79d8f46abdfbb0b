#pragma once

#include <QString>

// One contact as the contact selection hands it to the mass mail and the
// envelope labels: who, at which customer, and where to write.
struct ChosenContact {
    QString linkmanId;
    QString name;
    QString nickName;
    QString custId;
    QString custName; // empty when the user cannot see the customer
    QString email;
    QString postCode; // the customer's
    QString address;  // the customer's
    bool operator==(const ChosenContact &) const = default;
};
