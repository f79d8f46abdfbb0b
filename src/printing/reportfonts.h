#pragma once

#include <QString>

// The fonts that reports print with. The report font is Noto Sans CJK SC with
// one code point per glyph (derived at build time), so the text of an
// exported PDF copies and searches as it was printed; it stands in for Noto
// Sans CJK SC, the family every shipped template names.
namespace ReportFonts {
// The family to print a template's family with. Needs a QGuiApplication.
QString family(const QString &templateFamily);
// The derived family once its files are loaded, else empty.
QString reportFamily();
} // namespace ReportFonts
