#pragma once

#include "ui/moduleframe.h"

class EntryWarnings;
class QLineEdit;

// "输送单位": the labour-supplying units with their commission
// settlements. The frame gives the pages, the commands, the settlement
// sub-page and their rules; this adds the shared folder of all units, the
// mail and web buttons, the number warnings and the search.
class TfrmShusong : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmShusong(QWidget *parent = nullptr);

    // The main window's action, after its log line: the unit list and the
    // settlements opened when closed (an open list is not read again), the
    // tools panel on the units' folder.
    void open() override;

    QLineEdit *edit(const QString &field) const;

    void BtnMailClick(); // "发送邮件"
    void BtnOpenClick(); // "打开..."

protected:
    void afterModify() override;
    void rowChosen() override;
    bool checkSave() override;
    void beforeStore() override;
    void openQuery() override;

private:
    EntryWarnings *m_warnings = nullptr;
};
