#include "ui/colorchooser.h"

#include <QColorDialog>

namespace {
class DesktopColorChooser : public ColorChooser
{
public:
    std::optional<QColor> choose(QWidget *parent) override
    {
        const QColor c = QColorDialog::getColor(Qt::white, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }
};

ColorChooser *current = nullptr;
} // namespace

ColorChooser &ColorChooser::instance()
{
    static DesktopColorChooser desktop;
    return current ? *current : desktop;
}

void ColorChooser::install(ColorChooser *c) { current = c; }

QColor colorFromId(qint64 id)
{
    return QColor(int(id & 0xFF), int((id >> 8) & 0xFF), int((id >> 16) & 0xFF));
}

qint64 colorId(const QColor &c)
{
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}
