#include "workers/workerfields.h"

#include "data/sharedsets.h"
#include "workers/data/entrychecks.h"
#include "workers/entrywarnings.h"

#include <QFrame>
#include <QLineEdit>

FormSpec WorkerFields::form(Place place)
{
    using namespace Field;
    const bool window = place == Place::Window;
    FieldOptions customer = opts();
    if (window)
        customer.withButton(QStringLiteral("BtnCustQuery"), QStringLiteral("查询..."));
    return {
        {"YuangongID", "员工编号：", line()},
        {"Name", "姓    名：", line()},
        {"NickName", "称    呼：", line()},
        {"Sex", "性    别：", fixedList({QStringLiteral("男"), QStringLiteral("女")})},
        {"DepartmentID", "部    门：", dictionary(Sets::kDepartments, "DepartmentID", "DepartmentName")},
        {"Duty", "职    务：", line()},
        {"Education", "学　　历：",
         fixedList({QStringLiteral("专科"), QStringLiteral("本科"), QStringLiteral("硕士"), QStringLiteral("中专"),
                    QStringLiteral("高中"), QStringLiteral("初中")})},
        {"Birth", "出生年月：", date()},
        {"ID", "身份证号：", line()},
        {"TJID", "体检情况：", dictionary(Sets::kHealthChecks, "TJID", "TJMS")},
        {"GongzhongID", "工    种：", dictionary(Sets::kTrades, "GongzhongID", "GongzhongName")},
        {"Native", "籍　　贯：", line()},
        {"School", "毕业学校：", line()},
        {"Address", "家庭住址：", line(), opts().wide(2).onNewLine()},
        // Columns every workstation kept and printed but nobody could type.
        {"OtherInfo", "其他信息：",
         custom([](QWidget *parent) {
             auto *rule = new QFrame(parent);
             rule->setFrameShape(QFrame::HLine);
             rule->setFrameShadow(QFrame::Sunken);
             return rule;
         }),
         opts().wide(2).onNewLine().outOfEnterOrder()},
        {"Health", "健康状况：", suggestions({QStringLiteral("良好"), QStringLiteral("一般"), QStringLiteral("较差")})},
        {"Mobile", "手　　机：", line()},
        {"HTelephone", "家庭电话：", line()},
        {"Jieshao", "介 绍 人：", line()},
        {"JTelephone", "介绍电话：", line()},
        {"ShusongID", "输送单位：", dictionary(Sets::kUnitNames, "ShusongID", "ShusongName"), opts().onNewLine()},
        {"LevelID", "技能级别：", dictionary(Sets::kSkillLevels, "LevelID", "LevelName")},
        {"CustID", "受聘客户：", window ? dictionary(Sets::kCustomerNames, "CustId", "CustId") : line(), customer},
        {"Email", "Email邮箱：", line(), opts().withButton("BtnMail", "发送邮件")},
        {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(50)},
    };
}

EntryWarnings *WorkerFields::watchNumbers(Form *form, Dataset *set, QObject *parent)
{
    auto *w = new EntryWarnings(set, parent);
    w->watch(qobject_cast<QLineEdit *>(form->widget(QStringLiteral("ID"))), QStringLiteral("ID"),
             &EntryChecks::isIdentityNumber, EntryChecks::kBadIdentityNumber);
    w->watch(qobject_cast<QLineEdit *>(form->widget(QStringLiteral("Mobile"))), QStringLiteral("Mobile"),
             &EntryChecks::isMobile, EntryChecks::kBadMobile);
    return w;
}
