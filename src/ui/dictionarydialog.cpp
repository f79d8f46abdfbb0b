#include "ui/dictionarydialog.h"

#include "data/datasetmodel.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/userrights.h"
#include "ui/colorchooser.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QAction>
#include <QComboBox>
#include "ui/calculatorpopup.h"

#include <QDoubleValidator>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString kDuplicate = QStringLiteral("对不起，该代码已存在！");

// The colour column shows its swatch beside the number.
class ColourDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant v = index.data(Qt::EditRole);
        if (v.isNull())
            return;
        QPixmap swatch(14, 14);
        swatch.fill(colorFromId(v.toLongLong()));
        option->icon = QIcon(swatch);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->decorationSize = swatch.size();
    }
};

void decorateColours(QComboBox *combo)
{
    for (int i = 0; i < combo->count(); ++i) {
        QPixmap swatch(14, 14);
        swatch.fill(colorFromId(combo->itemData(i).toLongLong()));
        combo->setItemIcon(i, QIcon(swatch));
    }
}

Dataset *sharedSet(const QString &name)
{
    TdmMain *dm = TdmMain::instance();
    return dm ? dm->dataset(name) : nullptr;
}
} // namespace

bool DictionaryDesc::hasColour() const
{
    for (const Field &f : fields)
        if (f.kind == Kind::Colour)
            return true;
    return false;
}

DictionaryDialog::DictionaryDialog(const DictionaryDesc &desc, QWidget *parent)
    : QDialog(parent), m_desc(desc), m_set(sharedSet(desc.dataset))
{
    Q_ASSERT(m_set);
    setObjectName(desc.className);
    setWindowTitle(desc.caption);
    resize(640, 460);

    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_add = bar->addAction(QStringLiteral("新增"), this, &DictionaryDialog::BtnAddClick);
    m_add->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    m_save = bar->addAction(QStringLiteral("保存"), this, &DictionaryDialog::BtnSaveClick);
    m_save->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    m_delete = bar->addAction(QStringLiteral("删除"), this, &DictionaryDialog::BtnDeleteClick);
    m_delete->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    m_close = bar->addAction(QStringLiteral("关闭"), this, &DictionaryDialog::BtnCloseClick);
    m_close->setShortcut(desc.closeShortcut);
    for (QAction *a : {m_add, m_save, m_delete, m_close})
        a->setShortcutContext(Qt::WindowShortcut);

    m_title = new QLabel(desc.listTitle, this);
    QVector<DatasetModel::Column> cols;
    for (const DictionaryDesc::Field &f : desc.fields)
        cols.append({f.name, f.gridCaption});
    cols.append({desc.description.name, desc.description.gridCaption});
    m_grid = new DataGrid(m_set, cols, desc.className + QStringLiteral(".List"), this);
    m_grid->setGroupPanelVisible(false);
    m_grid->setStretchColumns(true);
    m_grid->view()->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->view()->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const DictionaryDesc::Field &f : desc.fields)
        if (f.kind == DictionaryDesc::Kind::Colour)
            m_grid->setColumnDelegate(f.name, new ColourDelegate);
    m_grid->setBeforeLeavingRow([this] { leavingRow(); });

    auto *fields = new QGridLayout;
    m_binder = new FieldBinder(m_set, this);
    buildFields(fields);

    auto *all = new QVBoxLayout(this);
    all->setMenuBar(bar);
    all->addWidget(m_title);
    all->addWidget(m_grid, 1);
    all->addLayout(fields);
}

void DictionaryDialog::buildFields(QGridLayout *grid)
{
    auto addRow = [&](const DictionaryDesc::Field &f, int row) {
        QWidget *w = nullptr;
        switch (f.kind) {
        case DictionaryDesc::Kind::Text:
        case DictionaryDesc::Kind::Number: {
            auto *e = new QLineEdit(this);
            if (f.kind == DictionaryDesc::Kind::Number) {
                auto *v = new QDoubleValidator(e);
                v->setNotation(QDoubleValidator::StandardNotation);
                e->setValidator(v);
                e->setAlignment(Qt::AlignRight);
                attachCalculator(e);
            }
            m_binder->bind(e, f.name);
            w = e;
            break;
        }
        case DictionaryDesc::Kind::Colour: {
            auto *c = new QComboBox(this);
            Dataset *colours = sharedSet(QStringLiteral("tblColor"));
            m_binder->bind(c, f.name, colours, QStringLiteral("ColorID"), QStringLiteral("ColorID"));
            decorateColours(c);
            // After the binder has filled the list again.
            connect(colours, &Dataset::contentChanged, c, [c] { decorateColours(c); });
            connect(colours, &Dataset::rowsReset, c, [c] { decorateColours(c); });
            w = c;
            break;
        }
        case DictionaryDesc::Kind::Continent: {
            auto *c = new QComboBox(this);
            m_binder->bind(c, f.name,
                           {QStringLiteral("亚洲"), QStringLiteral("北美洲"), QStringLiteral("欧洲"),
                            QStringLiteral("澳洲"), QStringLiteral("南美洲"), QStringLiteral("非洲")});
            w = c;
            break;
        }
        }
        w->setObjectName(f.name);
        w->installEventFilter(this);
        m_enterOrder << w;
        auto *label = new QLabel(f.label, this);
        label->setBuddy(w);
        grid->addWidget(label, row, 0);
        grid->addWidget(w, row, 1);
        if (f.kind == DictionaryDesc::Kind::Colour) {
            m_colours = new QPushButton(QStringLiteral("颜色信息"), this);
            m_colours->setAutoDefault(false);
            m_colours->setShortcut(m_desc.colourShortcut);
            connect(m_colours, &QPushButton::clicked, this, &DictionaryDialog::BtnColourClick);
            grid->addWidget(m_colours, row, 2);
        }
    };
    int row = 0;
    for (const DictionaryDesc::Field &f : std::as_const(m_desc.fields))
        addRow(f, row++);
    addRow(m_desc.description, row);
    grid->setColumnStretch(1, 1);
}

QWidget *DictionaryDialog::fieldWidget(const QString &field) const { return m_binder->widgetFor(field); }

void DictionaryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void DictionaryDialog::FormShow()
{
    QStringList names{m_desc.dataset};
    if (m_desc.hasColour())
        names << QStringLiteral("tblColor");
    names << m_desc.alsoOpen;
    if (!m_desc.orderBy.isEmpty())
        m_set->setOrderBy(m_desc.orderBy);
    for (const QString &name : std::as_const(names)) {
        Dataset *d = sharedSet(name);
        if (d && !d->isActive() && !d->open())
            Prompts::instance().warn(d->lastError());
    }
    updateRights();
    focusField(m_desc.fields.first().name);
}

void DictionaryDialog::updateRights()
{
    // The rights in memory: the main window reads them again after the
    // rights window, a server change or a restore.
    const UserRights::Ops ops = UserRights::current().ops(m_desc.rightCode);
    m_add->setEnabled(ops.insert);
    m_delete->setEnabled(ops.remove);
}

void DictionaryDialog::leavingRow()
{
    // A new row without its code is never stored; leaving it drops it.
    if (m_set->state() == Dataset::State::Insert && m_set->isBlank(m_desc.fields.first().name))
        m_set->cancel();
}

void DictionaryDialog::focusField(const QString &field)
{
    if (QWidget *w = fieldWidget(field))
        w->setFocus();
}

bool DictionaryDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int i = int(m_enterOrder.indexOf(static_cast<QWidget *>(watched)));
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && i >= 0) {
            if (i + 1 < m_enterOrder.size())
                m_enterOrder[i + 1]->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DictionaryDialog::BtnAddClick()
{
    if (!logCommand(m_desc.logPath + QStringLiteral("-新增")))
        return;
    if (!m_set->append()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    focusField(m_desc.fields.first().name);
}

void DictionaryDialog::BtnSaveClick()
{
    if (!logCommand(m_desc.logPath + QStringLiteral("-保存")))
        return;
    for (const DictionaryDesc::Field &f : std::as_const(m_desc.fields)) {
        if (!f.emptyMessage.isEmpty() && m_set->isBlank(f.name)) {
            Prompts::instance().warn(f.emptyMessage);
            focusField(f.name);
            return;
        }
    }
    if (!m_set->isEditing() || m_set->post())
        return;
    // The row stays in editing, so the user can put it right or close.
    if (m_set->isBlank(m_desc.description.name)) {
        Prompts::instance().warn(m_desc.description.emptyMessage);
        focusField(m_desc.description.name);
        return;
    }
    Prompts::instance().warn(m_set->lastError());
    if (m_set->lastError() == kDuplicate)
        focusField(m_desc.fields.first().name);
}

void DictionaryDialog::BtnDeleteClick()
{
    if (!logCommand(m_desc.logPath + QStringLiteral("-删除")))
        return;
    if (m_set->isEmpty())
        return;
    if (!Prompts::instance().askOkCancel(QStringLiteral("真的要删除该条记录吗?"), Prompts::Icon::Question))
        return;
    if (!m_set->remove())
        Prompts::instance().warn(m_set->lastError());
}

void DictionaryDialog::BtnCloseClick() { reject(); }

void DictionaryDialog::BtnColourClick()
{
    if (m_desc.openColours)
        m_desc.openColours(this);
}

void DictionaryDialog::done(int r)
{
    // The set is shared: a change left pending here would be stored by the
    // next window that moves it.
    if (m_set->isEditing())
        m_set->cancel();
    QDialog::done(r);
}
