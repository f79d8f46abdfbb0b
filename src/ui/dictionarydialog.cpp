#include "ui/dictionarydialog.h"

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "data/tabledef.h"
#include "data/userrights.h"
#include "ui/colorchooser.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QAction>
#include <QComboBox>
#include "ui/calculatorpopup.h"

#include <QDoubleValidator>
#include <QGridLayout>
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

    auto *fields = new QWidget(this);
    m_binder = new FieldBinder(m_set, this);
    buildFields(fields);

    auto *all = new QVBoxLayout(this);
    all->setMenuBar(bar);
    all->addWidget(m_title);
    all->addWidget(m_grid, 1);
    all->addWidget(fields);
}

void DictionaryDialog::buildFields(QWidget *area)
{
    using namespace Field;
    FormSpec rows;
    auto add = [&](const DictionaryDesc::Field &f) {
        FieldOptions o = opts().named(f.name);
        switch (f.kind) {
        case DictionaryDesc::Kind::Text:
            rows.append({f.name, f.label, line(), o});
            break;
        case DictionaryDesc::Kind::Number:
            rows.append({f.name, f.label, number(), o});
            break;
        case DictionaryDesc::Kind::Continent:
            rows.append({f.name, f.label,
                         fixedList({QStringLiteral("亚洲"), QStringLiteral("北美洲"), QStringLiteral("欧洲"),
                                    QStringLiteral("澳洲"), QStringLiteral("南美洲"), QStringLiteral("非洲")}),
                         o});
            break;
        case DictionaryDesc::Kind::Colour:
            // The colours' numbers with their swatches, filled again when
            // the colour table changes.
            rows.append({f.name, f.label, custom([this, name = f.name](QWidget *parent) {
                             auto *c = new QComboBox(parent);
                             Dataset *colours = sharedSet(Sets::kColors);
                             m_binder->bind(c, name, colours, QStringLiteral("ColorID"), QStringLiteral("ColorID"));
                             decorateColours(c);
                             connect(colours, &Dataset::contentChanged, c, [c] { decorateColours(c); });
                             connect(colours, &Dataset::rowsReset, c, [c] { decorateColours(c); });
                             return c;
                         }),
                         o.withButton(QStringLiteral("BtnColour"), QStringLiteral("颜色信息"))});
            break;
        }
    };
    // The description is not among the required: the database demands it,
    // and its message follows a refused store.
    for (const DictionaryDesc::Field &f : std::as_const(m_desc.fields)) {
        add(f);
        if (!f.emptyMessage.isEmpty())
            m_required.append({f.name, f.emptyMessage});
    }
    add(m_desc.description);
    m_form = new Form(rows, m_binder, area, 1);
    m_form->applyEnterOrder();
    m_colours = m_form->button(QStringLiteral("BtnColour"));
    if (m_colours) {
        m_colours->setShortcut(m_desc.colourShortcut);
        connect(m_colours, &QPushButton::clicked, this, &DictionaryDialog::BtnColourClick);
    }
}

QWidget *DictionaryDialog::fieldWidget(const QString &field) const { return m_binder->widgetFor(field); }

void DictionaryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void DictionaryDialog::FormShow()
{
    if (!m_desc.orderBy.isEmpty())
        m_set->setOrderBy(m_desc.orderBy);
    if (!m_set->isActive() && !m_set->open())
        Prompts::instance().warn(m_set->lastError());
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

void DictionaryDialog::BtnAddClick()
{
    if (!logCommand(m_desc.logPath + QStringLiteral("-新增")))
        return;
    if (!beginNewRecord(m_set))
        return;
    focusField(m_desc.fields.first().name);
}

void DictionaryDialog::BtnSaveClick()
{
    if (!logCommand(m_desc.logPath + QStringLiteral("-保存")))
        return;
    if (!m_form->checkRequired(m_required, [](QWidget *w) { w->setFocus(); }))
        return;
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
    // What still uses the entry (a currency of contracts) holds the delete.
    const TableRules *rules = TdmMain::instance() && m_set->table() ? TdmMain::instance()->rules(m_set->table()->name()) : nullptr;
    deleteCurrentRecord(m_set, rules, QStringLiteral("真的要删除该条记录吗?"));
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
