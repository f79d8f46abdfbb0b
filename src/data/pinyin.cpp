#include "data/pinyin.h"

#include "data/pinyintable.h"

#include <QRegularExpression>

#include <algorithm>

namespace Pinyin {

QStringList readings(char32_t c)
{
    const char32_t *end = PinyinTable::kCodePoints + PinyinTable::kCount;
    const char32_t *it = std::lower_bound(PinyinTable::kCodePoints, end, c);
    if (it == end || *it != c)
        return {};
    return QString::fromLatin1(PinyinTable::kReadingSets[PinyinTable::kSetOf[it - PinyinTable::kCodePoints]])
        .split(QLatin1Char(','));
}

QString searchKey(const QString &name)
{
    QString key;
    bool brokenLast = false;
    for (const char32_t c : name.toUcs4()) {
        const QStringList r = readings(c);
        QString token;
        if (!r.isEmpty()) {
            token = r.join(QLatin1Char(','));
        } else if (QChar::isLetterOrNumber(c)) {
            // Latin letters and digits are found as text, as they always
            // were; as pinyin they only end a run of syllables, so that
            // "on" does not find "O'Neill" by its initials.
            if (brokenLast)
                continue;
        } else {
            continue; // blanks and punctuation: "张 晓燕" is read on
        }
        brokenLast = token.isEmpty();
        if (key.size() + token.size() + 2 > kMaxKeyLength) {
            // Cut: an empty token at the end says that the rest, which may
            // hold Latin letters, is to be searched as text.
            if (!key.endsWith(QLatin1String("||")))
                key += QLatin1Char('|');
            break;
        }
        if (key.isEmpty())
            key += QLatin1Char('|');
        key += token;
        key += QLatin1Char('|');
    }
    return key;
}

QString typedLetters(const QString &typed)
{
    QString letters;
    for (const QChar c : typed.normalized(QString::NormalizationForm_KC).toLower()) {
        if (c.isSpace() || c == QLatin1Char('\''))
            continue;
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return {};
        letters += c;
    }
    return letters.size() > kMaxTyped ? QString() : letters;
}

QString typedLikePattern(const QString &typed)
{
    const QString letters = typedLetters(typed);
    if (letters.isEmpty())
        return {};
    QString like = QStringLiteral("%");
    for (const QChar c : letters) {
        like += c;
        like += QLatin1Char('%');
    }
    return like;
}

QString typedPattern(const QString &typed, bool fromStart)
{
    const QString letters = typedLetters(typed);
    if (letters.isEmpty())
        return {};
    // Between two typed letters the key either goes on in the same reading
    // or leaves it: the rest of that reading and the token's other readings
    // skipped, into the next token at the start of one of its readings. A
    // match starts at the start of a reading. Only what both engines'
    // expressions read alike is used.
    static const QString gap = QStringLiteral("(?:[0-9a-z]*(?:,[0-9a-z]+)*[|](?:[0-9a-z]+,)*)?");
    QString pattern = fromStart ? QStringLiteral("^[|](?:[0-9a-z]+,)*") : QStringLiteral("[|,]");
    for (qsizetype i = 0; i < letters.size(); ++i) {
        if (i > 0)
            pattern += gap;
        pattern += letters[i];
    }
    return pattern;
}

bool matches(const QString &name, const QString &typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty() || name.contains(t, Qt::CaseInsensitive))
        return true;
    const QString pattern = typedPattern(t);
    return !pattern.isEmpty() && QRegularExpression(pattern).match(searchKey(name)).hasMatch();
}

bool startsWith(const QString &name, const QString &typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty() || name.startsWith(t, Qt::CaseInsensitive))
        return true;
    const QString pattern = typedPattern(t, true);
    return !pattern.isEmpty() && QRegularExpression(pattern).match(searchKey(name)).hasMatch();
}

} // namespace Pinyin
