// Literal and white-space scanning shared by the parser's passes.
#include "menuview/analysis/sourcescan.h"

#include <algorithm>

static bool isEscapedAt(QStringView text, qsizetype pos)
{
    return pos >= 1 && text[pos - 1] == u'\\' && !(pos >= 2 && text[pos - 2] == u'\\');
}

static qsizetype closingQuoteOf(QStringView text, qsizetype from, QChar quote)
{
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos < text.size(); ++pos) {
        if (text[pos] == quote && !isEscapedAt(text, pos))
            return pos;
    }
    return -1;
}

qsizetype closingQuote(QStringView text, qsizetype from)
{
    return closingQuoteOf(text, from, u'"');
}

qsizetype skipLiteral(QStringView text, qsizetype open)
{
    const QChar quote = text[open];
    for (qsizetype pos = open + 1; pos < text.size(); ++pos) {
        if (text[pos] == u'\n')
            return pos;
        if (text[pos] == quote && !isEscapedAt(text, pos))
            return pos + 1;
    }
    return text.size();
}

qsizetype skipWhiteSpace(QStringView text, qsizetype from)
{
    qsizetype pos = qMax<qsizetype>(from, 0);
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    return pos;
}

qsizetype nextLiteral(QStringView text, qsizetype from, QChar stop)
{
    for (qsizetype pos = qMax<qsizetype>(from, 0); pos < text.size(); ++pos) {
        if (text[pos] == u'"')
            return pos;
        if (text[pos] == stop)
            return -1;
    }
    return -1;
}

qsizetype lastIndexAtOrBefore(QStringView text, QLatin1StringView keyword, qsizetype from)
{
    const qsizetype n = keyword.size();
    if (from < 0 || n == 0 || n > text.size())
        return -1;
    // Reverse Horspool: when the window at `pos` fails, the next window that
    // can match puts the nearest later copy of text[pos] in the keyword on
    // it. A step smaller than that is merely slower, so the table may clamp.
    quint8 step[256];
    std::fill(step, step + 256, quint8(qMin<qsizetype>(n, 255)));
    for (qsizetype j = n - 1; j >= 1; --j)
        step[uchar(keyword[j].toLatin1())] = quint8(qMin<qsizetype>(j, 255));
    const QChar *t = text.data();
    for (qsizetype pos = qMin(from, text.size() - n); pos >= 0;) {
        qsizetype j = 0;
        while (j < n && t[pos + j] == keyword[j])
            ++j;
        if (j == n)
            return pos;
        const char16_t c = t[pos].unicode();
        pos -= c < 256 ? step[c] : n;
    }
    return -1;
}
