#pragma once

#include <QDialog>

class Dataset;
class FieldBinder;
class QLineEdit;

// The agency's own details, printed as the sender on envelope labels.
class TfrmUserInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmUserInfo(QWidget *parent = nullptr);
    ~TfrmUserInfo() override;

    QLineEdit *edit(const QString &field) const; // by column name

    void FormShow();
    void BtnSaveClick();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Dataset *m_info;
    FieldBinder *m_binder;
};
