#pragma once

#include <QColor>

#include <optional>

class QWidget;

// The desktop's colour chooser behind a seam, so that tests can answer it.
class ColorChooser
{
public:
    virtual ~ColorChooser() = default;
    // The colour the user confirmed; nothing when the chooser was cancelled.
    virtual std::optional<QColor> choose(QWidget *parent) = 0;

    static ColorChooser &instance();
    static void install(ColorChooser *c); // nullptr restores the desktop's chooser
};

// tblColor keeps a colour as the 24-bit value of the old screens, red in
// the low byte (0x00BBGGRR), so that colours of imported databases keep
// their look in the charts.
QColor colorFromId(qint64 id);
qint64 colorId(const QColor &c);
