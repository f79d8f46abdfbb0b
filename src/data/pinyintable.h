#pragma once

// The Mandarin readings of every character that Unicode's Unihan data give
// one, generated at build time (scripts/pinyintable.py): code points in
// ascending order, each with the index of its set of toneless readings
// ("shan,dan,chan", the usual reading first).
namespace PinyinTable {
extern const char *const kReadingSets[];
extern const char32_t kCodePoints[];
extern const unsigned short kSetOf[];
extern const int kCount;
} // namespace PinyinTable
