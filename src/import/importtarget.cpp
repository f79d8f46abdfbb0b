#include "import/importtarget.h"

#include "customers/data/customerrules.h"
#include "workers/data/entrychecks.h"
#include "workers/data/workerrules.h"

namespace {
using Kind = ImportField::Kind;

ImportField text(const char *field, const char *caption, QStringList headers = {})
{
    ImportField f;
    f.field = QString::fromUtf8(field);
    f.caption = QString::fromUtf8(caption);
    f.headers = std::move(headers);
    return f;
}

ImportField date(const char *field, const char *caption, QStringList headers = {})
{
    ImportField f = text(field, caption, std::move(headers));
    f.kind = Kind::Date;
    return f;
}

ImportField ownEntries(ImportField f)
{
    f.ownEntriesOnly = true;
    return f;
}

ImportField dictionary(const char *field, const char *caption, const char *table, const char *code,
                       const char *name, QStringList headers = {})
{
    ImportField f = text(field, caption, std::move(headers));
    f.kind = Kind::Dictionary;
    f.dictTable = QString::fromLatin1(table);
    f.dictCode = QString::fromLatin1(code);
    f.dictName = QString::fromLatin1(name);
    return f;
}

ImportField choice(const char *field, const char *caption, QStringList choices, QStringList headers = {})
{
    ImportField f = text(field, caption, std::move(headers));
    f.kind = Kind::Choice;
    f.choices = std::move(choices);
    return f;
}

QStringList words(std::initializer_list<const char *> list)
{
    QStringList l;
    for (const char *w : list)
        l << QString::fromUtf8(w);
    return l;
}
} // namespace

const ImportField *ImportTarget::field(const QString &name) const
{
    for (const ImportField &f : fields)
        if (f.field.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

ImportTarget ImportTarget::customers()
{
    ImportTarget t;
    t.table = QStringLiteral("tblCustomers");
    t.keyField = QStringLiteral("CustId");
    t.noun = QStringLiteral("客户");
    t.rules = CustomerRules::customers();
    // In the order of the customer's form.
    t.fields = {
        text("CustId", "客户代码", words({"客户编号", "客户编码", "客户简称", "代码", "编号"})),
        text("CustName", "客户名称", words({"客户姓名", "客户名", "客户", "名称", "姓名"})),
        dictionary("CountryID", "国籍", "tblCountry", "CountryID", "CountryName", words({"国家"})),
        dictionary("DistID", "所在区", "tblCustDist", "DistID", "DistName", words({"区域", "地区", "区县"})),
        text("Telephone", "电话", words({"联系电话", "固定电话", "电话号码", "座机"})),
        text("Fax", "传真"),
        text("MainLinkman", "主联系人", words({"主要联系人", "联系人"})),
        text("MainTelephone", "手机", words({"手机号", "手机号码", "移动电话"})),
        text("Address", "详细地址", words({"地址", "住址", "家庭住址"})),
        text("Email", "Email", words({"E-mail", "电子邮件", "电子邮箱", "邮箱"})),
        text("PostCode", "邮编", words({"邮政编码"})),
        text("HomePage", "主要成员", words({"家庭成员"})),
        dictionary("VocationID", "客户类型", "tblVocation", "VocationId", "VocationName", words({"类型", "行业"})),
        dictionary("OriginID", "客户来源", "tblCustOrigin", "OriginID", "OriginName", words({"来源"})),
        dictionary("LevelID", "客户级别", "tblCustLevel", "LevelID", "LevelName", words({"级别"})),
        dictionary("StateId", "客户状态", "tblCustState", "StateID", "StateName", words({"状态"})),
        date("CreateDate", "建档日期", words({"建档时间", "登记日期", "建档"})),
        dictionary("OperaterID", "工作人员", "tblOperaters", "OperaterID", "Name", words({"业务员", "负责人"})),
        text("City", "受聘人数"),
        text("Memo", "备注", words({"说明"})),
    };
    t.nameField = QStringLiteral("CustName");
    t.phoneFields = {QStringLiteral("Telephone"), QStringLiteral("MainTelephone")};
    t.warnings = {{QStringLiteral("MainTelephone"), &EntryChecks::isMobile, EntryChecks::kBadMobile}};
    t.codeExists = CustomerRules::kCodeExists;
    t.stampCreator = true;
    t.ownedRecords = true;
    return t;
}

ImportTarget ImportTarget::workers()
{
    ImportTarget t;
    t.table = QStringLiteral("tblYuangong");
    t.keyField = QStringLiteral("YuangongID");
    t.noun = QStringLiteral("员工");
    t.rules = WorkerRules::yuangong();
    t.fields = {
        text("YuangongID", "员工编号", words({"员工代码", "员工编码", "工号", "编号", "代码"})),
        text("Name", "姓名", words({"员工姓名", "名字"})),
        text("NickName", "称呼"),
        choice("Sex", "性别", words({"男", "女"})),
        dictionary("DepartmentID", "部门", "tblDepartment", "DepartmentID", "DepartmentName"),
        text("Duty", "职务"),
        choice("Education", "学历", words({"专科", "本科", "硕士", "中专", "高中", "初中"})),
        date("Birth", "出生年月", words({"出生日期", "生日"})),
        text("ID", "身份证号", words({"身份证号码", "身份证", "证件号码"})),
        dictionary("TJID", "体检情况", "tblTijian", "TJID", "TJMS", words({"体检"})),
        dictionary("GongzhongID", "工种", "tblGongzhong", "GongzhongID", "GongzhongName"),
        text("Native", "籍贯"),
        text("School", "毕业学校", words({"学校"})),
        text("Address", "家庭住址", words({"地址", "住址"})),
        text("Health", "健康状况"),
        text("Mobile", "手机", words({"手机号", "手机号码", "移动电话"})),
        text("HTelephone", "家庭电话", words({"电话", "联系电话", "住宅电话"})),
        text("Jieshao", "介绍人"),
        text("JTelephone", "介绍电话", words({"介绍人电话"})),
        dictionary("ShusongID", "输送单位", "tblShusong", "ShusongID", "ShusongName"),
        dictionary("LevelID", "技能级别", "tblJineng", "LevelID", "LevelName", words({"级别"})),
        ownEntries(dictionary("CustID", "受聘客户", "tblCustomers", "CustId", "CustName",
                              words({"客户代码", "客户编号", "客户名称", "客户"}))),
        text("Email", "Email", words({"E-mail", "电子邮件", "电子邮箱", "邮箱"})),
        text("Memo", "备注", words({"说明"})),
        date("InTime", "入职时间", words({"入职日期"})),
        choice("State", "在职状态", words({"在职", "离职"}), words({"状态"})),
        date("OutTime", "离职时间", words({"离职日期"})),
        text("OutReason", "离职原因"),
    };
    t.nameField = QStringLiteral("Name");
    t.phoneFields = {QStringLiteral("Mobile"), QStringLiteral("HTelephone")};
    t.idField = QStringLiteral("ID");
    t.warnings = {{QStringLiteral("ID"), &EntryChecks::isIdentityNumber, EntryChecks::kBadIdentityNumber},
                  {QStringLiteral("Mobile"), &EntryChecks::isMobile, EntryChecks::kBadMobile}};
    t.codeExists = QStringLiteral("对不起，该员工编号已存在！");
    return t;
}
