#include "ui/photobox.h"

#include "ui/prompts.h"

#include <QImageReader>
#include <QMouseEvent>

PhotoBox::PhotoBox(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Photo"));
    setText(QStringLiteral("（照片）"));
    setToolTip(QStringLiteral("点击选择照片资料"));
    setAccessibleName(QStringLiteral("（照片）"));
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setMinimumSize(120, 150);
    setCursor(Qt::PointingHandCursor);
}

void PhotoBox::showPhoto(const QString &path)
{
    clearPhoto();
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return;
    m_path = path;
    m_picture = QPixmap::fromImage(image);
    rescale();
}

void PhotoBox::clearPhoto()
{
    m_path.clear();
    m_picture = QPixmap();
    setPixmap(QPixmap());
    setText(QStringLiteral("（照片）"));
}

bool PhotoBox::hasPicture() const
{
    return !m_picture.isNull();
}

QString PhotoBox::choosePicture()
{
    return Prompts::instance().openFileName(QStringLiteral("选择照片"),
                                            QStringLiteral("图片文件 (*.jpg *.jpeg *.png *.bmp *.gif);;所有文件 (*)"));
}

void PhotoBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PhotoBox::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    rescale();
}

void PhotoBox::rescale()
{
    if (!m_picture.isNull())
        setPixmap(m_picture.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
