#include "printing/reportfonts.h"

#include "data/apppaths.h"

#include <QDir>
#include <QFontDatabase>

namespace ReportFonts {

QString reportFamily()
{
    // Loaded once per process; the files come with the program.
    static const QString loaded = [] {
        QString family;
        const QDir dir(AppPaths::shippedPath(QStringLiteral("Data/Fonts")));
        const QStringList files = dir.entryList({QStringLiteral("*.otf")}, QDir::Files, QDir::Name);
        for (const QString &file : files) {
            const int id = QFontDatabase::addApplicationFont(dir.filePath(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (family.isEmpty() && !families.isEmpty())
                family = families.first();
        }
        return family;
    }();
    return loaded;
}

QString family(const QString &templateFamily)
{
    const QString derived = reportFamily();
    if (!derived.isEmpty() && templateFamily.compare(QLatin1String("Noto Sans CJK SC"), Qt::CaseInsensitive) == 0)
        return derived;
    return templateFamily;
}

} // namespace ReportFonts
