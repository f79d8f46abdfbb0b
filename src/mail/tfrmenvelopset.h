#pragma once

#include <QDialog>

class Dataset;
class QCheckBox;

// "标签设置": whether the labels carry the agency's own sender block
// (frEnvelop6) or not (frEnvelop); "预览" prints the contacts listed in
// the envelope window through the report preview. Nothing is kept.
class TfrmEnvelopSet : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEnvelopSet(Dataset *contacts, QWidget *parent = nullptr);

    QCheckBox *printSender() const { return m_sender; }
    // The template "预览" prints with.
    QString templateName() const;

    void BtnPreviewClick(); // "预览"

private:
    Dataset *m_contacts;
    QCheckBox *m_sender;
};
