#pragma once

#include <QLineEdit>

// A line edit with an input mask ("99:99:99;_" of a time) that the user
// types into from its first empty place: entering it by a click, Enter or
// Tab puts the caret there, and a click beyond it goes no further than
// there. Digits typed at the end of the mask would otherwise be dropped.
class MaskEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MaskEdit(const QString &mask, QWidget *parent = nullptr);

    // The first place of the mask that is still blank; -1 when it is full.
    int firstBlank() const;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void keepToFirstBlank();
};
