#pragma once

#include "ui/moduleframe.h"

class PhotoBox;
class QLineEdit;
class QPushButton;

// "工作人员资料": the agency's own staff. The frame gives the pages, the
// commands and their rules; this adds the photo, the staff member's
// contracts, the employment state, the query window and the folders.
class TfrmOperaters : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmOperaters(QWidget *parent = nullptr);

    // The main window's action, after its log line: the whole staff and
    // the tools panel on the staff folders.
    void open() override;

    PhotoBox *photo() const { return m_photo; }
    QPushButton *zoomButton() const { return m_zoom; }
    QLineEdit *emailEdit() const;
    QLineEdit *homePageEdit() const;

    void PhotoClick();      // the photo box: choose a picture
    void BtnZoomClick();    // "放大"
    void BtnMailClick();    // "发送邮件"
    void BtnOpenClick();    // "打开..."
    void BtnStateEditClick(); // the status page's "修改"
    void BtnStateSaveClick(); // the status page's "保存"
    void showPhoto();

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    void beforeStore() override;
    void openQuery() override;

private:
    void buildSide();
    QString typedCode() const;

    PhotoBox *m_photo = nullptr;
    QPushButton *m_zoom = nullptr;
    Form *m_state = nullptr;
};
