#pragma once

#include "import/importtarget.h"
#include "import/sheetimport.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <QVector>

class Database;
class QComboBox;
class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTabWidget;
class QWidget;

// "导入客户资料..." and "导入员工资料...": one dialog over a file already
// read, in three pages: the preview with the field of each column (and a
// value for every row where the table demands one that no column holds),
// the check with the duplicates to merge or skip, and the store with its
// progress and then its report.
class TfrmImport : public QDialog
{
    Q_OBJECT
public:
    TfrmImport(Database &db, ImportTarget target, const QString &path, const Sheet &sheet, const QString &logLine,
               QWidget *parent = nullptr);

    // The whole command after its log line: the file chosen and read, the
    // dialog. True when records were stored (the caller reads its list again).
    static bool run(QWidget *parent, Database &db, const ImportTarget &target, const QString &logLine);

    // For tests and the pages' own buttons.
    QComboBox *mappingBox(int column) const;
    QComboBox *fixedBox(const QString &field) const; // a value for every row
    void toNext();        // "下一步 >": the rows checked
    void startImport();   // "开始导入"
    void mergeAll(bool merge);
    QTableWidget *duplicates() const { return m_duplicates; }
    const SheetImport::CheckResult &checked() const { return m_checked; }
    const SheetImport::Outcome &outcome() const { return m_outcome; }
    bool stored() const { return m_stored; }
    int page() const;

private:
    QWidget *buildMappingPage();
    QWidget *buildCheckPage();
    QWidget *buildReportPage();
    void fillPreview();
    void mappingChanged(int column);
    void refreshFixed();
    SheetImport::Mapping mapping() const;
    SheetImport::FixedValues fixedValues() const;
    void showCheck();
    QVector<bool> mergeChoices() const;
    void showReport(const QString &error);

    Database &m_db;
    ImportTarget m_target;
    QString m_path;
    Sheet m_sheet;
    QString m_logLine;
    SheetImport::CheckResult m_checked;
    SheetImport::Outcome m_outcome;
    bool m_stored = false;

    QStackedWidget *m_pages = nullptr;
    QTableWidget *m_preview = nullptr;
    QVector<QComboBox *> m_mapping;
    QWidget *m_fixedArea = nullptr;
    QFormLayout *m_fixedForm = nullptr;
    QHash<QString, QComboBox *> m_fixed;
    QLabel *m_summary = nullptr;
    QTabWidget *m_checkTabs = nullptr;
    QTableWidget *m_duplicates = nullptr;
    QTableWidget *m_refused = nullptr;
    QTableWidget *m_warnings = nullptr;
    QPushButton *m_start = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_result = nullptr;
    QTableWidget *m_skipped = nullptr;
};
