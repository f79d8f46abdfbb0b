#pragma once

#include <QLabel>
#include <QString>

// A photo held by reference: the record keeps the full path of a picture
// file, read each time it is shown. A file that is gone or unreadable
// leaves the box empty without a word, since photos move about on
// workstations and that is no error of the record.
class PhotoBox : public QLabel
{
    Q_OBJECT
public:
    explicit PhotoBox(QWidget *parent = nullptr);

    void showPhoto(const QString &path); // empty path: cleared
    void clearPhoto();
    bool hasPicture() const;
    const QString &path() const { return m_path; }

    // The picture-file dialog (through Prompts); empty when cancelled.
    static QString choosePicture();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(class QMouseEvent *event) override;
    void resizeEvent(class QResizeEvent *event) override;

private:
    void rescale();
    QString m_path;
    QPixmap m_picture;
};
