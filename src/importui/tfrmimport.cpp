#include "importui/tfrmimport.h"

#include "data/clock.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kPreviewRows = 20;
const QString kLeaveOut = QStringLiteral("（不导入）");

QTableWidget *makeTable(const QStringList &captions, QWidget *parent)
{
    auto *t = new QTableWidget(0, int(captions.size()), parent);
    t->setHorizontalHeaderLabels(captions);
    t->verticalHeader()->setVisible(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QTableWidgetItem *cellItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem *lineItem(int line)
{
    auto *item = cellItem(QString());
    item->setData(Qt::DisplayRole, line);
    return item;
}
} // namespace

TfrmImport::TfrmImport(Database &db, ImportTarget target, const QString &path, const Sheet &sheet,
                       const QString &logLine, QWidget *parent)
    : QDialog(parent), m_db(db), m_target(std::move(target)), m_path(path), m_sheet(sheet), m_logLine(logLine)
{
    setObjectName(QStringLiteral("TfrmImport"));
    setWindowTitle(QStringLiteral("导入%1资料").arg(m_target.noun));
    auto *column = new QVBoxLayout(this);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildMappingPage());
    m_pages->addWidget(buildCheckPage());
    m_pages->addWidget(buildReportPage());
    column->addWidget(m_pages);
    resize(900, 600);
}

QWidget *TfrmImport::buildMappingPage()
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    QString about = QStringLiteral("文件：%1    共 %2 行")
                        .arg(QDir::toNativeSeparators(m_path))
                        .arg(m_sheet.rows.size());
    if (!m_sheet.encoding.isEmpty())
        about += QStringLiteral("    编码：%1").arg(m_sheet.encoding);
    auto *file = new QLabel(about, page);
    file->setObjectName(QStringLiteral("LblFile"));
    file->setWordWrap(true);
    column->addWidget(file);
    column->addWidget(new QLabel(QStringLiteral("请为每一列选择对应的%1资料项（前 %2 行预览）：")
                                     .arg(m_target.noun)
                                     .arg(kPreviewRows),
                                 page));
    m_preview = new QTableWidget(page);
    m_preview->setObjectName(QStringLiteral("GridPreview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(m_preview, 1);
    fillPreview();

    m_fixedArea = new QWidget(page);
    auto *fixedColumn = new QVBoxLayout(m_fixedArea);
    fixedColumn->setContentsMargins(0, 0, 0, 0);
    fixedColumn->addWidget(new QLabel(QStringLiteral("文件中没有以下必填项，请为所有行选择同一个值："), m_fixedArea));
    m_fixedForm = new QFormLayout;
    m_fixedForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    fixedColumn->addLayout(m_fixedForm);
    column->addWidget(m_fixedArea);
    refreshFixed();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *next = new QPushButton(QStringLiteral("下一步 >"), page);
    next->setObjectName(QStringLiteral("BtnNext"));
    next->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), page);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, &TfrmImport::toNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

void TfrmImport::fillPreview()
{
    const int columns = int(m_sheet.headers.size());
    const int rows = std::min(kPreviewRows, int(m_sheet.rows.size()));
    m_preview->setColumnCount(columns);
    m_preview->setRowCount(rows + 1);
    m_preview->setHorizontalHeaderLabels(m_sheet.headers);
    QStringList lines{QStringLiteral("导入到")};
    for (int r = 0; r < rows; ++r)
        lines << QString::number(m_sheet.headerLine + 1 + r);
    m_preview->setVerticalHeaderLabels(lines);
    const SheetImport::Mapping guessed = SheetImport::guessMapping(m_target, m_sheet.headers);
    for (int c = 0; c < columns; ++c) {
        auto *box = new QComboBox(m_preview);
        box->setObjectName(QStringLiteral("CboField%1").arg(c));
        box->setAccessibleName(m_sheet.headers.at(c));
        box->addItem(kLeaveOut);
        for (const ImportField &f : std::as_const(m_target.fields))
            box->addItem(f.caption, f.field);
        const int at = box->findData(guessed.value(c));
        box->setCurrentIndex(at < 0 ? 0 : at);
        m_preview->setCellWidget(0, c, box);
        m_mapping << box;
        connect(box, &QComboBox::currentIndexChanged, this, [this, c] { mappingChanged(c); });
        for (int r = 0; r < rows; ++r)
            m_preview->setItem(r + 1, c, cellItem(m_sheet.cell(r, c)));
    }
    // Rows of text as close as a list's, the row of choices as high as a drop-down.
    m_preview->verticalHeader()->setDefaultSectionSize(m_preview->fontMetrics().height() + 6);
    if (!m_mapping.isEmpty())
        m_preview->setRowHeight(0, m_mapping.first()->sizeHint().height() + 2);
    m_preview->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        m_preview->setColumnWidth(c, std::clamp(m_preview->columnWidth(c), 110, 220));
    m_preview->horizontalHeader()->setStretchLastSection(true); // a narrow file still fills the grid
}

QComboBox *TfrmImport::mappingBox(int column) const { return m_mapping.value(column); }
QComboBox *TfrmImport::fixedBox(const QString &field) const { return m_fixed.value(field); }
int TfrmImport::page() const { return m_pages->currentIndex(); }

void TfrmImport::mappingChanged(int column)
{
    // A field takes one column: another column that had it lets it go.
    const QString field = m_mapping.at(column)->currentData().toString();
    if (!field.isEmpty())
        for (int c = 0; c < m_mapping.size(); ++c)
            if (c != column && m_mapping.at(c)->currentData().toString() == field) {
                const QSignalBlocker quiet(m_mapping.at(c));
                m_mapping.at(c)->setCurrentIndex(0);
            }
    refreshFixed();
}

SheetImport::Mapping TfrmImport::mapping() const
{
    SheetImport::Mapping m;
    for (QComboBox *box : m_mapping)
        m << box->currentData().toString();
    return m;
}

void TfrmImport::refreshFixed()
{
    // A value for every row is offered where the table demands a field
    // that no column holds and one value can serve all rows: a dictionary
    // entry, a choice or a date (never a code or a name).
    const SheetImport::Mapping m = mapping();
    QStringList wanted;
    for (const RequiredField &r : std::as_const(m_target.rules.required)) {
        const ImportField *f = m_target.field(r.field);
        if (f && f->kind != ImportField::Kind::Text && !m.contains(f->field))
            wanted << f->field;
    }
    for (auto it = m_fixed.begin(); it != m_fixed.end();) {
        if (!wanted.contains(it.key())) {
            m_fixedForm->removeRow(it.value());
            it = m_fixed.erase(it);
        } else {
            ++it;
        }
    }
    for (const QString &name : std::as_const(wanted)) {
        if (m_fixed.contains(name))
            continue;
        const ImportField *f = m_target.field(name);
        auto *box = new QComboBox(m_fixedArea);
        box->setObjectName(QStringLiteral("CboFixed_%1").arg(name));
        box->setAccessibleName(f->caption);
        box->setMinimumWidth(240);
        if (f->kind == ImportField::Kind::Date) {
            box->setEditable(true);
            box->addItem(Clock::instance().today().toString(QStringLiteral("yyyy-MM-dd")));
        } else {
            QStringList names;
            QString error;
            if (!SheetImport::choicesOf(m_db, *f, &names, &error))
                Prompts::instance().warn(error);
            box->addItem(QString());
            box->addItems(names);
        }
        // In the order of the table's required fields.
        int row = 0;
        for (const QString &before : std::as_const(wanted)) {
            if (before == name)
                break;
            if (m_fixed.contains(before))
                ++row;
        }
        m_fixedForm->insertRow(row, f->caption + QStringLiteral("："), box);
        m_fixed.insert(name, box);
    }
    m_fixedArea->setVisible(!m_fixed.isEmpty());
}

SheetImport::FixedValues TfrmImport::fixedValues() const
{
    SheetImport::FixedValues v;
    for (auto it = m_fixed.begin(); it != m_fixed.end(); ++it)
        v.insert(it.key(), it.value()->currentText());
    return v;
}

QWidget *TfrmImport::buildCheckPage()
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    m_summary = new QLabel(page);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_summary->setWordWrap(true);
    column->addWidget(m_summary);
    m_checkTabs = new QTabWidget(page);

    auto *dupPage = new QWidget(page);
    auto *dupColumn = new QVBoxLayout(dupPage);
    auto *dupButtons = new QHBoxLayout;
    dupButtons->addWidget(new QLabel(QStringLiteral("勾选“合并”的行以文件中的非空值更新已有记录（编号不变），其余跳过。"), dupPage), 1);
    auto *all = new QPushButton(QStringLiteral("全部合并"), dupPage);
    all->setObjectName(QStringLiteral("BtnMergeAll"));
    auto *none = new QPushButton(QStringLiteral("全部跳过"), dupPage);
    none->setObjectName(QStringLiteral("BtnSkipAll"));
    dupButtons->addWidget(all);
    dupButtons->addWidget(none);
    dupColumn->addLayout(dupButtons);
    m_duplicates = makeTable({QStringLiteral("合并"), QStringLiteral("行号"), QStringLiteral("文件中的%1").arg(m_target.noun),
                              QStringLiteral("已有%1").arg(m_target.noun), QStringLiteral("相同之处")},
                             dupPage);
    m_duplicates->setObjectName(QStringLiteral("GridDuplicates"));
    dupColumn->addWidget(m_duplicates);
    m_checkTabs->addTab(dupPage, QString());
    connect(all, &QPushButton::clicked, this, [this] { mergeAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { mergeAll(false); });

    m_refused = makeTable({QStringLiteral("行号"), QStringLiteral("原因")}, page);
    m_refused->setObjectName(QStringLiteral("GridRefused"));
    m_checkTabs->addTab(m_refused, QString());
    m_warnings = makeTable({QStringLiteral("行号"), QStringLiteral("提示（仍会导入）")}, page);
    m_warnings->setObjectName(QStringLiteral("GridWarnings"));
    m_checkTabs->addTab(m_warnings, QString());
    column->addWidget(m_checkTabs, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *back = new QPushButton(QStringLiteral("< 上一步"), page);
    back->setObjectName(QStringLiteral("BtnBack"));
    m_start = new QPushButton(QStringLiteral("开始导入"), page);
    m_start->setObjectName(QStringLiteral("BtnStart"));
    m_start->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), page);
    buttons->addWidget(back);
    buttons->addWidget(m_start);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(0); });
    connect(m_start, &QPushButton::clicked, this, &TfrmImport::startImport);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

void TfrmImport::toNext()
{
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = SheetImport::check(m_db, m_target, m_sheet, mapping(), fixedValues(), &m_checked, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        Prompts::instance().warn(error);
        return;
    }
    if (!m_checked.fields.contains(m_target.keyField) && !m_checked.fields.contains(m_target.nameField)) {
        Prompts::instance().warn(QStringLiteral("请至少为一列选择“%1”或“%2”！")
                                     .arg(m_target.field(m_target.keyField)->caption,
                                          m_target.field(m_target.nameField)->caption));
        return;
    }
    showCheck();
    m_pages->setCurrentIndex(1);
}

void TfrmImport::showCheck()
{
    using SheetImport::Status;
    const QStringList &fields = m_checked.fields;
    const QString idCaption = m_target.idField.isEmpty() ? QString() : m_target.field(m_target.idField)->caption;
    m_duplicates->setRowCount(0);
    m_refused->setRowCount(0);
    m_warnings->setRowCount(0);
    m_duplicates->setSortingEnabled(false);
    int dup = 0, refused = 0, warned = 0;
    m_duplicates->setRowCount(m_checked.count(Status::Duplicate));
    m_refused->setRowCount(m_checked.count(Status::Refused));
    int warningLines = 0;
    for (const SheetImport::CheckedRow &r : std::as_const(m_checked.rows))
        warningLines += int(r.warnings.size());
    m_warnings->setRowCount(warningLines);
    for (int i = 0; i < m_checked.rows.size(); ++i) {
        const SheetImport::CheckedRow &r = m_checked.rows.at(i);
        if (r.status == Status::Duplicate) {
            auto *choice = new QTableWidgetItem(r.mayMerge ? QStringLiteral("合并") : QStringLiteral("无权修改"));
            choice->setData(Qt::UserRole, i);
            choice->setFlags(r.mayMerge ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                                        : Qt::ItemIsSelectable);
            choice->setCheckState(Qt::Unchecked);
            m_duplicates->setItem(dup, 0, choice);
            m_duplicates->setItem(dup, 1, lineItem(r.line));
            QStringList who{r.value(fields, m_target.nameField).toString()};
            for (const QString &p : std::as_const(m_target.phoneFields))
                if (!r.value(fields, p).toString().isEmpty())
                    who << r.value(fields, p).toString();
            if (!idCaption.isEmpty() && !r.value(fields, m_target.idField).toString().isEmpty())
                who << r.value(fields, m_target.idField).toString();
            m_duplicates->setItem(dup, 2, cellItem(who.join(QStringLiteral("  "))));
            m_duplicates->setItem(dup, 3, cellItem(r.existingKey + QStringLiteral("  ") + r.existingName));
            m_duplicates->setItem(dup, 4, cellItem(r.match));
            ++dup;
        } else if (r.status == Status::Refused) {
            m_refused->setItem(refused, 0, lineItem(r.line));
            m_refused->setItem(refused, 1, cellItem(r.reason));
            ++refused;
        }
        for (const QString &w : r.warnings) {
            m_warnings->setItem(warned, 0, lineItem(r.line));
            m_warnings->setItem(warned, 1, cellItem(w));
            ++warned;
        }
    }
    for (QTableWidget *t : {m_duplicates, m_refused, m_warnings})
        t->resizeColumnsToContents();
    m_checkTabs->setTabText(0, QStringLiteral("重复记录（%1）").arg(dup));
    m_checkTabs->setTabText(1, QStringLiteral("有误的行（%1）").arg(refused));
    m_checkTabs->setTabText(2, QStringLiteral("提示（%1）").arg(warned));
    m_checkTabs->setCurrentIndex(dup ? 0 : refused ? 1 : 2);
    m_summary->setText(QStringLiteral("共 %1 行：可新增 %2 行，与已有%3重复 %4 行，有误 %5 行（不导入），带提示 %6 行。")
                           .arg(m_checked.rows.size())
                           .arg(m_checked.count(Status::New))
                           .arg(m_target.noun)
                           .arg(dup)
                           .arg(refused)
                           .arg(m_checked.warned()));
    m_start->setEnabled(m_checked.count(Status::New) + dup > 0);
}

void TfrmImport::mergeAll(bool merge)
{
    for (int r = 0; r < m_duplicates->rowCount(); ++r) {
        QTableWidgetItem *item = m_duplicates->item(r, 0);
        if (item && (item->flags() & Qt::ItemIsUserCheckable))
            item->setCheckState(merge ? Qt::Checked : Qt::Unchecked);
    }
}

QVector<bool> TfrmImport::mergeChoices() const
{
    QVector<bool> merge(m_checked.rows.size(), false);
    for (int r = 0; r < m_duplicates->rowCount(); ++r) {
        const QTableWidgetItem *item = m_duplicates->item(r, 0);
        if (item && item->checkState() == Qt::Checked)
            merge[item->data(Qt::UserRole).toInt()] = true;
    }
    return merge;
}

QWidget *TfrmImport::buildReportPage()
{
    auto *page = new QWidget(this);
    auto *column = new QVBoxLayout(page);
    m_progress = new QProgressBar(page);
    m_progress->setObjectName(QStringLiteral("Progress"));
    column->addWidget(m_progress);
    m_result = new QLabel(page);
    m_result->setObjectName(QStringLiteral("LblResult"));
    m_result->setWordWrap(true);
    column->addWidget(m_result);
    m_skipped = makeTable({QStringLiteral("行号"), QStringLiteral("跳过的原因")}, page);
    m_skipped->setObjectName(QStringLiteral("GridSkipped"));
    column->addWidget(m_skipped, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *close = new QPushButton(QStringLiteral("关闭"), page);
    close->setObjectName(QStringLiteral("BtnClose"));
    buttons->addWidget(close);
    column->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    return page;
}

void TfrmImport::startImport()
{
    const QVector<bool> merge = mergeChoices();
    m_pages->setCurrentIndex(2);
    m_result->setText(QStringLiteral("正在导入，请稍候……"));
    m_progress->setRange(0, 0);
    m_skipped->setRowCount(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The store runs here, in one transaction; the bar is drawn between
    // its steps, with no input taken until it is over.
    const QString error = SheetImport::store(m_db, m_target, m_checked, merge, m_logLine, &m_outcome,
                                             [this](int done, int total) {
                                                 m_progress->setRange(0, std::max(total, 1));
                                                 m_progress->setValue(done);
                                                 QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                                                 return true;
                                             });
    QApplication::restoreOverrideCursor();
    showReport(error);
}

void TfrmImport::showReport(const QString &error)
{
    if (!error.isEmpty()) {
        m_progress->setRange(0, 1);
        m_progress->setValue(0);
        m_result->setText(QStringLiteral("导入失败，没有存入任何资料：\n%1").arg(error));
        Prompts::instance().warn(QStringLiteral("对不起，导入失败，没有存入任何资料！\n%1").arg(error));
        return;
    }
    m_stored = m_outcome.stored + m_outcome.merged > 0;
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    m_result->setText(QStringLiteral("导入完成：") + m_outcome.text(m_target.noun));
    m_skipped->setRowCount(int(m_outcome.skippedLines.size()));
    for (int i = 0; i < m_outcome.skippedLines.size(); ++i) {
        m_skipped->setItem(i, 0, lineItem(m_outcome.skippedLines.at(i).first));
        m_skipped->setItem(i, 1, cellItem(m_outcome.skippedLines.at(i).second));
    }
    m_skipped->resizeColumnToContents(0);
}

bool TfrmImport::run(QWidget *parent, Database &db, const ImportTarget &target, const QString &logLine)
{
    const QString path = Prompts::instance().openFileName(
        QStringLiteral("请选择要导入的%1资料文件").arg(target.noun),
        QStringLiteral("电子表格 (*.xlsx *.xls *.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    Sheet sheet;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = SheetReader::read(path, &sheet);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return false;
    }
    TfrmImport dialog(db, target, path, sheet, logLine + QStringLiteral(" ") + QFileInfo(path).fileName() + QStringLiteral("："),
                      parent);
    dialog.exec();
    return dialog.stored();
}
