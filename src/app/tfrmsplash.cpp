#include "app/tfrmsplash.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int kWidth = 413;
constexpr int kHeight = 251;
} // namespace

TfrmSplash::TfrmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TfrmSplash"));
    setWindowTitle(QStringLiteral("Brevia2003（网络版）"));
    setFixedSize(kWidth, kHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmSplash::showForOneSecond()
{
    show();
    repaint();
    QEventLoop wait;
    QTimer::singleShot(1000, &wait, &QEventLoop::quit);
    wait.exec();
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    // Drawn rather than loaded, so the program needs no picture file.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
    sky.setColorAt(1, QColor(0x8f, 0xb8, 0xe8));
    p.fillRect(rect(), sky);
    p.setPen(QColor(255, 255, 255, 60));
    for (int r = 60; r < 400; r += 45)
        p.drawEllipse(QPoint(kWidth - 40, kHeight + 20), r, r);

    QFont title = font();
    title.setPointSize(22);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, windowTitle());
    p.setPen(QColor(0x10, 0x30, 0x60));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
