#include "admin-cli/generator.h"

#include "data/bulkinsert.h"
#include "data/database.h"
#include "data/databasebuild.h"
#include "data/dbsetup.h"
#include "data/password.h"
#include "data/schema.h"

#include <QDate>
#include <QFile>
#include <QStringList>

#include <cmath>
#include <memory>
#include <vector>

namespace Generator {
namespace {

// splitmix64 with its own range reduction: the standard distributions
// differ between libraries, and the same seed must give the same agency
// wherever it is run.
class Rng
{
public:
    // Neighbouring seeds must not give overlapping streams: the seed is
    // mixed before it becomes the state.
    explicit Rng(quint64 seed) : m_state(seed)
    {
        m_state = next() ^ 0x6A09E667F3BCC909ULL;
    }
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi) { return lo + int(next() % quint64(hi - lo + 1)); } // both ends included
    double unit() { return double(next() >> 11) / double(1ULL << 53); }
    bool chance(double p) { return unit() < p; }
    template <typename T> const T &pick(const QList<T> &l) { return l[range(0, int(l.size()) - 1)]; }
    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + range(0, 9));
        return s;
    }
    // An index into weights, chosen in proportion to them.
    int weighted(const QList<int> &weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = range(0, total - 1);
        for (int i = 0; i < weights.size(); ++i) {
            if (r < weights[i])
                return i;
            r -= weights[i];
        }
        return int(weights.size()) - 1;
    }

private:
    quint64 m_state;
};

struct Code {
    QString id, name;
};

// --- the agency's fixed vocabulary ---------------------------------------------

const QList<Code> kDistricts{{"01", "东城区"},   {"02", "西城区"},   {"03", "朝阳区"},   {"04", "海淀区"},
                             {"05", "丰台区"},   {"06", "石景山区"}, {"07", "通州区"},   {"08", "昌平区"},
                             {"09", "大兴区"},   {"10", "顺义区"},   {"11", "房山区"},   {"12", "门头沟区"}};
const QList<QString> kPostCodes{"100010", "100032", "100020", "100080", "100071", "100043",
                                "101100", "102200", "102600", "101300", "102400", "102300"};
const QList<Code> kVocations{{"01", "普通家庭"}, {"02", "双职工家庭"}, {"03", "外籍家庭"},
                             {"04", "企业单位"}, {"05", "老人家庭"},   {"06", "新生儿家庭"}};
const QList<Code> kCustOrigins{{"01", "朋友介绍"}, {"02", "网络搜索"}, {"03", "报纸广告"},
                               {"04", "老客户介绍"}, {"05", "上门咨询"}, {"06", "电话咨询"}};
const QList<Code> kLevels{{"A", "VIP客户"}, {"B", "重要客户"}, {"C", "普通客户"}, {"D", "潜在客户"}};
const QList<int> kLevelWeights{5, 20, 60, 15};
const QList<Code> kCustStates{{"01", "正常"}, {"02", "意向"}, {"03", "暂停服务"}, {"04", "终止合作"}};
const QList<int> kCustStateWeights{70, 10, 10, 10};
const QList<Code> kDepartments{{"01", "家政服务部"}, {"02", "月嫂部"}, {"03", "钟点工部"},
                               {"04", "培训部"},     {"05", "财务部"}, {"06", "行政部"}};
const QList<Code> kBanks{{"ICBC", "中国工商银行"}, {"CCB", "中国建设银行"}, {"ABC", "中国农业银行"},
                         {"BOC", "中国银行"},       {"CMB", "招商银行"},     {"BCM", "交通银行"}};
const QList<Code> kOperateTypes{{"01", "住家保姆"}, {"02", "月嫂服务"}, {"03", "育婴师"}, {"04", "钟点工"},
                                {"05", "老人陪护"}, {"06", "病患陪护"}, {"07", "家庭保洁"}};
const QList<Code> kOperateOrigins{{"01", "客户来电"}, {"02", "门店接待"}, {"03", "网络预约"},
                                  {"04", "老客户续约"}, {"05", "朋友介绍"}};
const QList<Code> kOperateStates{{"01", "洽谈中"}, {"02", "已签约"}, {"03", "服务中"}, {"04", "已完成"},
                                 {"05", "已终止"}};
const QList<Code> kWorkTypes{{"01", "住家保姆"}, {"02", "月嫂"}, {"03", "育婴师"},
                             {"04", "钟点工"},   {"05", "护工"}, {"06", "家庭厨师"}};
const QList<Code> kSkillLevels{{"01", "初级"}, {"02", "中级"}, {"03", "高级"}, {"04", "金牌"}};
const QList<Code> kHealthChecks{{"01", "体检合格"}, {"02", "待复查"}, {"03", "未体检"}};

struct Country {
    QString id, name, continent;
    QString currency;
};
// The first, China, is already in a new database.
const QList<Country> kCountries{{"CN", "中国", "亚洲", "RMB"},       {"US", "美国", "北美洲", "USD"},
                                {"JP", "日本", "亚洲", "JPY"},       {"KR", "韩国", "亚洲", "RMB"},
                                {"GB", "英国", "欧洲", "EUR"},       {"DE", "德国", "欧洲", "EUR"},
                                {"FR", "法国", "欧洲", "EUR"},       {"CA", "加拿大", "北美洲", "USD"},
                                {"SG", "新加坡", "亚洲", "USD"},     {"HK", "中国香港", "亚洲", "HKD"}};
const QList<QString> kForeignNames{"约翰·史密斯", "大卫·布朗", "山田太郎", "金敏浩",   "迈克尔·米勒",
                                   "田中一郎",     "彼得·施密特", "让·杜邦", "陈志明", "罗伯特·琼斯"};

struct Currency {
    QString id, name;
    double rate;
};
// The first, renminbi, is already in a new database.
const QList<Currency> kCurrencies{{"RMB", "人民币", 1.0},   {"USD", "美元", 7.1},   {"HKD", "港币", 0.91},
                                  {"EUR", "欧元", 7.75},    {"JPY", "日元", 0.048}};

const QList<QString> kSurnames{"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱",
                               "胡", "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯",
                               "邓", "曹", "彭", "曾", "肖", "田", "董", "袁", "潘", "于", "蒋", "蔡", "余", "杜",
                               "叶", "程", "苏", "魏", "吕", "丁", "任", "沈", "姚", "卢", "姜", "崔", "钟", "谭",
                               "陆", "汪", "范", "金", "石", "廖", "贾", "夏", "韦", "方", "白", "邹", "孟", "熊",
                               "秦", "邱", "江", "尹", "薛", "段", "雷", "侯", "龙", "史", "欧阳", "司马"};
const QList<QString> kMaleGiven{"伟", "强", "磊", "军", "勇", "杰", "涛", "明", "超", "刚", "平", "辉", "鹏", "华",
                                "飞", "鑫", "波", "斌", "宇", "浩", "凯", "健", "俊", "帆", "旭", "宁", "龙", "林",
                                "阳", "建国", "志强", "海涛", "文博", "子轩", "浩然"};
const QList<QString> kFemaleGiven{"芳", "娜", "敏", "静", "丽", "艳", "娟", "霞", "燕", "玲", "桂英", "秀英",
                                  "红", "梅", "琳", "婷", "雪", "慧", "莉", "萍", "颖", "倩", "佳", "琴", "云",
                                  "兰", "丹", "洁", "蕾", "晶", "淑珍", "玉兰", "欣怡", "雨涵"};
const QList<QString> kStreets{"建国路",   "长安街",   "中关村大街", "学院路",   "望京街",     "安立路",
                              "西直门外大街", "朝阳北路", "广渠路",   "丰台北路", "京顺路",     "阜成路",
                              "复兴路",   "交道口南大街", "鼓楼外大街", "双井路",   "亦庄路",     "回龙观西大街"};
const QList<QString> kCompounds{"阳光花园", "金色家园", "望京新城", "华清嘉园", "万科城市花园", "富力城",
                                "远洋山水", "世纪城",   "天通苑",   "龙湖滟澜山", "首开国风",   "珠江帝景"};
const QList<QString> kFirmWords{"华信", "恒通", "鼎盛", "天宇", "博远", "中科", "金桥", "瑞丰", "嘉禾", "宏达",
                                "百川", "东方", "新纪元", "长城", "正大"};
const QList<QString> kFirmKinds{"科技", "商贸", "文化传媒", "管理咨询", "物业管理", "投资"};
const QList<QString> kHouseholds{"夫妻二人", "夫妻及一子", "夫妻及一女", "三代同堂，五口人", "老人独居",
                                 "夫妻及两个孩子", "老夫妻二人", "单身"};
const QList<QString> kMailDomains{"163.com", "qq.com", "126.com", "sina.com", "sohu.com", "gmail.com"};
const QList<QString> kDuties{"户主", "女主人", "经理", "行政主管", "办公室主任", "人事专员", "老人的儿子"};
const QList<QString> kHobbies{"读书", "旅游", "摄影", "书法", "园艺", "太极拳", "钓鱼", "烹饪", "音乐"};
const QList<QString> kLinkTypes{"电话联系", "登门拜访", "电子邮件联系", "应邀上门", "招待客户"};
const QList<QString> kLinkContents{"了解保姆工作情况", "续签合同事宜", "客户反映服务问题", "介绍月嫂服务",
                                   "回访满意度",       "更换家政员",   "收取服务费",     "节日问候"};
const QList<QString> kDetailTitles{"首期服务费", "中介服务费", "押金", "培训费", "续签服务费", "尾款", "保险费"};
const QList<QString> kPlanNotes{"上门面试保姆", "签订服务合同", "回访客户", "送家政员上岗", "月嫂试工",
                                "收取服务费",   "处理客户投诉"};
const QList<QString> kEducation{"初中", "高中", "中专", "专科", "本科", "硕士"};
const QList<QString> kStaffDuties{"家政顾问", "客服专员", "业务经理", "店长", "培训讲师", "会计"};

struct Region {
    QString code, province, city;
    QString areaCode;
};
// Where the agency's workers and units come from: the six digits of an
// identity number, the place's name and its telephone area code.
const QList<Region> kRegions{{"510104", "四川省", "成都市", "028"}, {"410102", "河南省", "郑州市", "0371"},
                             {"340102", "安徽省", "合肥市", "0551"}, {"430102", "湖南省", "长沙市", "0731"},
                             {"370102", "山东省", "济南市", "0531"}, {"130102", "河北省", "石家庄市", "0311"},
                             {"230102", "黑龙江省", "哈尔滨市", "0451"}, {"360102", "江西省", "南昌市", "0791"},
                             {"500101", "重庆市", "万州区", "023"},  {"110105", "北京市", "朝阳区", "010"},
                             {"620102", "甘肃省", "兰州市", "0931"}, {"450102", "广西壮族自治区", "南宁市", "0771"}};

struct User {
    QString id, name, dept;
    bool sys;
};
// Admin is already in a new database.
const QList<User> kUsers{{"zhangli", "张丽", "01", false},  {"wangfang", "王芳", "02", false},
                         {"liuyang", "刘洋", "03", false},  {"chenjing", "陈静", "01", false},
                         {"zhaolei", "赵磊", "06", true}};
const QList<int> kOwnerWeights{10, 25, 20, 20, 15, 10}; // Admin first, then kUsers

const QDate kFirstDay(2016, 1, 4);
const QDate kLastDay(2025, 6, 30);

// --- small makers --------------------------------------------------------------------

QString personName(Rng &r, bool female)
{
    // One draw after the other: the operands of + have no fixed order.
    const QString surname = r.pick(kSurnames);
    return surname + (female ? r.pick(kFemaleGiven) : r.pick(kMaleGiven));
}

QString mobile(Rng &r)
{
    static const QList<QString> prefixes{"130", "131", "135", "136", "138", "139", "150", "152", "158",
                                         "159", "186", "187", "188", "189", "177", "199"};
    const QString prefix = r.pick(prefixes);
    return prefix + r.digits(8);
}

QString beijingPhone(Rng &r)
{
    const QChar first(u'0' + r.range(5, 8));
    return QStringLiteral("010-") + first + r.digits(7);
}

QString email(Rng &r)
{
    QString s = QString::number(r.range(10000, 99999));
    s += r.digits(r.range(3, 5));
    s += QLatin1Char('@');
    return s + r.pick(kMailDomains);
}

// An identity number with its check character, as the real ones have.
QString identityNumber(Rng &r, const Region &region, const QDate &birth, bool female)
{
    QString s = region.code + birth.toString(QStringLiteral("yyyyMMdd")) + r.digits(2);
    int last = r.range(0, 4) * 2 + (female ? 0 : 1);
    s += QChar(u'0' + last);
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    static const char check[] = "10X98765432";
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (s[i].unicode() - u'0') * weights[i];
    return s + QLatin1Char(check[sum % 11]);
}

QDate dayBetween(Rng &r, const QDate &from, const QDate &to)
{
    const qint64 span = std::max<qint64>(0, from.daysTo(to));
    return from.addDays(r.range(0, int(span)));
}

QString clockTime(Rng &r)
{
    return QStringLiteral("%1:%2:00").arg(r.range(8, 19), 2, 10, QLatin1Char('0')).arg(r.range(0, 3) * 15, 2, 10,
                                                                                      QLatin1Char('0'));
}

double roundTo(double v, double step) { return std::round(v / step) * step; }

// --- filling ------------------------------------------------------------------------

class Filler
{
public:
    Filler(Database &db, const Options &o, Counts *counts, const Progress &progress)
        : m_db(db), m_opt(o), m_rng(o.seed), m_counts(counts), m_progress(progress)
    {
    }

    QString run()
    {
        QString err = inTransaction([this] { return dictionaries(); });
        if (err.isEmpty())
            err = inTransaction([this] { return users(); });
        if (err.isEmpty())
            err = inTransaction([this] { return agency(); });
        if (err.isEmpty())
            err = inTransaction([this] { return staffAndUnits(); });
        if (err.isEmpty())
            err = customers();
        if (err.isEmpty())
            err = inTransaction([this] { return idleWorkers(); });
        if (err.isEmpty())
            err = inTransaction([this] { return board(); });
        if (err.isEmpty())
            report();
        return err;
    }

private:
    BulkInsert &table(const QString &name, const QStringList &columns)
    {
        for (auto &t : m_tables)
            if (t.first == name)
                return *t.second;
        m_tables.push_back({name, std::make_unique<BulkInsert>(m_db, name, columns)});
        return *m_tables.back().second;
    }

    QString flushAll()
    {
        for (auto &t : m_tables) {
            const QString err = t.second->flush();
            if (!err.isEmpty())
                return t.first + QStringLiteral(": ") + err;
        }
        return {};
    }

    template <typename F> QString inTransaction(F work)
    {
        Transaction tx(m_db);
        if (!tx.ok())
            return tx.error();
        QString err = work();
        if (err.isEmpty())
            err = flushAll();
        if (err.isEmpty())
            err = tx.commit();
        return err;
    }

    void report()
    {
        if (!m_counts && !m_progress)
            return;
        for (auto &t : m_tables) {
            if (m_counts)
                m_counts->append({t.first, t.second->rowsWritten()});
            if (m_progress)
                m_progress(t.first, t.second->rowsWritten(), t.second->rowsWritten());
        }
    }

    QString dictionary(const QString &tableName, const QString &code, const QString &name, const QString &color,
                       const QList<Code> &rows)
    {
        QStringList cols{code, name, QStringLiteral("Memo")};
        if (!color.isEmpty())
            cols << color;
        BulkInsert &t = table(tableName, cols);
        int i = 0;
        for (const Code &c : rows) {
            QVariantList v{c.id, c.name, c.name};
            if (!color.isEmpty())
                v << kPalette[i++ % kPalette.size()];
            const QString err = t.add(v);
            if (!err.isEmpty())
                return err;
        }
        return {};
    }

    QString dictionaries()
    {
        QString err;
        auto step = [&err](const QString &e) {
            if (err.isEmpty())
                err = e;
        };
        step(dictionary("tblCustDist", "DistID", "DistName", "DistColor", kDistricts));
        step(dictionary("tblVocation", "VocationId", "VocationName", "VocationColor", kVocations));
        step(dictionary("tblCustOrigin", "OriginID", "OriginName", "OriginColor", kCustOrigins));
        step(dictionary("tblCustLevel", "LevelID", "LevelName", "LevelColor", kLevels));
        step(dictionary("tblCustState", "StateID", "StateName", "StateColor", kCustStates));
        step(dictionary("tblDepartment", "DepartmentID", "DepartmentName", {}, kDepartments));
        step(dictionary("tblFinanceOrgan", "OrganID", "OrganName", {}, kBanks));
        step(dictionary("tblOperateType", "TypeID", "TypeName", "TypeColor", kOperateTypes));
        step(dictionary("tblOperateOrigin", "OriginID", "OriginName", "OriginColor", kOperateOrigins));
        step(dictionary("tblOperateState", "OperateStateID", "OperateStateName", "StateColor", kOperateStates));
        step(dictionary("tblGongzhong", "GongzhongID", "GongzhongName", {}, kWorkTypes));
        step(dictionary("tblJineng", "LevelID", "LevelName", {}, kSkillLevels));
        step(dictionary("tblTijian", "TJID", "TJMS", {}, kHealthChecks));
        BulkInsert &countries = table("tblCountry", {"CountryID", "CountryName", "Continent", "CountryColor", "Memo"});
        for (int i = 1; i < kCountries.size(); ++i) {
            const Country &c = kCountries[i];
            step(countries.add({c.id, c.name, c.continent, kPalette[i % kPalette.size()], c.name}));
        }
        BulkInsert &rates = table("tblCurrencyRate", {"CurrID", "CurrName", "Rate", "Memo"});
        for (int i = 1; i < kCurrencies.size(); ++i) {
            const Currency &c = kCurrencies[i];
            step(rates.add({c.id, c.name, c.rate, c.name}));
        }
        return err;
    }

    QString users()
    {
        // One hash for everybody: argon2id is slow on purpose, and the
        // password of made-up users is no secret.
        const QString hash = Password::hash(QStringLiteral("123456"));
        if (hash.isEmpty())
            return QStringLiteral("无法生成口令摘要");
        BulkInsert &u = table("tblUser", {"UserID", "UserName", "Password", "DeptID", "Duty", "State", "Sys"});
        BulkInsert &rights =
            table("tblUserRight", {"UserID", "RightID", "Insert", "Modify", "Delete", "Query", "Print"});
        m_owners = QStringList{QStringLiteral("Admin")};
        QString err;
        for (const User &user : kUsers) {
            m_owners << user.id;
            err = u.add({user.id, user.name, hash, user.dept, user.sys ? QStringLiteral("经理") : QStringLiteral("业务员"),
                         QStringLiteral("Yes"), user.sys});
            if (!err.isEmpty())
                return err;
            // Ordinary users get the business modules and may not delete
            // everywhere; the manager gets every right.
            for (const QString &code : Schema::rightCodes()) {
                if (!user.sys && code.startsWith(QLatin1Char('5')))
                    continue;
                const bool del = user.sys || m_rng.chance(0.3);
                err = rights.add({user.id, code, true, true, del, true, user.sys || m_rng.chance(0.7)});
                if (!err.isEmpty())
                    return err;
            }
        }
        return {};
    }

    // The agency itself, as its own window would hold it: every printout
    // heads its pages with the name, envelopes carry the rest. Marked as
    // made up in its name, street and addresses.
    QString agency()
    {
        return table("tblUserInfo", {"UserName", "Address", "Telephone", "Fax", "PostCode", "Email", "HomePage"})
            .add({QStringLiteral("和顺家政服务有限公司（演示）"), QStringLiteral("北京市朝阳区演示路18号和顺大厦3层"),
                  QStringLiteral("010-65550188"), QStringLiteral("010-65550189"), QStringLiteral("100020"),
                  QStringLiteral("service@example.com"), QStringLiteral("www.example.com")});
    }

    QString staffAndUnits()
    {
        const int staff = std::clamp(m_opt.customers / 2500, 8, 200);
        BulkInsert &s = table("tblOperaters",
                              {"OperaterID", "Name", "NickName", "Sex", "DepartmentID", "Duty", "Education", "Birth",
                               "ID", "Native", "CTelephone", "HTelephone", "Mobile", "Address", "Email", "InTime",
                               "State", "OutTime", "OutReason"});
        for (int i = 1; i <= staff; ++i) {
            const bool female = m_rng.chance(0.7);
            const QString surname = m_rng.pick(kSurnames);
            const QString name = surname + (female ? m_rng.pick(kFemaleGiven) : m_rng.pick(kMaleGiven));
            const QDate birth = dayBetween(m_rng, QDate(1970, 1, 1), QDate(1998, 12, 31));
            const Region &home = m_rng.pick(kRegions);
            const QDate in = dayBetween(m_rng, QDate(2012, 3, 1), QDate(2024, 6, 30));
            const bool left = i > 3 && m_rng.chance(0.12);
            const QString id = QStringLiteral("YW%1").arg(i, 3, 10, QLatin1Char('0'));
            m_staff << Code{id, name};
            if (!left)
                m_activeStaff << m_staff.size() - 1;
            const QString err = s.add(
                {id, name, QStringLiteral("小") + surname, female ? QStringLiteral("女") : QStringLiteral("男"),
                 m_rng.pick(kDepartments).id, m_rng.pick(kStaffDuties), kEducation[m_rng.range(2, 5)], birth,
                 identityNumber(m_rng, home, birth, female), home.province + home.city,
                 QStringLiteral("010-6588%1").arg(m_rng.range(1000, 9999)), beijingPhone(m_rng), mobile(m_rng),
                 address(kDistricts[m_rng.range(0, kDistricts.size() - 1)].name), email(m_rng), in,
                 left ? QStringLiteral("离职") : QStringLiteral("在职"), left ? QVariant(in.addDays(m_rng.range(200, 1500))) : QVariant(),
                 left ? QVariant(QStringLiteral("个人原因")) : QVariant()});
            if (!err.isEmpty())
                return err;
        }
        const int units = std::clamp(m_opt.customers / 5000, 5, 100);
        BulkInsert &u = table("tblShusong", {"ShusongID", "ShusongName", "Manager", "Duty", "ID", "Telephone", "Fax",
                                             "Mobile", "Homepage", "Email", "Memo"});
        BulkInsert &yj = table("tblShusongYJ", {"sNo", "ShusongID", "JDate", "Jingban", "Jieshao", "Qita",
                                                "BeginDate", "EndDate", "Memo"});
        static const QList<QString> unitKinds{"劳务输出服务中心", "家政服务培训学校", "人力资源服务公司"};
        for (int i = 1; i <= units; ++i) {
            const Region &region = kRegions[(i - 1) % kRegions.size()];
            const QString id = QStringLiteral("DW%1").arg(i, 3, 10, QLatin1Char('0'));
            const QString kind = m_rng.pick(unitKinds);
            // Names stay within the column: the city alone when the
            // province makes it too long.
            QString name = region.province + region.city + kind;
            if (name.size() > 50 || i > kRegions.size())
                name = region.city + (i > kRegions.size() ? QString::number(i) + QStringLiteral("号") : QString()) + kind;
            m_units << id;
            const bool female = m_rng.chance(0.4);
            const QDate birth = dayBetween(m_rng, QDate(1960, 1, 1), QDate(1985, 12, 31));
            QString err = u.add({id, name.left(50), personName(m_rng, female), m_rng.chance(0.5) ? QStringLiteral("主任") : QStringLiteral("经理"),
                                 identityNumber(m_rng, region, birth, female),
                                 region.areaCode + QLatin1Char('-') + r8(), region.areaCode + QLatin1Char('-') + r8(),
                                 mobile(m_rng), QStringLiteral("www.dw%1.cn").arg(i), email(m_rng),
                                 QStringLiteral("长期合作单位")});
            if (!err.isEmpty())
                return err;
            const int settlements = m_rng.range(0, 4);
            QDate from = dayBetween(m_rng, QDate(2017, 1, 1), QDate(2019, 12, 31));
            for (int n = 1; n <= settlements; ++n) {
                const QDate to = from.addMonths(6).addDays(-1);
                err = yj.add({n, id, to.addDays(m_rng.range(1, 20)), m_staff[m_rng.range(0, m_staff.size() - 1)].name,
                              roundTo(200 + m_rng.unit() * 3000, 10), roundTo(m_rng.unit() * 500, 10), from, to,
                              QStringLiteral("%1年度介绍费结算").arg(from.year())});
                if (!err.isEmpty())
                    return err;
                from = to.addDays(1);
            }
        }
        return {};
    }

    QString r8()
    {
        const QChar first(u'0' + m_rng.range(5, 8));
        return first + m_rng.digits(7);
    }

    QString address(const QString &district)
    {
        if (m_rng.chance(0.6))
            return QStringLiteral("北京市%1%2%3号院%4号楼%5单元%6室")
                .arg(district, m_rng.pick(kStreets))
                .arg(m_rng.range(1, 199))
                .arg(m_rng.range(1, 30))
                .arg(m_rng.range(1, 6))
                .arg(m_rng.range(1, 28) * 100 + m_rng.range(1, 4));
        return QStringLiteral("北京市%1%2%3号楼%4单元%5室")
            .arg(district, m_rng.pick(kCompounds))
            .arg(m_rng.range(1, 40))
            .arg(m_rng.range(1, 6))
            .arg(m_rng.range(1, 28) * 100 + m_rng.range(1, 4));
    }

    QString owner() { return m_owners[m_rng.weighted(kOwnerWeights)]; }
    QString activeStaff() { return m_staff[m_activeStaff[m_rng.range(0, m_activeStaff.size() - 1)]].id; }

    // The customers and everything hanging off them, a block of customers
    // per transaction so that a large agency never holds one huge write.
    QString customers()
    {
        constexpr int kBlock = 5000;
        const int total = m_opt.customers;
        for (int first = 0; first < total; first += kBlock) {
            const int last = std::min(total, first + kBlock);
            const QString err = inTransaction([&] {
                for (int i = first; i < last; ++i) {
                    const QString e = customer(i);
                    if (!e.isEmpty())
                        return e;
                }
                return QString();
            });
            if (!err.isEmpty())
                return err;
            if (m_progress)
                m_progress(QStringLiteral("tblCustomers"), last, total);
        }
        return {};
    }

    struct Contact {
        QString id, name;
    };

    QString customer(int index)
    {
        BulkInsert &c = table("tblCustomers",
                              {"CustId", "CustName", "CountryID", "DistID", "City", "PostCode", "Telephone", "Fax",
                               "Address", "Email", "HomePage", "VocationID", "OriginID", "LevelID", "StateId",
                               "CreateDate", "OperaterID", "Memo", "SUser", "MainLinkman", "MainTelephone"});
        const QString custId = QStringLiteral("KH%1").arg(index + 1, 6, 10, QLatin1Char('0'));
        // Customers are numbered in the order their files were opened.
        const qint64 span = kFirstDay.daysTo(kLastDay);
        const QDate created = kFirstDay.addDays(span * index / std::max(1, m_opt.customers) + m_rng.range(0, 2));
        const int kind = m_rng.weighted({72, 20, 8}); // household, firm, foreign household
        const int district = m_rng.range(0, kDistricts.size() - 1);
        const Country &country = kind == 2 ? kCountries[m_rng.range(1, kCountries.size() - 1)] : kCountries[0];
        const bool mainFemale = m_rng.chance(0.6);
        const QString mainName = kind == 2 && m_rng.chance(0.6) ? m_rng.pick(kForeignNames) : personName(m_rng, mainFemale);
        QString name;
        QString vocation;
        if (kind == 1) {
            name = QStringLiteral("北京%1%2有限公司").arg(m_rng.pick(kFirmWords), m_rng.pick(kFirmKinds));
            vocation = QStringLiteral("04");
        } else {
            name = mainName + (m_rng.chance(0.3) ? QStringLiteral("家") : QString());
            vocation = kind == 2 ? QStringLiteral("03") : kVocations[m_rng.weighted({30, 30, 0, 0, 20, 20})].id;
        }
        const QString addr = address(kDistricts[district].name);
        const QString own = owner();
        const QString staff = activeStaff();
        const QString mainMobile = mobile(m_rng);
        QString err = c.add({custId, name, country.id, kDistricts[district].id, QString::number(m_rng.weighted({70, 25, 5}) + 1),
                             kPostCodes[district], beijingPhone(m_rng), kind == 1 ? QVariant(beijingPhone(m_rng)) : QVariant(),
                             addr, m_rng.chance(0.6) ? QVariant(email(m_rng)) : QVariant(),
                             kind == 1 ? QVariant() : QVariant(m_rng.pick(kHouseholds)), vocation,
                             m_rng.pick(kCustOrigins).id, kLevels[m_rng.weighted(kLevelWeights)].id,
                             kCustStates[m_rng.weighted(kCustStateWeights)].id, created, staff,
                             m_rng.chance(0.2) ? QVariant(QStringLiteral("客户要求家政员会做饭、性格温和")) : QVariant(),
                             own, mainName.left(20), mainMobile});
        if (!err.isEmpty())
            return err;

        if (kind == 1 || m_rng.chance(0.08)) {
            const Code &bank = m_rng.pick(kBanks);
            err = table("tblCustomerAddInfo", {"CustID", "BankID", "Account", "BankAddress", "VATaxName", "VATaxID",
                                               "VATaxBank", "VATaxAccount", "VATaxAddress", "VATaxPhone"})
                      .add({custId, bank.id, QStringLiteral("6222") + m_rng.digits(15),
                            QStringLiteral("%1北京%2支行").arg(bank.name, kDistricts[district].name.chopped(1)), name,
                            QStringLiteral("91110") + m_rng.digits(12) + QLatin1Char('X'), bank.name,
                            QStringLiteral("0200") + m_rng.digits(15), addr, beijingPhone(m_rng)});
            if (!err.isEmpty())
                return err;
        }

        // Contacts: the main contact first, then others of the household or firm.
        std::vector<Contact> contacts;
        const int nContacts = m_rng.range(0, 4);
        for (int k = 1; k <= nContacts; ++k) {
            const bool female = k == 1 ? mainFemale : m_rng.chance(0.5);
            const QString n = k == 1 ? mainName : personName(m_rng, female);
            const QString id = QStringLiteral("L%1").arg(k, 2, 10, QLatin1Char('0'));
            contacts.push_back({id, n});
            const QString surname = n.left(1);
            err = table("tblLinkmans", {"LinkmanID", "CustID", "Main", "Name", "NickName", "Department", "Duty",
                                        "Telephone", "Mobile", "HomeAddress", "Email", "Enjoy", "SpecialDate", "SUser"})
                      .add({id, custId, k == 1, n.left(50),
                            surname + (female ? QStringLiteral("女士") : QStringLiteral("先生")),
                            kind == 1 ? QVariant(QStringLiteral("行政部")) : QVariant(), m_rng.pick(kDuties),
                            beijingPhone(m_rng), k == 1 ? mainMobile : mobile(m_rng), addr,
                            m_rng.chance(0.5) ? QVariant(email(m_rng)) : QVariant(), m_rng.pick(kHobbies),
                            m_rng.chance(0.4) ? QVariant(dayBetween(m_rng, QDate(1950, 1, 1), QDate(1995, 12, 31)))
                                              : QVariant(),
                            own});
            if (!err.isEmpty())
                return err;
        }

        // Contracts with their money lines.
        QStringList contractIds;
        const int nContracts = m_rng.range(0, 3);
        for (int k = 0; k < nContracts; ++k) {
            err = contract(custId, name, created, country, contacts, own, staff, index, &contractIds);
            if (!err.isEmpty())
                return err;
        }

        // Contact history.
        const int nHistory = m_rng.range(0, 6);
        for (int k = 0; k < nHistory; ++k) {
            const QString who = contacts.empty() ? mainName : contacts[m_rng.range(0, int(contacts.size()) - 1)].name;
            err = table("tblCustomerState", {"CustID", "LinkDate", "LinkTime", "LinkType", "Linkman", "Duty", "Charge",
                                             "LinkContent", "Address", "Memo"})
                      .add({custId, dayBetween(m_rng, created, kLastDay), clockTime(m_rng), m_rng.pick(kLinkTypes),
                            who.left(50), m_rng.pick(kDuties), m_rng.chance(0.2) ? roundTo(m_rng.unit() * 500, 10) : 0.0,
                            m_rng.pick(kLinkContents), addr.left(50),
                            m_rng.chance(0.3) ? QVariant(QStringLiteral("客户满意")) : QVariant()});
            if (!err.isEmpty())
                return err;
        }

        // Domestic workers placed with the customer.
        const int nWorkers = m_rng.weighted({55, 40, 5});
        for (int k = 0; k < nWorkers; ++k) {
            err = worker(custId, created);
            if (!err.isEmpty())
                return err;
        }

        // Appointments.
        const int nPlans = m_rng.weighted({75, 20, 5});
        for (int k = 0; k < nPlans; ++k) {
            const QString who = contacts.empty() ? mainName : contacts[0].name;
            err = table("tblPlan", {"AttendMan", "PlanDate", "PlanTime", "Address", "CustID", "Linkman", "OperateId", "Memo"})
                      .add({m_staff[m_rng.range(0, m_staff.size() - 1)].name, dayBetween(m_rng, created, QDate(2025, 12, 31)),
                            clockTime(m_rng), addr, custId, who.left(30),
                            contractIds.isEmpty() ? QVariant() : QVariant(contractIds[m_rng.range(0, contractIds.size() - 1)]),
                            m_rng.pick(kPlanNotes)});
            if (!err.isEmpty())
                return err;
        }
        return {};
    }

    QString contract(const QString &custId, const QString &custName, const QDate &created, const Country &country,
                     const std::vector<Contact> &contacts, const QString &own, const QString &staff, int index,
                     QStringList *ids)
    {
        const QString id = QStringLiteral("HT%1").arg(++m_contracts, 7, 10, QLatin1Char('0'));
        ids->append(id);
        const int type = m_rng.range(0, kOperateTypes.size() - 1);
        const QDate opened = dayBetween(m_rng, created, std::min(kLastDay, created.addYears(3)));
        const QDate signedOn = opened.addDays(m_rng.range(0, 10));
        const QDate due = signedOn.addMonths(m_rng.range(1, 24));
        // Foreign households often pay in their own money.
        QString currId = country.currency;
        if (currId == QLatin1String("RMB") && m_rng.chance(0.02))
            currId = QStringLiteral("HKD");
        const double rate = currencyRate(currId);
        const double rmbWanted = roundTo(3000 + m_rng.unit() * 27000, 100);
        const double amount = roundTo(rmbWanted / rate, rate < 0.1 ? 1000 : 10);
        const double profit = roundTo(amount * (0.1 + m_rng.unit() * 0.2), 0.01);
        const bool income = m_rng.chance(0.9);
        const QString state = due < kLastDay ? (m_rng.chance(0.85) ? QStringLiteral("04") : QStringLiteral("05"))
                                              : kOperateStates[m_rng.weighted({10, 20, 70, 0, 0})].id;
        const bool linked = index > 0 && m_rng.chance(0.05);
        const QString linkCust = linked ? QStringLiteral("KH%1").arg(m_rng.range(1, index), 6, 10, QLatin1Char('0')) : QString();
        QString err = table("tblOperates", {"OperateID", "OperateTitle", "CustID", "Link", "LinkCustID", "CreateDate",
                                            "LinkmanID", "OriginId", "TypeID", "WriteDate", "EndDate", "OperaterID",
                                            "CompactAmount", "Profit", "Rate", "InOrOut", "OperateStateID", "FilePath",
                                            "SUser", "CurrID", "RMB"})
                          .add({id, (custName + kOperateTypes[type].name + QStringLiteral("服务合同")).left(100), custId,
                                linked, linkCust.isEmpty() ? QVariant() : QVariant(linkCust), opened,
                                contacts.empty() ? QVariant() : QVariant(contacts[m_rng.range(0, int(contacts.size()) - 1)].id),
                                m_rng.pick(kOperateOrigins).id, kOperateTypes[type].id, signedOn, due,
                                m_rng.chance(0.8) ? staff : activeStaff(), amount, profit, profit / amount,
                                income ? QStringLiteral("收款") : QStringLiteral("付款"), state,
                                m_rng.chance(0.3) ? QVariant(QStringLiteral("按月结算服务费")) : QVariant(), own, currId,
                                amount * rate});
        if (!err.isEmpty())
            return err;
        const int lines = m_rng.range(0, 4);
        for (int n = 1; n <= lines; ++n) {
            const double price = roundTo(amount / lines, rate < 0.1 ? 100 : 1);
            const double qty = m_rng.weighted({80, 15, 5}) + 1;
            const double total = price * qty;
            static const QList<QString> kinds{"收入", "支出", "业务联系", "拜访", "招待"};
            const QString kindOfLine = m_rng.chance(0.85) ? (income ? kinds[0] : kinds[1]) : kinds[m_rng.range(2, 4)];
            err = table("tblOperateDetail", {"OperateID", "DetailNo", "OperateDate", "DTitle", "InOut", "CurrID", "Price",
                                             "Amount", "DTotal", "RMB", "Memo"})
                      .add({id, n, signedOn.addDays(signedOn.daysTo(std::max(signedOn, std::min(due, kLastDay))) * (n - 1) / lines),
                            n == 1 ? kDetailTitles[0] : m_rng.pick(kDetailTitles), kindOfLine, currId, price, qty, total,
                            total * rate, m_rng.chance(0.3) ? QVariant(QStringLiteral("已开收据")) : QVariant()});
            if (!err.isEmpty())
                return err;
        }
        return {};
    }

    static double currencyRate(const QString &id)
    {
        for (const Currency &c : kCurrencies)
            if (c.id == id)
                return c.rate;
        return 1.0;
    }

    QString worker(const QString &custId, const QDate &after)
    {
        const QString id = QStringLiteral("YG%1").arg(++m_workers, 6, 10, QLatin1Char('0'));
        const bool female = m_rng.chance(0.92);
        const QString surname = m_rng.pick(kSurnames);
        const QString name = surname + (female ? m_rng.pick(kFemaleGiven) : m_rng.pick(kMaleGiven));
        const QDate birth = dayBetween(m_rng, QDate(1965, 1, 1), QDate(2000, 12, 31));
        const Region &home = m_rng.pick(kRegions);
        const int workType = m_rng.weighted({35, 25, 15, 15, 7, 3});
        const QDate in = dayBetween(m_rng, after.addYears(-1), std::min(kLastDay, after.addDays(60)));
        const bool left = custId.isEmpty() && m_rng.chance(0.3);
        const QString nick = birth.year() < 1980 ? surname + QStringLiteral("阿姨") : QStringLiteral("小") + surname;
        return table("tblYuangong", {"YuangongID", "Name", "NickName", "Sex", "DepartmentID", "Duty", "Education", "Birth",
                                     "ID", "Health", "GongzhongID", "Native", "Jieshao", "JTelephone", "School",
                                     "HTelephone", "Mobile", "Address", "Memo", "ShusongID", "CustID", "InTime", "State",
                                     "OutTime", "OutReason", "LevelID", "TJID"})
            .add({id, name, female ? nick : QStringLiteral("小") + surname, female ? QStringLiteral("女") : QStringLiteral("男"),
                  kDepartments[workType == 1 ? 1 : workType == 3 ? 2 : 0].id, kWorkTypes[workType].name,
                  kEducation[m_rng.weighted({50, 25, 20, 5, 0, 0})], birth, identityNumber(m_rng, home, birth, female),
                  m_rng.chance(0.9) ? QStringLiteral("健康") : QStringLiteral("良好"), kWorkTypes[workType].id,
                  home.province + home.city, personName(m_rng, m_rng.chance(0.5)), mobile(m_rng),
                  (home.city.chopped(1) + QStringLiteral("家政学校")).left(20), home.areaCode + QLatin1Char('-') + r8(),
                  mobile(m_rng), home.province + home.city + QStringLiteral("人民路%1号").arg(m_rng.range(1, 300)),
                  m_rng.chance(0.2) ? QVariant(QStringLiteral("做事勤快，会做川菜")) : QVariant(),
                  m_units[m_rng.range(0, m_units.size() - 1)], custId.isEmpty() ? QVariant() : QVariant(custId), in,
                  left ? QStringLiteral("离职") : QStringLiteral("在职"),
                  left ? QVariant(in.addDays(m_rng.range(90, 900))) : QVariant(),
                  left ? QVariant(QStringLiteral("回老家")) : QVariant(), m_rng.pick(kSkillLevels).id,
                  kHealthChecks[m_rng.weighted({85, 10, 5})].id});
    }

    // Workers between two placements, about one for every ten customers.
    QString idleWorkers()
    {
        const int n = m_opt.customers / 10;
        for (int i = 0; i < n; ++i) {
            const QString err = worker({}, dayBetween(m_rng, kFirstDay, kLastDay));
            if (!err.isEmpty())
                return err;
        }
        return {};
    }

    QString board()
    {
        static const QList<QString> titles{"春节期间家政员返乡安排", "月嫂培训班开课通知", "新版服务合同启用",
                                           "夏季防暑注意事项",       "年度优秀家政员评选",  "客户回访工作要求"};
        BulkInsert &b = table("tblBoard", {"BTitle", "BDate", "Man", "Memo"});
        for (int i = 0; i < titles.size(); ++i) {
            const QString err = b.add({titles[i], QDate(2025, 1, 6).addDays(i * 23), m_staff[i % m_staff.size()].name,
                                       QStringLiteral("请各部门遵照执行。")});
            if (!err.isEmpty())
                return err;
        }
        return {};
    }

    static inline const QList<int> kPalette{0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                            0x4080FF, 0xFF8040, 0x008080, 0x800080, 0xC0C0C0, 0x808000};

    Database &m_db;
    Options m_opt;
    Rng m_rng;
    Counts *m_counts;
    Progress m_progress;
    std::vector<std::pair<QString, std::unique_ptr<BulkInsert>>> m_tables;
    QStringList m_owners;
    QList<Code> m_staff;
    QList<int> m_activeStaff;
    QStringList m_units;
    int m_contracts = 0;
    int m_workers = 0;
};

} // namespace

QString fill(Database &db, const Options &options, Counts *counts, const Progress &progress)
{
    if (options.customers < 0)
        return QStringLiteral("客户数不能为负数");
    Filler f(db, options, counts, progress);
    return f.run();
}

QString generate(const QString &location, const Options &options, Counts *counts, const Progress &progress)
{
    QString err;
    DbSetup::Build build(location);
    Database *db = build.start(&err);
    if (!db)
        return err;
    if (err = fill(*db, options, counts, progress); !err.isEmpty())
        return err;
    return build.finish();
}

} // namespace Generator
