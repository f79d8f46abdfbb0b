#include "staff/tfrmoperaters.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "tools/documentfolders.h"
#include "staff/tfrmoperaterquery.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/links.h"
#include "ui/photobox.h"
#include "ui/tfrmimage.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
Dataset *shared(const char *name)
{
    return TdmMain::instance()->dataset(QString::fromLatin1(name));
}
} // namespace

ModuleDesc TfrmOperaters::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmOperaters");
    d.caption = QStringLiteral("工作人员资料");
    d.listPage = QStringLiteral("工作人员资料列表");
    d.detailPage = QStringLiteral("工作人员详细资料");
    d.dataset = QStringLiteral("tblOperaters");
    d.keyField = QStringLiteral("OperaterID");
    d.rightCode = QStringLiteral("303");
    d.logPrefix = QStringLiteral("客户业务管理-业务员资料");
    d.columns = {{"OperaterID", "业务员代码"}, {"Name", "姓名"},       {"NickName", "称呼"}, {"Sex", "性别"},
                 {"Department", "部门"},       {"Duty", "职务"},       {"Native", "籍贯"}};
    d.required = {{"OperaterID", "请输入业务员代码！"}, {"Name", "请输入业务员名称！"}};
    d.enterOrder = {"OperaterID", "Name",       "NickName",   "Sex",   "DepartmentID", "Duty",
                    "Education",  "Birth",      "ID",         "Native", "CTelephone",  "Fax",
                    "HTelephone", "Mobile",     "Address",    "Email", "HomePage",     "Memo"};
    // References from customers do not block a delete: a customer simply
    // loses its responsible staff member's name.
    d.deleteChecks = {{"tblOperates", "OperaterID", "对不起，该业务员存在业务资料信息，不能删除！"}};
    d.deleteQuestion = QStringLiteral("您真的要删除该业务员资料吗？");
    d.listReport = QStringLiteral("frOperaters");
    d.detailReport = QStringLiteral("frOperaterDetail");
    d.detailQuery = true;
    return d;
}

TfrmOperaters::TfrmOperaters(QWidget *parent) : ModuleFrame(description(), parent)
{
    dataset()->setOrderBy({QStringLiteral("OperaterID")});
    buildFields();
    // Contracts and customers name a staff member by code: renaming one
    // that is named would leave those rows without their staff member.
    setCodeReferences({{"tblOperates", "OperaterID", {}}, {"tblCustomers", "OperaterID", {}}});

    Dataset *contracts = shared("qryOperateInfo");
    addGridPage(QStringLiteral("业务（合同）资料"), contracts,
                {{"OperateID", "业务编码"},  {"OperateTitle", "业务标题"}, {"CustName", "相关客户"},
                 {"CreateDate", "建档时间"}, {"EndDate", "截止日期"},      {"CompactAmount", "合同金额"},
                 {"LinkmanName", "联系人"},  {"OperaterName", "业务员"}},
                QStringLiteral("Operates"));
    addSubPage(QStringLiteral("工作人员状态信息"), buildStatePage());
    applyEnterOrder();
    connect(pages(), &QTabWidget::currentChanged, this, &TfrmOperaters::showPhoto);
}

void TfrmOperaters::buildFields()
{
    auto *outer = new QHBoxLayout(detailArea());
    auto *grid = new QGridLayout;
    outer->addLayout(grid, 1);
    FieldBinder *b = binder();
    int row = 0, col = 0;
    auto place = [&](const QString &label, QWidget *w, const QString &field) {
        auto *l = new QLabel(label, detailArea());
        l->setBuddy(w);
        w->setAccessibleName(label);
        w->setObjectName(QStringLiteral("Edit_") + field);
        grid->addWidget(l, row, col);
        grid->addWidget(w, row, col + 1);
        col += 2;
        if (col == 4) {
            col = 0;
            ++row;
        }
    };
    auto line = [&](const QString &label, const QString &field) {
        auto *e = new QLineEdit(detailArea());
        b->bind(e, field);
        place(label, e, field);
        return e;
    };
    auto fixed = [&](const QString &label, const QString &field, const QStringList &items) {
        auto *c = new QComboBox(detailArea());
        b->bind(c, field, items);
        place(label, c, field);
    };
    m_code = line(QStringLiteral("工作人员代码："), QStringLiteral("OperaterID"));
    line(QStringLiteral("姓    名："), QStringLiteral("Name"));
    line(QStringLiteral("称    呼："), QStringLiteral("NickName"));
    fixed(QStringLiteral("性    别："), QStringLiteral("Sex"), {QStringLiteral("男"), QStringLiteral("女")});
    auto *dept = new QComboBox(detailArea());
    b->bind(dept, QStringLiteral("DepartmentID"), shared("tblDepartment"), QStringLiteral("DepartmentID"),
            QStringLiteral("DepartmentName"));
    place(QStringLiteral("部    门："), dept, QStringLiteral("DepartmentID"));
    line(QStringLiteral("职    务："), QStringLiteral("Duty"));
    fixed(QStringLiteral("学　　历："), QStringLiteral("Education"),
          {QStringLiteral("专科"), QStringLiteral("本科"), QStringLiteral("硕士"), QStringLiteral("中专"),
           QStringLiteral("高中"), QStringLiteral("初中")});
    auto *birth = new QDateEdit(detailArea());
    b->bind(birth, QStringLiteral("Birth"));
    place(QStringLiteral("出生年月："), birth, QStringLiteral("Birth"));
    line(QStringLiteral("身份证号："), QStringLiteral("ID"));
    line(QStringLiteral("籍　　贯："), QStringLiteral("Native"));
    line(QStringLiteral("公司电话："), QStringLiteral("CTelephone"));
    line(QStringLiteral("传　　真："), QStringLiteral("Fax"));
    line(QStringLiteral("家庭电话："), QStringLiteral("HTelephone"));
    line(QStringLiteral("移动电话："), QStringLiteral("Mobile"));
    line(QStringLiteral("住　　址："), QStringLiteral("Address"));
    m_email = line(QStringLiteral("Email邮箱："), QStringLiteral("Email"));
    m_homePage = line(QStringLiteral("主　　页："), QStringLiteral("HomePage"));
    auto *memo = new QPlainTextEdit(detailArea());
    memo->setMaximumHeight(60);
    b->bind(memo, QStringLiteral("Memo"));
    if (col != 0) {
        col = 0;
        ++row;
    }
    place(QStringLiteral("备　　注："), memo, QStringLiteral("Memo"));
    grid->addWidget(memo, row, 1, 1, 3);

    auto *side = new QVBoxLayout;
    outer->addLayout(side);
    m_photo = new PhotoBox(detailArea());
    side->addWidget(m_photo);
    m_zoom = new QPushButton(QStringLiteral("🔍"), detailArea());
    m_zoom->setObjectName(QStringLiteral("BtnZoom"));
    m_zoom->setToolTip(QStringLiteral("放大"));
    m_zoom->setAccessibleName(QStringLiteral("放大"));
    side->addWidget(m_zoom);
    auto *mail = new QPushButton(QStringLiteral("发送邮件"), detailArea());
    auto *web = new QPushButton(QStringLiteral("打开..."), detailArea());
    side->addWidget(mail);
    side->addWidget(web);
    side->addStretch(1);
    for (QPushButton *p : {m_zoom, mail, web})
        p->setFocusPolicy(Qt::NoFocus);
    connect(m_photo, &PhotoBox::clicked, this, &TfrmOperaters::PhotoClick);
    connect(m_zoom, &QPushButton::clicked, this, &TfrmOperaters::BtnZoomClick);
    connect(mail, &QPushButton::clicked, this, &TfrmOperaters::BtnMailClick);
    connect(web, &QPushButton::clicked, this, &TfrmOperaters::BtnOpenClick);
}

QWidget *TfrmOperaters::buildStatePage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    FieldBinder *b = binder();
    m_inTime = new QDateEdit(page);
    b->bind(m_inTime, QStringLiteral("InTime"));
    auto *outTime = new QDateEdit(page);
    b->bind(outTime, QStringLiteral("OutTime"));
    auto *reason = new QPlainTextEdit(page);
    b->bind(reason, QStringLiteral("OutReason"));
    auto *state = new QComboBox(page);
    b->bind(state, QStringLiteral("State"), {QStringLiteral("在职"), QStringLiteral("离职")});
    const std::pair<QString, QWidget *> fields[] = {{QStringLiteral("入职时间："), m_inTime},
                                                    {QStringLiteral("离职时间："), outTime},
                                                    {QStringLiteral("离职原因："), reason},
                                                    {QStringLiteral("在职状态："), state}};
    int row = 0;
    for (const auto &[label, w] : fields) {
        w->setAccessibleName(label);
        grid->addWidget(new QLabel(label, page), row, 0);
        grid->addWidget(w, row++, 1);
    }
    auto *edit = new QPushButton(QStringLiteral("修改"), page);
    edit->setObjectName(QStringLiteral("BtnStateEdit"));
    auto *save = new QPushButton(QStringLiteral("保存"), page);
    save->setObjectName(QStringLiteral("BtnStateSave"));
    grid->addWidget(edit, row, 0);
    grid->addWidget(save, row, 1, Qt::AlignLeft);
    connect(edit, &QPushButton::clicked, this, &TfrmOperaters::BtnStateEditClick);
    connect(save, &QPushButton::clicked, this, &TfrmOperaters::BtnStateSaveClick);
    return page;
}

void TfrmOperaters::open()
{
    for (const char *name : {"tblDepartment", "qryCustomers1", "tblCustomers2"})
        if (Dataset *d = shared(name); d && !d->isActive())
            d->open();
    dataset()->clearFilter();
    if (!dataset()->isActive())
        dataset()->open();
    showFolder();
    showPhoto();
    updateCommands();
}

QString TfrmOperaters::typedCode() const
{
    return m_code->text().trimmed();
}

void TfrmOperaters::showFolder()
{
    QString folder = DocumentFolders::operaters();
    if (!dataset()->isEmpty() && dataset()->currentRow() >= 0) {
        const QString code = dataset()->storedValue(QStringLiteral("OperaterID")).toString();
        if (!code.isEmpty())
            folder = DocumentFolders::operater(code);
    }
    emit folderChosen(folder);
}

void TfrmOperaters::showPhoto()
{
    m_photo->showPhoto(dataset()->isActive() ? dataset()->value(QStringLiteral("Photo")).toString() : QString());
}

void TfrmOperaters::afterNew()
{
    // A new member has no contracts yet.
    shared("qryOperateInfo")->close();
    m_photo->clearPhoto();
}

void TfrmOperaters::afterModify()
{
    // The contract list shows this member's contracts from now on, also in
    // the contract module until that is opened again.
    Dataset *contracts = shared("qryOperateInfo");
    contracts->close();
    contracts->setFilter(Condition::equals(QStringLiteral("OperaterID"),
                                           dataset()->storedValue(QStringLiteral("OperaterID"))));
    contracts->open();
    showFolder();
    showPhoto();
}

void TfrmOperaters::rowChosen()
{
    showFolder();
    showPhoto();
}

void TfrmOperaters::beforeStore()
{
    emit folderChosen(DocumentFolders::operater(typedCode()));
}

void TfrmOperaters::afterRefresh()
{
    showPhoto();
}

void TfrmOperaters::afterCancel()
{
    showPhoto();
}

void TfrmOperaters::openQuery()
{
    TfrmOperaterQuery dlg(dataset(), this);
    if (dlg.exec() == QDialog::Accepted)
        showPhoto();
}

void TfrmOperaters::showEvent(QShowEvent *event)
{
    ModuleFrame::showEvent(event);
    showPhoto();
}

void TfrmOperaters::PhotoClick()
{
    const QString path = PhotoBox::choosePicture();
    if (path.isEmpty())
        return;
    m_photo->showPhoto(path);
    // Setting the field starts editing a browsed row.
    dataset()->setValue(QStringLiteral("Photo"), path);
}

void TfrmOperaters::BtnZoomClick()
{
    TfrmImage dlg(dataset()->value(QStringLiteral("Photo")).toString(), this);
    dlg.exec();
}

void TfrmOperaters::BtnMailClick()
{
    openMailTo(m_email->text());
}

void TfrmOperaters::BtnOpenClick()
{
    openWebAddress(m_homePage->text());
}

void TfrmOperaters::BtnStateEditClick()
{
    if (dataset()->state() == Dataset::State::Browse)
        dataset()->edit();
    m_inTime->setFocus();
}

void TfrmOperaters::BtnStateSaveClick()
{
    // Without the checks this stored a member without code or name, which
    // nothing could then find again; no log line, as before.
    if (!runSaveChecks())
        return;
    const QString folder = DocumentFolders::operater(typedCode());
    emit folderChosen(folder);
    if (dataset()->isEditing()) {
        dataset()->setValue(QStringLiteral("FilePath"), folder);
        storeRow();
    }
}
