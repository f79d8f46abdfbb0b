#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QLineEdit;

// The arithmetic of the pop-up calculator, apart from its buttons: keys
// in, the display out. Division by zero shows an error until cleared.
class Calculator
{
public:
    explicit Calculator(double start = 0);
    // One key: "0".."9", ".", "+", "-", "*", "/", "=", "C", "<" (back).
    void press(const QString &key);
    QString display() const { return m_display; }
    bool hasError() const { return m_error; }
    double value() const { return m_display.toDouble(); }

private:
    void apply();
    QString m_display = QStringLiteral("0");
    double m_accumulator = 0;
    QString m_pending; // operator waiting for its second operand
    bool m_fresh = true; // the next digit starts a new number
    bool m_error = false;
};

// A calculator that drops down under a number field; "确定" puts the
// result into the field, Esc leaves it as it was.
class CalculatorPopup : public QFrame
{
    Q_OBJECT
public:
    explicit CalculatorPopup(QLineEdit *target);
    void press(const QString &key);
    void accept();
    QString display() const { return m_calc.display(); }

protected:
    void keyPressEvent(class QKeyEvent *event) override;

private:
    QLineEdit *m_target;
    Calculator m_calc;
    QLabel *m_screen;
};

// Gives a number field a calculator button; returns the popup's opener so
// tests can open it without a click.
void attachCalculator(QLineEdit *edit);
CalculatorPopup *openCalculator(QLineEdit *edit);
