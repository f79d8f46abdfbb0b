#include "ui/qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
QWidget *owner() { return QApplication::activeWindow(); }

int box(QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton def, const QString &caption = kCaption)
{
    QMessageBox b(icon, caption, text, buttons, owner());
    b.setDefaultButton(def);
    return b.exec();
}
} // namespace

void QtPrompts::warn(const QString &text)
{
    box(QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtPrompts::inform(const QString &text)
{
    box(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompts::askYesNo(const QString &text, bool defaultNo, const QString &caption)
{
    return box(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
               defaultNo ? QMessageBox::No : QMessageBox::Yes, caption)
        == QMessageBox::Yes;
}

bool QtPrompts::askOkCancel(const QString &text, Icon icon)
{
    const auto i = icon == Icon::Warning ? QMessageBox::Warning
                 : icon == Icon::Information ? QMessageBox::Information
                                             : QMessageBox::Question;
    return box(i, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

QString QtPrompts::openFileName(const QString &title, const QString &filter, const QString &startPath)
{
    return QFileDialog::getOpenFileName(owner(), title, startPath, filter);
}

QString QtPrompts::saveFileName(const QString &title, const QString &name, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), title, name, filter);
}
