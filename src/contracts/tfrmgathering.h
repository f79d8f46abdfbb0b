#pragma once

#include "ui/modulepanel.h"

#include <QDate>

class DataGrid;
class Dataset;
class QAction;

// "应收账款" and "应付账款": every contract of one direction with what its
// money lines have brought in (or paid out) and what is still outstanding,
// read-only, optionally narrowed to contracts due within a period.
class TfrmGathering : public ModulePanel
{
    Q_OBJECT
public:
    enum class Kind { Receivables, Payables };

    explicit TfrmGathering(QWidget *parent = nullptr) : TfrmGathering(Kind::Receivables, parent) {}
    TfrmGathering(Kind kind, QWidget *parent);

    // The main window's action, after its log line: every contract of the
    // direction, the period of an earlier search forgotten.
    void open() override;
    // The contracts due between the two days (both included, whichever
    // comes first); false with the reason shown when the read failed.
    bool applyPeriod(const QDate &from, const QDate &to);

    Kind kind() const { return m_kind; }
    Dataset *dataset() const { return m_set; }
    DataGrid *grid() const { return m_grid; }
    QAction *command(const QString &objectName) const;
    void updateCommands();

    void BtnRefreshClick(); // "刷新"
    void BtnQueryClick();   // "查询"
    void BtnPrintClick();   // "打印"
    void BtnCloseClick();   // "关闭"

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool read(const QDate &from, const QDate &to);
    QString logPrefix() const;
    QString rightCode() const;

    Kind m_kind;
    Dataset *m_set;
    DataGrid *m_grid;
    QList<QAction *> m_commands;
    QDate m_from, m_to; // the period in force; invalid: none
};

// "应付账款": the same window over the payables.
class TfrmPayment : public TfrmGathering
{
    Q_OBJECT
public:
    explicit TfrmPayment(QWidget *parent = nullptr) : TfrmGathering(Kind::Payables, parent) {}
};
