#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

// "照片放大": one photo filling the window, scaled as the window is sized.
class TfrmImage : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmImage(const QString &photoPath, QWidget *parent = nullptr);
    bool hasPicture() const { return !m_picture.isNull(); }

protected:
    void resizeEvent(class QResizeEvent *event) override;

private:
    QLabel *m_label;
    QPixmap m_picture;
};
