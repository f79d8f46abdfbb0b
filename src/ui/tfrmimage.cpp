#include "ui/tfrmimage.h"

#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

TfrmImage::TfrmImage(const QString &photoPath, QWidget *parent) : QDialog(parent), m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("TfrmImage"));
    setWindowTitle(QStringLiteral("照片放大"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMinimumSize(1, 1);
    layout->addWidget(m_label);
    if (!photoPath.isEmpty()) {
        QImageReader reader(photoPath);
        reader.setAutoTransform(true);
        m_picture = QPixmap::fromImage(reader.read());
    }
    resize(m_picture.isNull() ? QSize(400, 500) : m_picture.size().boundedTo(QSize(1000, 750)).expandedTo(QSize(200, 200)));
}

void TfrmImage::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_picture.isNull())
        m_label->setPixmap(m_picture.scaled(m_label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
