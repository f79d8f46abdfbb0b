#include "printing/reportlayout.h"

#include "data/apppaths.h"
#include "data/clock.h"
#include "data/dataset.h"
#include "data/format.h"
#include "data/money.h"
#include "printing/valueformat.h"

#include <QDir>

#include <algorithm>
#include <limits>

namespace {

// Stand-ins for the page number and count until the last page is known.
const QChar kPageMark(0xE000);
const QChar kPagesMark(0xE001);

using Type = ReportBand::Type;

} // namespace

ReportLayout::ReportLayout(const ReportTemplate &t, Dataset *data, DatasetResolver resolver)
    : m_t(t), m_data(data), m_resolver(std::move(resolver)), m_printTime(Clock::instance().now())
{
}

PreparedReport ReportLayout::prepare()
{
    m_out = PreparedReport();
    m_out.title = m_t.title;
    m_out.pageSize = m_t.pageSize;
    m_out.orientation = m_t.orientation;
    m_out.pageSizeMm = m_page = m_t.pageSizeMm();
    m_pageDependent.clear();
    m_fieldIndex.clear();
    m_primitives = m_textChars = 0;
    m_tooLarge.clear();
    if (m_data && m_data->isActive())
        m_data->fetchAll();
    m_rows = m_data && m_data->isActive() ? m_data->rowCount() : 0;
    openOtherDatasets();

    if (m_t.hasLabels())
        layOutLabels();
    else
        layOutBands();
    if (!m_tooLarge.isEmpty()) {
        m_out.pages.clear();
        m_pageDependent.clear();
    }

    const QString count = QString::number(m_out.pages.size());
    for (const auto &[page, index] : m_pageDependent) {
        QString &text = m_out.pages[page][index].text;
        text.replace(kPageMark, QString::number(page + 1));
        text.replace(kPagesMark, count);
    }
    m_out.warnings.removeDuplicates();
    return m_out;
}

// The agency's details sit in a set that no window but their own opens; a
// printout must carry them all the same, from whichever window it comes.
void ReportLayout::openOtherDatasets()
{
    if (!m_resolver)
        return;
    for (const QString &name : m_t.otherDatasets()) {
        Dataset *d = m_resolver(name);
        if (d && !d->isActive() && !d->open())
            m_out.warnings << name + QStringLiteral(": ") + d->lastError();
    }
}

// --- bands ---

void ReportLayout::layOutBands()
{
    newPage();
    if (const ReportBand *title = m_t.band(Type::Title))
        placeBand(*title, 0, {0, m_rows});

    const QVector<const ReportBand *> groups = m_t.groupHeaders();
    const ReportBand *detail = m_t.band(Type::Detail);
    if (const ReportBand *ch = m_t.band(Type::ColumnHeader))
        placeBand(*ch, 0, {0, m_rows});
    m_inData = true;
    // The title belongs to the first group: a group that starts a new page
    // does not leave the title alone on a page of its own.
    m_bodyTop = m_y;

    QVector<Range> open(groups.size());
    QVector<QString> keys(groups.size());
    auto closeGroups = [&](int fromLevel, int lastRow) {
        for (int g = int(groups.size()) - 1; g >= fromLevel; --g)
            if (const ReportBand *f = m_t.groupFooter(groups[g]->field))
                placeBand(*f, lastRow, open[g]);
    };
    for (int row = 0; row < m_rows && m_tooLarge.isEmpty(); ++row) {
        int changed = int(groups.size());
        for (int g = 0; g < groups.size(); ++g)
            if (row == 0 || groupKey(groups[g]->field, row) != keys[g]) {
                changed = g;
                break;
            }
        if (row > 0)
            closeGroups(changed, row - 1);
        for (int g = changed; g < groups.size(); ++g) {
            keys[g] = groupKey(groups[g]->field, row);
            int end = row + 1;
            while (end < m_rows) {
                bool same = true;
                for (int o = 0; o <= g && same; ++o)
                    same = groupKey(groups[o]->field, end) == keys[o];
                if (!same)
                    break;
                ++end;
            }
            open[g] = {row, end};
            // A group header never stands alone at the foot of a page.
            ensureRoom(groups[g]->height + (detail ? detail->height : 0));
            placeBand(*groups[g], row, open[g]);
        }
        if (detail)
            placeBand(*detail, row, groups.isEmpty() ? Range{0, m_rows} : open.last());
    }
    if (m_rows > 0)
        closeGroups(0, m_rows - 1);
    m_inData = false;
    if (const ReportBand *s = m_t.band(Type::Summary))
        placeBand(*s, std::max(m_rows - 1, 0), {0, m_rows});
    closePage();
}

void ReportLayout::newPage()
{
    if (!m_out.pages.isEmpty())
        closePage();
    m_out.pages.push_back({});
    const bool first = m_out.pages.size() == 1;
    m_y = m_t.margins.top();
    m_limit = m_page.height() - m_t.margins.bottom();
    if (const ReportBand *f = m_t.band(Type::PageFooter))
        m_limit -= f->height;
    if (const ReportBand *h = m_t.band(Type::PageHeader); h && (!first || h->firstPage)) {
        placeItems(h->items, m_t.margins.left(), m_y, 0, {0, m_rows});
        m_y += h->height;
    }
    if (m_inData)
        if (const ReportBand *ch = m_t.band(Type::ColumnHeader)) {
            placeItems(ch->items, m_t.margins.left(), m_y, 0, {0, m_rows});
            m_y += ch->height;
        }
    m_bodyTop = m_y;
}

void ReportLayout::closePage()
{
    const ReportBand *f = m_t.band(Type::PageFooter);
    if (!f || (m_out.pages.size() == 1 && !f->firstPage))
        return;
    placeItems(f->items, m_t.margins.left(), m_page.height() - m_t.margins.bottom() - f->height, 0, {0, m_rows});
}

void ReportLayout::ensureRoom(double height)
{
    if (m_y + height > m_limit + 1e-6 && m_y > m_bodyTop + 1e-6)
        newPage();
}

void ReportLayout::placeBand(const ReportBand &b, int row, Range range)
{
    if (b.newPage && m_y > m_bodyTop + 1e-6)
        newPage();
    ensureRoom(b.height);
    placeItems(b.items, m_t.margins.left(), m_y, row, range);
    m_y += b.height;
}

// --- labels ---

void ReportLayout::layOutLabels()
{
    const LabelGrid &g = m_t.labels;
    const double w = g.width > 0 ? g.width : (m_page.width() - 2 * g.left - (g.columns - 1) * g.hgap) / g.columns;
    const double h = g.height > 0 ? g.height : (m_page.height() - 2 * g.top - (g.rows - 1) * g.vgap) / g.rows;
    const int perPage = g.columns * g.rows;
    for (int row = 0; row < m_rows && m_tooLarge.isEmpty(); ++row) {
        const int cell = row % perPage;
        if (cell == 0)
            m_out.pages.push_back({});
        const int c = cell % g.columns, r = cell / g.columns;
        placeItems(g.items, g.left + c * (w + g.hgap), g.top + r * (h + g.vgap), row, {0, m_rows});
    }
    if (m_out.pages.isEmpty())
        m_out.pages.push_back({}); // an empty sheet rather than no preview at all
}

// --- items and values ---

void ReportLayout::placeItems(const QVector<ReportItem> &items, double left, double top, int row, Range range)
{
    if (!m_tooLarge.isEmpty())
        return;
    if (m_out.pages.size() > kMaxPages) {
        m_tooLarge = QStringLiteral("报表超过 %1 页").arg(kMaxPages);
        return;
    }
    ReportPage &page = m_out.pages.last();
    for (const ReportItem &it : items) {
        if (m_primitives >= kMaxPrimitives) {
            m_tooLarge = QStringLiteral("报表超过 %1 个项目").arg(kMaxPrimitives);
            return;
        }
        if (m_textChars > kMaxTextChars) {
            m_tooLarge = QStringLiteral("报表的文字超过 %1 个字符").arg(kMaxTextChars);
            return;
        }
        PagePrimitive p;
        p.rect = it.rect.translated(left, top);
        p.lineWidth = it.lineWidth;
        switch (it.kind) {
        case ReportItem::Kind::Line:
            p.kind = PagePrimitive::Kind::Line;
            break;
        case ReportItem::Kind::Box:
            p.kind = PagePrimitive::Kind::Box;
            break;
        case ReportItem::Kind::Image: {
            p.kind = PagePrimitive::Kind::Image;
            QString path = it.imageFile.isEmpty() ? fieldValue(it.imageField, row).toString().trimmed()
                                                  : QDir(m_t.baseDir).filePath(it.imageFile);
            if (path.isEmpty())
                continue; // no photo on file
            if (QDir::isRelativePath(path))
                path = AppPaths::path(path);
            p.text = path;
            break;
        }
        case ReportItem::Kind::Text: {
            p.kind = PagePrimitive::Kind::Text;
            bool pageDependent = false;
            p.text = evaluate(it.parts, row, range, &pageDependent);
            p.font = it.font;
            p.align = it.align;
            p.wrap = it.wrap;
            p.borders = it.borders;
            if (p.text.isEmpty() && p.borders.isEmpty())
                continue;
            if (pageDependent)
                m_pageDependent.push_back({int(m_out.pages.size()) - 1, int(page.size())});
            m_textChars += p.text.size();
            break;
        }
        }
        page.push_back(p);
        ++m_primitives;
    }
}

QString ReportLayout::evaluate(const QVector<TextPart> &parts, int row, Range range, bool *pageDependent)
{
    using K = TextPart::Kind;
    QString out;
    for (const TextPart &p : parts) {
        switch (p.kind) {
        case K::Literal:
            out += p.text;
            break;
        case K::Field:
            out += ValueFormat::apply(fieldValue(p.text, row), p.format);
            break;
        case K::OtherField: {
            Dataset *d = m_resolver ? m_resolver(p.dataset) : nullptr;
            if (!d || !d->isActive() || !d->hasField(p.text)) {
                m_out.warnings << p.dataset + QLatin1Char('.') + p.text;
                break;
            }
            const int r = d->currentRow() >= 0 ? d->currentRow() : 0;
            out += ValueFormat::apply(d->value(r, p.text), p.format);
            break;
        }
        case K::Sum:
        case K::Count:
        case K::Avg:
        case K::Min:
        case K::Max:
            out += aggregate(p, range);
            break;
        case K::Page:
            out += kPageMark;
            *pageDependent = true;
            break;
        case K::Pages:
            out += kPagesMark;
            *pageDependent = true;
            break;
        case K::Date:
            out += p.format.isEmpty() ? Format::date(m_printTime.date()) : m_printTime.toString(p.format);
            break;
        case K::Time:
            out += p.format.isEmpty() ? Format::time(m_printTime.time()) : m_printTime.toString(p.format);
            break;
        case K::Line:
            out += QString::number(row + 1);
            break;
        }
    }
    return out;
}

QString ReportLayout::aggregate(const TextPart &p, Range range)
{
    using K = TextPart::Kind;
    double sum = 0, lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
    int n = 0;
    // Amounts add up exactly while every value is one.
    Money exact;
    bool allMoney = true;
    for (int r = range.from; r < range.to; ++r) {
        if (p.text.isEmpty()) { // count() counts rows
            ++n;
            continue;
        }
        const QVariant v = fieldValue(p.text, r);
        if (!v.isValid() || v.isNull() || v.toString().isEmpty())
            continue;
        ++n;
        if (v.userType() == qMetaTypeId<Money>())
            exact += v.value<Money>();
        else
            allMoney = false;
        const double d = v.toDouble();
        sum += d;
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    double value = 0;
    switch (p.kind) {
    case K::Count:
        value = n;
        break;
    case K::Sum:
        value = sum;
        break;
    case K::Avg:
        value = n ? sum / n : 0;
        break;
    case K::Min:
        if (!n)
            return {};
        value = lo;
        break;
    default:
        if (!n)
            return {};
        value = hi;
        break;
    }
    // Sums of money lines add up binary fractions; round off the noise.
    QVariant shown = p.kind == K::Count ? QVariant(n) : QVariant(std::round(value * 1e6) / 1e6);
    if (p.kind == K::Sum && allMoney && n)
        shown = QVariant::fromValue(exact);
    return ValueFormat::apply(shown, p.format);
}

QVariant ReportLayout::fieldValue(const QString &field, int row)
{
    if (!m_data || row < 0 || row >= m_rows)
        return {};
    const QString key = field.toLower();
    auto it = m_fieldIndex.constFind(key);
    if (it == m_fieldIndex.constEnd()) {
        it = m_fieldIndex.insert(key, m_data->fieldIndex(field));
        if (it.value() < 0)
            m_out.warnings << field;
    }
    return it.value() < 0 ? QVariant() : m_data->value(row, it.value());
}

QString ReportLayout::groupKey(const QString &field, int row)
{
    const QVariant v = fieldValue(field, row);
    return v.isNull() ? QString() : v.toString();
}
