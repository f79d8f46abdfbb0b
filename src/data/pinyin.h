#pragma once

#include <QString>
#include <QStringList>

// Finding a Chinese name by what a clerk types without switching the input
// method: the initials of its syllables ("zxy" for 张晓燕), the whole
// pinyin ("zhangxiaoyan"), or a mix of the two at syllable boundaries
// ("zhangxy"). Every syllable may be typed as any beginning of one of its
// readings, so a name keeps being found while its pinyin is typed letter by
// letter; a character read several ways (单 shan/dan) matches by each.
//
// The name's side is worked out once, when the name is stored: its search
// key lists the readings of each syllable, "|shan,dan,chan|li|xin|". The
// typed side becomes a regular expression over such keys, which both
// engines run (PostgreSQL's ~, on SQLite a function of ours: Dialect).
namespace Pinyin {

// The toneless readings of one character, the usual one first; empty for a
// character without a Mandarin reading.
QStringList readings(char32_t c);

// The search key of a name: one token per Chinese character, its readings
// joined by ','. Any other letter or digit (Latin text, a character without
// a reading) leaves an empty token, which no typed pinyin passes; blanks and
// punctuation leave nothing. Empty for a name without any token. Bounded by
// kMaxKeyLength, cut at a token; a cut key ends in an empty token, as the
// rest may hold Latin letters.
QString searchKey(const QString &name);
inline constexpr int kMaxKeyLength = 1000;

// The pattern over search keys for a typed text, or an empty string when
// the text cannot be pinyin (after blanks and apostrophes are dropped it
// must be Latin letters only, at most kMaxTyped of them).
// With fromStart the pattern matches from the name's first syllable only.
QString typedPattern(const QString &typed, bool fromStart = false);
inline constexpr int kMaxTyped = 64;

// The letters of a typed text that can be pinyin (lower case, blanks and
// apostrophes dropped); empty when it cannot be.
QString typedLetters(const QString &typed);

// A cheap test that every key the pattern matches passes: the typed
// letters in their order, as a LIKE pattern ("%z%x%y%"). Run first, it
// spares the regular expression most rows of a large table.
QString typedLikePattern(const QString &typed);

// Whether a name is found by a typed text: as text, regardless of case, or
// by its pinyin. The same rule as the database's search, for lists held in
// memory (drop-downs).
bool matches(const QString &name, const QString &typed);
// Whether the name begins with the typed text, as text or as pinyin.
bool startsWith(const QString &name, const QString &typed);

} // namespace Pinyin
