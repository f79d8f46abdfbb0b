#include "data/inifile.h"

#include "data/outputfile.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QStringDecoder>

namespace {

QString sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool isSection(const QString &line) { return !sectionName(line).isEmpty(); }

QString keyOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return {};
    const int eq = t.indexOf(QLatin1Char('='));
    return eq > 0 ? t.left(eq).trimmed() : QString();
}

// A value must stay on its own line.
QString oneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    // An export written by an old workstation in the ANSI code page.
    if (utf8.hasError()) {
        QStringDecoder gbk("GB18030");
        if (gbk.isValid())
            text = gbk.decode(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

namespace IniFile {

QByteArray merge(const QByteArray &existing, const QString &section, const Entries &entries)
{
    QString text = decode(existing);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    // Where the section starts and ends (one past its last line).
    int start = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (sectionName(lines[i]).compare(section, Qt::CaseInsensitive) == 0) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        lines << QLatin1Char('[') + section + QLatin1Char(']');
        start = int(lines.size()) - 1;
    }
    int end = start + 1;
    while (end < lines.size() && !isSection(lines[end]))
        ++end;

    QHash<QString, int> lineOfKey; // lower-case key -> line in the section
    for (int i = start + 1; i < end; ++i) {
        const QString k = keyOf(lines[i]);
        if (!k.isEmpty() && !lineOfKey.contains(k.toLower()))
            lineOfKey.insert(k.toLower(), i);
    }
    // New keys go after the section's last entry, before blank lines that
    // separate it from the next section.
    int insertAt = end;
    while (insertAt > start + 1 && lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    QStringList added;
    QHash<QString, int> addedAt; // lower-case key -> index in added
    for (const auto &[key, value] : entries) {
        const QString line = key + QLatin1Char('=') + oneLine(value);
        const QString k = key.toLower();
        if (const auto it = lineOfKey.constFind(k); it != lineOfKey.constEnd()) {
            lines[*it] = line;
        } else if (const auto a = addedAt.constFind(k); a != addedAt.constEnd()) {
            added[*a] = line;
        } else {
            addedAt.insert(k, int(added.size()));
            added << line;
        }
    }
    for (int i = 0; i < added.size(); ++i)
        lines.insert(insertAt + i, added[i]);

    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    return out;
}

QString mergeInto(const QString &path, const QString &section, const Entries &entries)
{
    QByteArray existing;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return in.errorString();
        existing = in.readAll();
        in.close();
    }
    return OutputFile::write(path, merge(existing, section, entries));
}

} // namespace IniFile
