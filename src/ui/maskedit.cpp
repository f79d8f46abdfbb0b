#include "ui/maskedit.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace {

// Which places of the shown text the user fills: not the literals, and
// not the characters that only change case or escape the next one.
QList<bool> inputPlaces(const QString &inputMask)
{
    const QString mask = inputMask.section(QLatin1Char(';'), 0, 0);
    static const QString kInput = QStringLiteral("AaNnXx90Dd#HhBb");
    QList<bool> places;
    bool escaped = false;
    for (QChar c : mask) {
        if (escaped) {
            places << false;
            escaped = false;
        } else if (c == QLatin1Char('\\')) {
            escaped = true;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('!')) {
            continue;
        } else {
            places << kInput.contains(c);
        }
    }
    return places;
}

} // namespace

MaskEdit::MaskEdit(const QString &mask, QWidget *parent) : QLineEdit(parent)
{
    setInputMask(mask);
}

int MaskEdit::firstBlank() const
{
    const QString mask = inputMask();
    if (mask.isEmpty())
        return -1;
    const int semicolon = mask.lastIndexOf(QLatin1Char(';'));
    const QChar blank = semicolon >= 0 && semicolon + 1 < mask.size() ? mask.at(semicolon + 1) : QLatin1Char(' ');
    const QList<bool> places = inputPlaces(mask);
    const QString shown = displayText();
    for (int i = 0; i < shown.size() && i < places.size(); ++i)
        if (places[i] && shown.at(i) == blank)
            return i;
    return -1;
}

void MaskEdit::keepToFirstBlank()
{
    if (hasSelectedText())
        return;
    const int blank = firstBlank();
    if (blank >= 0 && cursorPosition() > blank)
        setCursorPosition(blank);
}

void MaskEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Coming back from another window or a pop-up is no new entry: the
    // caret stays where the user left it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const int blank = firstBlank();
    if (blank >= 0) {
        deselect();
        setCursorPosition(blank);
    }
}

void MaskEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    keepToFirstBlank();
}

void MaskEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    keepToFirstBlank();
}
