#include "reference/referencewindows.h"

#include "data/sharedsets.h"
#include "reference/tfrmcolor.h"
#include "ui/dictionarydialog.h"

#include <QHash>
#include <QVector>

#include <memory>

namespace {
using Kind = DictionaryDesc::Kind;
using Field = DictionaryDesc::Field;

void openColourWindow(QWidget *parent)
{
    TfrmColor w(parent);
    w.exec();
}

// A dictionary of code, name, an optional colour and a required
// description ("描述"), as the customer, contract and staff records use.
struct Texts {
    const char *className, *caption, *listTitle;
    const QString &set; // the shared set the window edits
    const char *code, *codeCaption, *name, *nameCaption, *colour;
    const char *right, *logPath;
    const char *emptyCode, *emptyName, *emptyColour, *emptyMemo;
};

const Texts kDictionaries[] = {
    {"TfrmRegion", "所在区设置", "所在区设置列表：", Sets::kDistricts, "DistID", "区域代码", "DistName", "区域名称",
     "DistColor", "202", "基础资料-地区设置", "请输入地区代码！", "请输入地区名称！", "请选择您要设置的颜色！",
     "请输入地区描述！"},
    {"TfrmCountry", "国家信息", "国家信息列表：", Sets::kCountries, "CountryID", "国家代码", "CountryName", "国家名称",
     "CountryColor", "203", "基础资料-国家信息", "请输入国家代码！", "请输入国家名称！", "请选择您要设置的颜色！",
     "请输入描述内容！"},
    {"TfrmFinanceOrgan", "金融机构设置", "金融机构列表：", Sets::kFinanceOrgans, "OrganID", "机构代码", "OrganName",
     "机构名称", nullptr, "205", "基础资料-金融机构设置", "请输入金融机构代码！", "请输入金融机构名称！", nullptr,
     "请输入金融机构描述！"},
    {"TfrmVocation", "客户类型设置", "客户类型列表：", Sets::kCustomerTypes, "VocationId", "类型代码", "VocationName",
     "类型名称", "VocationColor", "206", "基础资料-行业类别设置", "请输入行业代码！", "请输入行业名称！",
     "请选择输入颜色信息！", "请输入行业描述！"},
    {"TfrmOperateStyle", "业务类型设置", "业务类型设置列表：", Sets::kContractTypes, "TypeID", "业务类型代码", "TypeName",
     "业务类型名称", "TypeColor", "207", "基础资料-业务类型设置", "请输入业务类型代码！", "请输入业务类型名称！",
     "请选择输入业务类型颜色设置！", "请输入业务类型描述！"},
    {"TfrmOperateOrigin", "业务来源设置", "业务来源设置列表：", Sets::kContractOrigins, "OriginID", "业务来源代码",
     "OriginName", "来源名称", "OriginColor", "208", "基础资料-业务来源设置", "请输入业务来源代码！",
     "请输入业务来源名称！", "请选择输入业务来源颜色设置！", "请输入业务来源描述！"},
    {"TfrmOperateState", "业务状态设置", "业务状态设置列表：", Sets::kContractStates, "OperateStateID", "业务状态代码",
     "OperateStateName", "业务状态名称", "StateColor", "209", "基础资料-业务状态设置", "请输入业务状态代码！",
     "请输入业务状态名称！", "请选择输入业务状态颜色设置！", "请输入业务状态描述！"},
    {"TfrmCustLevel", "客户级别设置", "客户级别设置列表：", Sets::kCustomerLevels, "LevelID", "客户级别代码", "LevelName",
     "客户级别名称", "LevelColor", "210", "基础资料-客户级别定义", "请输入客户级别代码！", "请输入客户级别名称！",
     "请选择输入客户级别颜色设置！", "请输入客户级别描述！"},
    {"TfrmState", "客户状态设置", "客户状态设置列表：", Sets::kCustomerStates, "StateID", "状态代码", "StateName",
     "状态名称", "StateColor", "211", "基础资料-客户状态定义", "请输入客户状态代码！", "请输入客户状态名称！",
     "请选择输入客户状态颜色设置！", "请输入客户状态描述！"},
    {"TfrmCustOrigin", "客户来源设置", "客户来源设置列表：", Sets::kCustomerOrigins, "OriginID", "客户来源代码",
     "OriginName", "来源名称", "OriginColor", "212", "基础资料-客户来源定义", "请输入客户来源代码！",
     "请输入客户来源名称！", "请选择输入客户来源颜色设置！", "请输入客户来源描述！"},
    // Its own lines say "基础资料" although the menu entry is under 内部管理.
    {"TfrmDepartment", "部门设置", "部门设置列表：", Sets::kDepartments, "DepartmentID", "部门代码", "DepartmentName",
     "部门名称", nullptr, "201", "基础资料-部门设置", "请输入部门代码！", "请输入部门名称！", nullptr,
     "请输入部门描述！"},
};

// The edit fields are labelled as their grid columns are captioned.
QString labelFor(const QString &caption)
{
    return caption + QStringLiteral("：");
}

DictionaryDesc dictionary(const Texts &t)
{
    DictionaryDesc d;
    d.className = QString::fromUtf8(t.className);
    d.caption = QString::fromUtf8(t.caption);
    d.listTitle = QString::fromUtf8(t.listTitle);
    d.dataset = t.set;
    const QString codeCaption = QString::fromUtf8(t.codeCaption), nameCaption = QString::fromUtf8(t.nameCaption);
    d.fields.append({t.code, codeCaption, labelFor(codeCaption), QString::fromUtf8(t.emptyCode)});
    d.fields.append({t.name, nameCaption, labelFor(nameCaption), QString::fromUtf8(t.emptyName)});
    if (d.className == QLatin1String("TfrmCountry"))
        d.fields.append({QStringLiteral("Continent"), QStringLiteral("所在洲"), QStringLiteral("所 在 洲："),
                         QStringLiteral("请选择所在的洲名称！"), Kind::Continent});
    if (t.colour) {
        d.fields.append({t.colour, QStringLiteral("颜色设置"), QStringLiteral("颜 色 设  置："),
                         QString::fromUtf8(t.emptyColour), Kind::Colour});
        d.openColours = &openColourWindow;
    }
    d.description = {QStringLiteral("Memo"), QStringLiteral("描述"), QStringLiteral("描　      述："),
                     QString::fromUtf8(t.emptyMemo)};
    d.rightCode = QString::fromUtf8(t.right);
    d.logPath = QString::fromUtf8(t.logPath);
    if (d.className == QLatin1String("TfrmCustOrigin")) {
        d.closeShortcut = QKeySequence(QStringLiteral("Ctrl+X"));
        d.colourShortcut = QKeySequence(QStringLiteral("Ctrl+F"));
    }
    return d;
}

DictionaryDesc currencies()
{
    DictionaryDesc d;
    d.className = QStringLiteral("TfrmCurrencyRate");
    d.caption = QStringLiteral("币别汇率设置");
    d.listTitle = QStringLiteral("币别汇率列表：");
    d.dataset = Sets::kCurrencies;
    d.fields = {{QStringLiteral("CurrID"), QStringLiteral("币别代码"), QStringLiteral("币别代码："),
                 QStringLiteral("请输入币别代码！")},
                {QStringLiteral("CurrName"), QStringLiteral("币别名称"), QStringLiteral("币别名称："),
                 QStringLiteral("请输入币别名称！")},
                {QStringLiteral("Rate"), QStringLiteral("汇率"), QStringLiteral("汇    率："),
                 QStringLiteral("请输入币别汇率！"), Kind::Number}};
    d.description = {QStringLiteral("Memo"), QStringLiteral("备注"), QStringLiteral("备　　注："),
                     QStringLiteral("请输入备注内容！")};
    d.rightCode = QStringLiteral("204");
    d.logPath = QStringLiteral("基础资料-币别汇率设置");
    d.orderBy = {QStringLiteral("CurrID")};
    return d;
}

// The worker classifications: code, name and a required remark.
DictionaryDesc classification(const char *className, const char *caption, const char *listTitle, const QString &set,
                              const QVector<Field> &fields, const Field &remark, const char *right,
                              const char *logPath)
{
    DictionaryDesc d;
    d.className = QString::fromUtf8(className);
    d.caption = QString::fromUtf8(caption);
    d.listTitle = QString::fromUtf8(listTitle);
    d.dataset = set;
    d.fields = fields;
    d.description = remark;
    d.rightCode = QString::fromUtf8(right);
    d.logPath = QString::fromUtf8(logPath);
    return d;
}

const QVector<DictionaryDesc> &members()
{
    static const QVector<DictionaryDesc> all = [] {
        QVector<DictionaryDesc> v;
        for (const Texts &t : kDictionaries)
            v << dictionary(t);
        v << currencies();
        v << classification("TfrmGongzhong", "工种设置", "工种设置列表：", Sets::kTrades,
                            {{"GongzhongID", "工种代码", "工种代码：", "请输入工种代码！"},
                             {"GongzhongName", "工种名称", "工种名称：", "请输入工种名称！"}},
                            {"Memo", "描述", "描　　述：", "请输入工种描述！"}, "602", "内部管理-工种设置");
        v << classification("TfrmJineng", "技能级别", "技能级别设置列表：", Sets::kSkillLevels,
                            {{"LevelID", "级别代码", "级别代码：", "请输入级别代码！"},
                             {"LevelName", "级别名称", "级别名称：", "请输入级别名称！"}},
                            {"Memo", "描述", "描　　述：", "请输入技能级别描述！"}, "604", "内部管理-技能级别");
        v << classification("TfrmTijian", "体检设定", "体检设定列表：", Sets::kHealthChecks,
                            {{"TJID", "体检代码", "体检代码：", "请输入体检设定代码！"},
                             {"TJMS", "体检描述", "体检描述：", "请输入体检设定描述！"}},
                            {"Memo", "备注", "备    注：", "请输入备注！"}, "605", "内部管理-体检设定");
        return v;
    }();
    return all;
}
} // namespace

QStringList referenceWindowNames()
{
    QStringList names;
    for (const DictionaryDesc &d : members())
        names << d.className;
    names << QStringLiteral("TfrmColor");
    return names;
}

const DictionaryDesc *referenceDescription(const QString &className)
{
    for (const DictionaryDesc &d : members())
        if (d.className == className)
            return &d;
    return nullptr;
}

QDialog *createReferenceWindow(const QString &className, QWidget *parent)
{
    if (className == QLatin1String("TfrmColor"))
        return new TfrmColor(parent);
    const DictionaryDesc *d = referenceDescription(className);
    return d ? new DictionaryDialog(*d, parent) : nullptr;
}

bool openReferenceWindow(const QString &className, QWidget *parent)
{
    std::unique_ptr<QDialog> w(createReferenceWindow(className, parent));
    if (!w)
        return false;
    w->exec();
    return true;
}
