#include "TextRules.h"

namespace text {

bool isBlankChar(QChar c) { return c.unicode() <= 32; }

bool isBlank(const QString &s)
{
    for (QChar c : s)
        if (!isBlankChar(c))
            return false;
    return true;
}

QString trim(const QString &s) { return trimLeft(trimRight(s)); }

QString trimRight(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && isBlankChar(s.at(n - 1)))
        --n;
    return s.left(n);
}

QString trimLeft(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && isBlankChar(s.at(i)))
        ++i;
    return s.mid(i);
}

int sjisCharLength(char32_t u)
{
    if (u < 0x80)
        return 1;
    if (u >= 0xFF61 && u <= 0xFF9F) // half-width katakana
        return 1;
    return 2;
}

namespace {
// Length in UTF-16 units and code point of the character starting at i.
char32_t codePointAt(const QString &s, qsizetype i, int *units)
{
    const QChar c = s.at(i);
    if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, s.at(i + 1));
    }
    *units = 1;
    return c.unicode();
}
} // namespace

int sjisLength(const QString &s)
{
    int bytes = 0;
    for (qsizetype i = 0; i < s.size();) {
        int units = 1;
        bytes += sjisCharLength(codePointAt(s, i, &units));
        i += units;
    }
    return bytes;
}

QString sjisCut(const QString &s, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < s.size()) {
        int units = 1;
        const int len = sjisCharLength(codePointAt(s, i, &units));
        if (bytes + len > maxBytes)
            break;
        bytes += len;
        i += units;
    }
    return s.left(i);
}

} // namespace text
