#include "printing/reporttemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>

namespace {

using Type = ReportBand::Type;

const QHash<QString, Type> &bandTypes()
{
    static const QHash<QString, Type> t{{"title", Type::Title},           {"pageheader", Type::PageHeader},
                                        {"columnheader", Type::ColumnHeader}, {"groupheader", Type::GroupHeader},
                                        {"groupfooter", Type::GroupFooter}, {"detail", Type::Detail},
                                        {"summary", Type::Summary},       {"pagefooter", Type::PageFooter}};
    return t;
}

// Numbers in a template are written with a dot whatever the locale.
bool number(const QXmlStreamAttributes &a, const char *name, double *out, QString *error)
{
    const QString s = a.value(QLatin1String(name)).toString().trimmed();
    if (s.isEmpty())
        return true;
    bool ok = false;
    const double v = s.toDouble(&ok);
    // "nan" and "inf" read as numbers but place nothing anywhere.
    if (!ok || !std::isfinite(v)) {
        *error = QStringLiteral("属性 %1 不是数字：%2").arg(QLatin1String(name), s);
        return false;
    }
    *out = v;
    return true;
}

bool flag(const QXmlStreamAttributes &a, const char *name, bool fallback)
{
    const QString s = a.value(QLatin1String(name)).toString().trimmed().toLower();
    if (s.isEmpty())
        return fallback;
    return s == QLatin1String("true") || s == QLatin1String("1") || s == QLatin1String("yes");
}

bool readFont(const QXmlStreamAttributes &a, ReportFont *f, QString *error)
{
    if (a.hasAttribute(QLatin1String("font")))
        f->family = a.value(QLatin1String("font")).toString();
    if (a.hasAttribute(QLatin1String("family")))
        f->family = a.value(QLatin1String("family")).toString();
    f->bold = flag(a, "bold", f->bold);
    f->italic = flag(a, "italic", f->italic);
    if (!number(a, "size", &f->size, error))
        return false;
    if (f->size <= 0) {
        *error = QStringLiteral("字号必须大于 0");
        return false;
    }
    return true;
}

bool readAlign(const QXmlStreamAttributes &a, Qt::Alignment *al, QString *error)
{
    Qt::Alignment h = *al & Qt::AlignHorizontal_Mask, v = *al & Qt::AlignVertical_Mask;
    const QString ha = a.value(QLatin1String("align")).toString().toLower();
    if (ha == QLatin1String("left"))
        h = Qt::AlignLeft;
    else if (ha == QLatin1String("center"))
        h = Qt::AlignHCenter;
    else if (ha == QLatin1String("right"))
        h = Qt::AlignRight;
    else if (!ha.isEmpty()) {
        *error = QStringLiteral("未知的对齐方式：%1").arg(ha);
        return false;
    }
    const QString va = a.value(QLatin1String("valign")).toString().toLower();
    if (va == QLatin1String("top"))
        v = Qt::AlignTop;
    else if (va == QLatin1String("middle") || va == QLatin1String("center"))
        v = Qt::AlignVCenter;
    else if (va == QLatin1String("bottom"))
        v = Qt::AlignBottom;
    else if (!va.isEmpty()) {
        *error = QStringLiteral("未知的对齐方式：%1").arg(va);
        return false;
    }
    *al = h | v;
    return true;
}

bool parseExpression(const QString &expr, TextPart *p, QString *error)
{
    const int bar = expr.indexOf(QLatin1Char('|'));
    const QString head = (bar < 0 ? expr : expr.left(bar)).trimmed();
    p->format = bar < 0 ? QString() : expr.mid(bar + 1);
    if (head.isEmpty()) {
        *error = QStringLiteral("空的表达式 []");
        return false;
    }
    using K = TextPart::Kind;
    static const QHash<QString, K> words{{"page", K::Page},
                                         {"pages", K::Pages},
                                         {"printdate", K::Date},
                                         {"printtime", K::Time},
                                         {"line", K::Line}};
    static const QHash<QString, K> functions{
        {"sum", K::Sum}, {"count", K::Count}, {"avg", K::Avg}, {"min", K::Min}, {"max", K::Max}};
    const int open = head.indexOf(QLatin1Char('('));
    if (open >= 0) {
        const QString fn = head.left(open).trimmed().toLower();
        if (!head.endsWith(QLatin1Char(')')) || !functions.contains(fn)) {
            *error = QStringLiteral("无法识别的表达式：[%1]").arg(expr);
            return false;
        }
        p->kind = functions.value(fn);
        p->text = head.mid(open + 1, head.size() - open - 2).trimmed();
        if (p->text.isEmpty() && p->kind != K::Count) {
            *error = QStringLiteral("%1 需要一个字段：[%2]").arg(fn, expr);
            return false;
        }
        return true;
    }
    if (words.contains(head.toLower())) {
        p->kind = words.value(head.toLower());
        return true;
    }
    const int dot = head.indexOf(QLatin1Char('.'));
    if (dot > 0) {
        p->kind = K::OtherField;
        p->dataset = head.left(dot);
        p->text = head.mid(dot + 1);
        return true;
    }
    p->kind = K::Field;
    p->text = head;
    return true;
}

} // namespace

bool ReportTemplate::parseText(const QString &text, QVector<TextPart> *parts, QString *error)
{
    parts->clear();
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            parts->push_back({TextPart::Kind::Literal, literal, {}, {}});
        literal.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('[') && i + 1 < text.size() && text[i + 1] == QLatin1Char('[')) {
            literal += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char(']') && i + 1 < text.size() && text[i + 1] == QLatin1Char(']')) {
            literal += c;
            ++i;
            continue;
        }
        if (c != QLatin1Char('[')) {
            literal += c;
            continue;
        }
        const int end = text.indexOf(QLatin1Char(']'), i + 1);
        if (end < 0) {
            *error = QStringLiteral("缺少 ]：%1").arg(text);
            return false;
        }
        TextPart p;
        if (!parseExpression(text.mid(i + 1, end - i - 1), &p, error))
            return false;
        flush();
        parts->push_back(p);
        i = end;
    }
    flush();
    return true;
}

namespace {

class Loader
{
public:
    Loader(ReportTemplate &t, QXmlStreamReader &x) : m_t(t), m_x(x) {}

    bool run(QString *error)
    {
        if (!m_x.readNextStartElement())
            return fail(QStringLiteral("不是报表模板"), error);
        if (m_x.name() != QLatin1String("report"))
            return fail(QStringLiteral("根元素应为 <report>，而不是 <%1>").arg(m_x.name()), error);
        const auto a = m_x.attributes();
        const QString version = a.value(QLatin1String("version")).toString();
        if (version.isEmpty())
            return fail(QStringLiteral("缺少版本号 version"), error);
        if (version.toInt() < 1 || version.toInt() > ReportTemplate::kVersion)
            return fail(QStringLiteral("不支持的模板版本：%1").arg(version), error);
        m_t.title = a.value(QLatin1String("title")).toString();
        while (m_x.readNextStartElement()) {
            const QString n = m_x.name().toString();
            bool ok = true;
            if (n == QLatin1String("page"))
                ok = readPage();
            else if (n == QLatin1String("font"))
                ok = readFont(m_x.attributes(), &m_t.font, &m_error) && skip();
            else if (n == QLatin1String("band"))
                ok = readBand();
            else if (n == QLatin1String("labels"))
                ok = readLabels();
            else
                ok = failHere(QStringLiteral("未知的元素 <%1>").arg(n));
            if (!ok)
                return fail(m_error, error);
        }
        if (m_x.hasError())
            return fail(m_x.errorString(), error);
        return checkGroups(error);
    }

private:
    bool fail(const QString &why, QString *error)
    {
        *error = m_x.lineNumber() > 0 ? QStringLiteral("第 %1 行：%2").arg(m_x.lineNumber()).arg(why) : why;
        return false;
    }
    bool failHere(const QString &why)
    {
        m_error = why;
        return false;
    }
    bool skip()
    {
        m_x.skipCurrentElement();
        return true;
    }

    bool readPage()
    {
        const auto a = m_x.attributes();
        const QString size = a.value(QLatin1String("size")).toString().toLower();
        double w = 0, h = 0;
        if (!number(a, "width", &w, &m_error) || !number(a, "height", &h, &m_error))
            return false;
        if (w > 0 && h > 0)
            m_t.pageSize = QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        else if (size.isEmpty() || size == QLatin1String("a4"))
            m_t.pageSize = QPageSize(QPageSize::A4);
        else if (size == QLatin1String("a5"))
            m_t.pageSize = QPageSize(QPageSize::A5);
        else if (size == QLatin1String("a3"))
            m_t.pageSize = QPageSize(QPageSize::A3);
        else if (size == QLatin1String("b5"))
            m_t.pageSize = QPageSize(QPageSize::B5);
        else if (size == QLatin1String("letter"))
            m_t.pageSize = QPageSize(QPageSize::Letter);
        else
            return failHere(QStringLiteral("未知的纸张：%1").arg(size));
        const QString o = a.value(QLatin1String("orientation")).toString().toLower();
        if (o == QLatin1String("landscape"))
            m_t.orientation = QPageLayout::Landscape;
        else if (!o.isEmpty() && o != QLatin1String("portrait"))
            return failHere(QStringLiteral("未知的方向：%1").arg(o));
        const QString m = a.value(QLatin1String("margins")).toString().simplified();
        if (!m.isEmpty()) {
            const QStringList p = m.split(QLatin1Char(' '));
            QVector<double> v;
            for (const QString &s : p) {
                bool ok = false;
                v << s.toDouble(&ok);
                if (!ok || v.last() < 0)
                    return failHere(QStringLiteral("页边距应为 1 或 4 个非负数：%1").arg(m));
            }
            if (v.size() == 1)
                m_t.margins = QMarginsF(v[0], v[0], v[0], v[0]);
            else if (v.size() == 4)
                m_t.margins = QMarginsF(v[0], v[1], v[2], v[3]);
            else
                return failHere(QStringLiteral("页边距应为 1 或 4 个非负数：%1").arg(m));
        }
        return skip();
    }

    bool readBand()
    {
        const auto a = m_x.attributes();
        const QString type = a.value(QLatin1String("type")).toString();
        if (!bandTypes().contains(type.toLower()))
            return failHere(QStringLiteral("未知的区域类型：%1").arg(type));
        ReportBand b;
        b.type = bandTypes().value(type.toLower());
        if (!number(a, "height", &b.height, &m_error))
            return false;
        // A band below zero would print every row over the one before.
        if (b.height < 0)
            return failHere(QStringLiteral("区域高度必须大于 0：%1").arg(b.height));
        b.field = a.value(QLatin1String("field")).toString();
        b.newPage = flag(a, "newPage", false);
        b.firstPage = flag(a, "firstPage", true);
        if ((b.type == Type::GroupHeader || b.type == Type::GroupFooter) && b.field.isEmpty())
            return failHere(QStringLiteral("分组区域需要 field 属性"));
        if (b.type != Type::GroupHeader && b.type != Type::GroupFooter && b.type != Type::Detail
            && m_t.band(b.type))
            return failHere(QStringLiteral("区域 %1 只能有一个").arg(type));
        if (b.type == Type::Detail && m_t.band(Type::Detail))
            return failHere(QStringLiteral("区域 detail 只能有一个"));
        if (!readItems(&b.items))
            return false;
        // So would a band of no height that prints something.
        if (b.height <= 0 && !b.items.isEmpty())
            return failHere(QStringLiteral("区域高度必须大于 0：%1").arg(b.height));
        m_t.bands.push_back(b);
        return true;
    }

    bool readLabels()
    {
        if (m_t.hasLabels())
            return failHere(QStringLiteral("只能有一个 <labels>"));
        const auto a = m_x.attributes();
        LabelGrid &g = m_t.labels;
        double cols = 0, rows = 0;
        if (!number(a, "columns", &cols, &m_error) || !number(a, "rows", &rows, &m_error)
            || !number(a, "left", &g.left, &m_error) || !number(a, "top", &g.top, &m_error)
            || !number(a, "width", &g.width, &m_error) || !number(a, "height", &g.height, &m_error)
            || !number(a, "hgap", &g.hgap, &m_error) || !number(a, "vgap", &g.vgap, &m_error))
            return false;
        g.columns = int(cols);
        g.rows = int(rows);
        if (g.columns < 1 || g.rows < 1)
            return failHere(QStringLiteral("标签需要至少 1 列 1 行"));
        return readItems(&g.items);
    }

    bool readItems(QVector<ReportItem> *items)
    {
        while (m_x.readNextStartElement()) {
            if (++m_items > ReportTemplate::kMaxItems)
                return failHere(QStringLiteral("模板中的项目超过 %1 个").arg(ReportTemplate::kMaxItems));
            ReportItem it;
            if (!readItem(&it))
                return false;
            items->push_back(it);
        }
        return true;
    }

    bool readItem(ReportItem *it)
    {
        const QString n = m_x.name().toString();
        const auto a = m_x.attributes();
        double x = 0, y = 0, w = 0, h = 0;
        if (!number(a, "x", &x, &m_error) || !number(a, "y", &y, &m_error) || !number(a, "w", &w, &m_error)
            || !number(a, "h", &h, &m_error) || !number(a, "pen", &it->lineWidth, &m_error))
            return false;
        it->rect = QRectF(x, y, w, h);
        it->font = m_t.font;
        if (!readFont(a, &it->font, &m_error) || !readAlign(a, &it->align, &m_error))
            return false;
        it->wrap = flag(a, "wrap", false);
        it->borders = a.value(QLatin1String("borders")).toString().toLower();
        const QString format = a.value(QLatin1String("format")).toString();
        QString source;
        if (n == QLatin1String("text")) {
            source = m_x.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else if (n == QLatin1String("field")) {
            const QString f = a.value(QLatin1String("name")).toString();
            if (f.isEmpty())
                return failHere(QStringLiteral("<field> 需要 name 属性"));
            source = QLatin1Char('[') + f + (format.isEmpty() ? QString() : QLatin1Char('|') + format) + QLatin1Char(']');
            skip();
        } else if (n == QLatin1String("expr")) {
            const QString v = a.value(QLatin1String("value")).toString();
            if (v.isEmpty())
                return failHere(QStringLiteral("<expr> 需要 value 属性"));
            source = QLatin1Char('[') + v + (format.isEmpty() ? QString() : QLatin1Char('|') + format) + QLatin1Char(']');
            skip();
        } else if (n == QLatin1String("pageNumber")) {
            source = a.hasAttribute(QLatin1String("text")) ? a.value(QLatin1String("text")).toString()
                                                           : QStringLiteral("第 [Page] 页  共 [Pages] 页");
            skip();
        } else if (n == QLatin1String("image")) {
            it->kind = ReportItem::Kind::Image;
            it->imageField = a.value(QLatin1String("field")).toString();
            it->imageFile = a.value(QLatin1String("file")).toString();
            if (it->imageField.isEmpty() == it->imageFile.isEmpty())
                return failHere(QStringLiteral("<image> 需要 field 或 file 属性之一"));
            return skip();
        } else if (n == QLatin1String("line")) {
            it->kind = ReportItem::Kind::Line;
            double x2 = x, y2 = y;
            if (!number(a, "x1", &x, &m_error) || !number(a, "y1", &y, &m_error)
                || !number(a, "x2", &x2, &m_error) || !number(a, "y2", &y2, &m_error))
                return false;
            it->rect = QRectF(QPointF(x, y), QPointF(x2, y2));
            return skip();
        } else if (n == QLatin1String("box")) {
            it->kind = ReportItem::Kind::Box;
            return skip();
        } else {
            return failHere(QStringLiteral("未知的元素 <%1>").arg(n));
        }
        if (m_x.hasError())
            return failHere(m_x.errorString());
        if (!ReportTemplate::parseText(source, &it->parts, &m_error))
            return false;
        for (const TextPart &p : it->parts)
            if (p.kind == TextPart::Kind::Page || p.kind == TextPart::Kind::Pages)
                it->pageDependent = true;
        return true;
    }

    bool checkGroups(QString *error)
    {
        for (const ReportBand &b : m_t.bands)
            if (b.type == Type::GroupFooter) {
                bool found = false;
                for (const ReportBand *h : m_t.groupHeaders())
                    found = found || h->field.compare(b.field, Qt::CaseInsensitive) == 0;
                if (!found) {
                    *error = QStringLiteral("分组尾 %1 没有对应的分组头").arg(b.field);
                    return false;
                }
            }
        if (m_t.hasLabels() && m_t.band(Type::Detail)) {
            *error = QStringLiteral("<labels> 与 detail 区域不能同时使用");
            return false;
        }
        return true;
    }

    ReportTemplate &m_t;
    QXmlStreamReader &m_x;
    QString m_error;
    int m_items = 0;
};

} // namespace

namespace {

QString tooBig()
{
    return QStringLiteral("模板文件超过 %1 KB").arg(ReportTemplate::kMaxFileBytes / 1024);
}

} // namespace

bool ReportTemplate::load(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return false;
    }
    // Read one byte past the bound: a file that grows meanwhile, or a
    // device that reports no size, is caught all the same.
    const QByteArray xml = f.read(kMaxFileBytes + 1);
    if (xml.size() > kMaxFileBytes) {
        *error = tooBig();
        return false;
    }
    return loadXml(xml, error, QFileInfo(path).absolutePath());
}

bool ReportTemplate::loadXml(const QByteArray &xml, QString *error, const QString &dir)
{
    *this = ReportTemplate();
    baseDir = dir;
    if (xml.size() > kMaxFileBytes) {
        *error = tooBig();
        return false;
    }
    QXmlStreamReader x(xml);
    Loader l(*this, x);
    return l.run(error);
}

QSizeF ReportTemplate::pageSizeMm() const
{
    const QSizeF s = pageSize.size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

const ReportBand *ReportTemplate::band(ReportBand::Type t) const
{
    for (const ReportBand &b : bands)
        if (b.type == t)
            return &b;
    return nullptr;
}

QVector<const ReportBand *> ReportTemplate::groupHeaders() const
{
    QVector<const ReportBand *> r;
    for (const ReportBand &b : bands)
        if (b.type == ReportBand::Type::GroupHeader)
            r << &b;
    return r;
}

const ReportBand *ReportTemplate::groupFooter(const QString &field) const
{
    for (const ReportBand &b : bands)
        if (b.type == ReportBand::Type::GroupFooter && b.field.compare(field, Qt::CaseInsensitive) == 0)
            return &b;
    return nullptr;
}

QStringList ReportTemplate::otherDatasets() const
{
    QStringList names;
    auto collect = [&names](const QVector<ReportItem> &items) {
        for (const ReportItem &it : items)
            for (const TextPart &p : it.parts)
                if (p.kind == TextPart::Kind::OtherField && !names.contains(p.dataset, Qt::CaseInsensitive))
                    names << p.dataset;
    };
    for (const ReportBand &b : bands)
        collect(b.items);
    collect(labels.items);
    return names;
}
