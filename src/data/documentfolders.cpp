#include "data/documentfolders.h"

#include "data/apppaths.h"
#include "data/privatefiles.h"

#include <QDir>

namespace DocumentFolders {

namespace {

QString encoded(QChar c)
{
    return QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}

bool needsEncoding(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0) || c == QLatin1Char('%');
}

QString made(const QString &path)
{
    PrivateFiles::makeFolder(path);
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// A record's folder inside its family folder; without a code the record
// has none, and the family folder is the place to show.
QString recordFolder(const QString &family, const QString &code)
{
    const QString name = safeName(code);
    return name.isEmpty() ? made(family) : made(family + name);
}

} // namespace

QString safeName(const QString &code)
{
    QString out;
    out.reserve(code.size());
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        const bool leadingDot = i == 0 && c == QLatin1Char('.');
        out += (leadingDot || needsEncoding(c)) ? encoded(c) : QString(c);
    }
    return out;
}

namespace {

// A customer's folder name: a code spelling a family folder's name
// (Operaters, Yuangong, Shusong, Plans) gets its first letter encoded, so
// that no customer's folder is ever another family's.
QString customerName(const QString &custId)
{
    const QString name = safeName(custId);
    // Compared without case: on a shared folder of a Windows server the
    // names are one.
    for (const char *family : {"Operaters", "Yuangong", "Shusong", "Plans"})
        if (name.compare(QLatin1String(family), Qt::CaseInsensitive) == 0)
            return encoded(name.at(0)) + name.mid(1);
    return name;
}

} // namespace

QString root() { return made(AppPaths::documentRoot()); }
QString customer(const QString &custId)
{
    const QString name = customerName(custId);
    return name.isEmpty() ? root() : made(root() + name);
}
QString operaters() { return made(root() + QStringLiteral("Operaters")); }
QString operater(const QString &operaterId) { return recordFolder(operaters(), operaterId); }
QString yuangongFamily() { return made(root() + QStringLiteral("Yuangong")); }
QString yuangong(const QString &yuangongId) { return recordFolder(yuangongFamily(), yuangongId); }
QString shusong() { return made(root() + QStringLiteral("Shusong")); }
QString plans() { return made(root() + QStringLiteral("Plans")); }

} // namespace DocumentFolders
