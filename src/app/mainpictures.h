#pragma once

#include <QPixmap>
#include <QString>

// The main window's pictures, drawn at run time so that every caption is
// the function's own text in the program's font.
namespace MainPictures {
constexpr int kNavWidth = 101;
constexpr int kNavHeight = 41;
constexpr int kToolSize = 41;

QPixmap navigationButton(const QString &caption);      // 101 x 41, the name drawn in
QPixmap toolButton(const QString &caption, int index); // a 32 x 32 badge with the first character
QPixmap toolStripBackground(int width);
QPixmap aboutPicture();
} // namespace MainPictures
