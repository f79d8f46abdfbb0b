#include "ui/editdialog.h"

#include "data/dataset.h"
#include "ui/prompts.h"

#include <QCloseEvent>

EditDialog::EditDialog(Dataset *set, const QString &question, QWidget *parent)
    : QDialog(parent), m_edited(set), m_question(question)
{
}

void EditDialog::discard()
{
    m_edited->cancel();
}

void EditDialog::BtnCloseClick()
{
    if (m_edited->isEditing()) {
        if (!Prompts::instance().askYesNo(m_question))
            discard();
        else if (!checksPass() || !store())
            return;
    }
    m_closing = true;
    accept();
}

void EditDialog::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore();
    BtnCloseClick();
}

void EditDialog::reject()
{
    if (m_closing) {
        QDialog::reject();
        return;
    }
    BtnCloseClick();
}
