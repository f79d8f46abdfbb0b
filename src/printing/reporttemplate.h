#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

// A report template as read from Data/Report/<name>.frf. All lengths are
// millimetres, font sizes points. The XML format is described for the
// agencies in docs/report-templates.md.

struct ReportFont {
    QString family = QStringLiteral("Noto Sans CJK SC");
    double size = 10;
    bool bold = false;
    bool italic = false;
};

// One piece of a text: literal text, or an expression in brackets such as
// [CustName], [Money|#,##0.00], [sum(Money)], [Page] or [tblUserInfo.UserName].
struct TextPart {
    enum class Kind { Literal, Field, OtherField, Sum, Count, Avg, Min, Max, Page, Pages, Date, Time, Line };
    Kind kind = Kind::Literal;
    QString text;    // the literal, or the field name
    QString dataset; // for OtherField
    QString format;
};

struct ReportItem {
    enum class Kind { Text, Image, Line, Box };
    Kind kind = Kind::Text;
    QRectF rect; // inside its band (line: from top-left to bottom-right)
    QVector<TextPart> parts;
    bool pageDependent = false; // mentions [Page] or [Pages]
    ReportFont font;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    QString borders;  // any of "ltrb": a cell frame around a text
    double lineWidth = 0.2;
    QString imageField; // image: a field holding the picture's path
    QString imageFile;  // image: a fixed picture, relative to the template
};

struct ReportBand {
    enum class Type { Title, PageHeader, ColumnHeader, GroupHeader, GroupFooter, Detail, Summary, PageFooter };
    Type type = Type::Detail;
    double height = 0;
    QString field;        // the group field of a group header or footer
    bool newPage = false; // starts a new page unless already at the top of one
    bool firstPage = true; // a page header or footer also on the first page
    QVector<ReportItem> items;
};

// A sheet of labels: one record per cell, row by row, a new sheet when full.
struct LabelGrid {
    int columns = 0;
    int rows = 0;
    double left = 0, top = 0;      // of the first cell on the sheet
    double width = 0, height = 0;  // of one cell
    double hgap = 0, vgap = 0;
    QVector<ReportItem> items;     // positioned inside a cell
};

class ReportTemplate
{
public:
    static constexpr int kVersion = 1;
    // A template is a page or two of layout: the shipped ones are a few
    // kilobytes with some fifty items. Far beyond that it is a mistake or
    // an attack, refused before it is laid out over any rows.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    static constexpr int kMaxItems = 5000;

    // Reads a template file; on failure returns false with the reason.
    bool load(const QString &path, QString *error);
    bool loadXml(const QByteArray &xml, QString *error, const QString &baseDir = {});

    QString title;
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{15, 15, 15, 15};
    ReportFont font;
    QVector<ReportBand> bands;
    LabelGrid labels;
    QString baseDir; // the template's folder, for fixed pictures

    bool hasLabels() const { return labels.columns > 0 && labels.rows > 0; }
    QSizeF pageSizeMm() const; // with the orientation applied
    const ReportBand *band(ReportBand::Type t) const;
    QVector<const ReportBand *> groupHeaders() const; // outermost first
    const ReportBand *groupFooter(const QString &field) const;
    // The other datasets the template reads ([tblUserInfo.UserName]), each
    // once, in the order they first appear.
    QStringList otherDatasets() const;

    // Parses a text with bracketed expressions; false with a reason when
    // an expression is malformed. "[[" stands for a literal bracket.
    static bool parseText(const QString &text, QVector<TextPart> *parts, QString *error);
};
