#pragma once

#include <QList>

class QLineEdit;
class QWidget;

// Enter moves the cursor through the fields of a form in the order given,
// as the agencies' staff type from one box into the next without the
// mouse. Enter on a button at the end of the order presses it.
void setEnterOrder(const QList<QWidget *> &order);

// Typed characters show as '*' whatever the desktop style would draw.
void maskWithStars(QLineEdit *edit);
