#include "app/mainpictures.h"

#include <QApplication>
#include <QFont>
#include <QLinearGradient>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace MainPictures {

namespace {
// One hue per tool button, so neighbours are told apart at a glance.
QColor hue(int index)
{
    return QColor::fromHsv((index * 47 + 200) % 360, 150, 190);
}

// A picture of the given size in device-independent pixels, with as many
// device pixels as the screen has: drawn at 150 % or 200 % it stays sharp
// instead of being blown up from the small one.
QPixmap canvas(int width, int height)
{
    const qreal ratio = qMax<qreal>(1, qApp ? qApp->devicePixelRatio() : 1);
    QPixmap pm(qCeil(width * ratio), qCeil(height * ratio));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}
} // namespace

QPixmap navigationButton(const QString &caption)
{
    QPixmap pm = canvas(kNavWidth, kNavHeight);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, kNavHeight);
    g.setColorAt(0, QColor(0xF4, 0xF8, 0xFF));
    g.setColorAt(1, QColor(0xB8, 0xCC, 0xEE));
    p.setPen(QColor(0x6A, 0x86, 0xB8));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, kNavWidth - 1, kNavHeight - 1), 5, 5);
    QFont f = QApplication::font();
    f.setPixelSize(caption.size() > 6 ? 11 : 13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x1F, 0x35, 0x5E));
    p.drawText(QRect(2, 0, kNavWidth - 4, kNavHeight), Qt::AlignCenter | Qt::TextWordWrap, caption);
    return pm;
}

QPixmap toolButton(const QString &caption, int index)
{
    constexpr int size = 32;
    QPixmap pm = canvas(size, size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = hue(index);
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, c.lighter(140));
    g.setColorAt(1, c.darker(115));
    p.setPen(c.darker(150));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 1.5, size - 3, size - 3), 7, 7);
    QFont f = QApplication::font();
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, caption.left(1));
    return pm;
}

QPixmap toolStripBackground(int width)
{
    // Painted on an image: an uninitialised screen pixmap showed as a black
    // strip on some X servers.
    QImage image(qMax(width, 1), kToolSize, QImage::Format_RGB32);
    {
        QPainter p(&image);
        QLinearGradient g(0, 0, 0, kToolSize);
        g.setColorAt(0, QColor(0xE8, 0xEF, 0xFA));
        g.setColorAt(1, QColor(0xC4, 0xD3, 0xEC));
        p.fillRect(image.rect(), g);
    }
    return QPixmap::fromImage(image);
}

QPixmap aboutPicture()
{
    QPixmap pm = canvas(120, 120);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A house under a roof: the agency places help in homes.
    QPainterPath roof;
    roof.moveTo(10, 58);
    roof.lineTo(60, 14);
    roof.lineTo(110, 58);
    roof.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.drawPath(roof);
    p.setBrush(QColor(0xF5, 0xE6, 0xC8));
    p.drawRect(24, 56, 72, 52);
    p.setBrush(QColor(0x2E, 0x5C, 0x9A));
    p.drawRect(52, 76, 18, 32);
    p.drawRect(32, 66, 14, 14);
    p.drawRect(76, 66, 14, 14);
    return pm;
}

} // namespace MainPictures
