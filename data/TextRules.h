#pragma once
// Text rules shared by every form: blanks, trimming and Shift_JIS byte lengths.
#include <QString>

namespace text {

// Characters with codes up to 32 are blanks; the full-width space U+3000 is not.
bool isBlankChar(QChar c);
// True when nothing but blanks remain.
bool isBlank(const QString &s);
// Removes leading and trailing blanks.
QString trim(const QString &s);
// Removes trailing blanks only.
QString trimRight(const QString &s);
// Removes leading blanks only.
QString trimLeft(const QString &s);

// Byte length in code page 932: ASCII and half-width katakana count 1, every
// other character 2. A character the code page cannot hold (𠮷, a surrogate
// pair) counts 2 as well, so it is accepted and kept exactly as typed.
int sjisCharLength(char32_t ucs4);
int sjisLength(const QString &s);
// Longest prefix of s within maxBytes bytes; never splits a double-byte
// character or a surrogate pair.
QString sjisCut(const QString &s, int maxBytes);

} // namespace text
