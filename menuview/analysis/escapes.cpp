// Escape decoding in one pass: characters are compacted towards the front as
// they are read, so long texts full of escapes stay linear.
#include "menuview/analysis/escapes.h"

#include "menuview/analysis/menuparser.h"

#include <limits>

namespace {

bool isAllowedUnicode(quint32 value)
{
    return value == 0x24 || value == 0x40 || value == 0x60 || value >= 0xA0;
}

int hexValue(QChar c)
{
    if (c.isDigit())
        return c.digitValue();
    return c.toLower().unicode() - u'a' + 10;
}

// Number of hex digits starting at `from`, counting no further than `wanted`.
qsizetype hexDigitsAt(const QChar *text, qsizetype size, qsizetype from, qsizetype wanted)
{
    qsizetype count = 0;
    while (count < wanted && from + count < size && isHexDigit(text[from + count]))
        ++count;
    return count;
}

quint32 hexNumber(const QChar *digits, qsizetype count)
{
    quint32 value = 0;
    for (qsizetype i = 0; i < count; ++i)
        value = value << 4 | quint32(hexValue(digits[i]));
    return value;
}

// Octal value of the digits, or 0 when one of them is 8 or 9.
quint32 octalNumber(const QChar *digits, qsizetype count)
{
    quint32 value = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const int digit = digits[i].digitValue();
        if (digit > 7)
            return 0;
        value = value << 3 | quint32(digit);
    }
    return value;
}

} // namespace

QString decodeEscapes(QString text, QStringList *dropped, bool *malformed)
{
    if (malformed)
        *malformed = false;
    const auto fail = [&] {
        if (malformed)
            *malformed = true;
        return QString();
    };
    // The text as currently decoded is s[0, written) followed by s[read, size).
    const qsizetype size = text.size();
    QChar *s = text.data();
    qsizetype written = 0;
    qsizetype read = 0;

    // Replaces the escape of `length` characters at `read` by `c`, which is
    // then read again. Every such escape is at least three characters long,
    // so `c` never lands on text already written.
    const auto replaceBy = [&](qsizetype length, QChar c) {
        read += length - 1;
        s[read] = c;
    };
    const auto drop = [&](qsizetype length) {
        if (dropped)
            dropped->append(QString(s + read, length));
        read += length;
    };
    const auto replaceByPrintable = [&](qsizetype length, quint32 value) {
        if (value >= 32)
            replaceBy(length, QChar(char16_t(value)));
        else
            drop(length);
    };

    while (size - read > 1) {
        if (s[read] != u'\\') {
            s[written++] = s[read++];
            continue;
        }
        const QChar c = s[read + 1];
        switch (c.unicode()) {
        case u'a':
        case u'b':
        case u'f':
        case u'n':
        case u'r':
        case u't':
        case u'v':
        case u'e':
            drop(2);
            continue;
        case u'"':
        case u'\'':
        case u'?':
        case u'\\':
            s[written++] = c;
            read += 2;
            continue;
        default:
            break;
        }

        if (c.isDigit()) {
            qsizetype digits = 1;
            while (digits < 3 && read + 1 + digits < size && s[read + 1 + digits].isDigit())
                ++digits;
            if (digits == 1)
                drop(2);
            else
                replaceByPrintable(1 + digits, octalNumber(s + read + 1, digits));
        } else if (c == u'x') {
            const qsizetype digits = hexDigitsAt(s, size, read + 2, 2);
            if (digits == 0)
                return fail();
            if (digits == 1)
                drop(3);
            else
                replaceByPrintable(4, hexNumber(s + read + 2, 2));
        } else if (c == u'u' || c == u'U') {
            const qsizetype wanted = c == u'u' ? 4 : 8;
            if (hexDigitsAt(s, size, read + 2, wanted) < wanted)
                return fail();
            quint32 value = hexNumber(s + read + 2, wanted);
            if (value > quint32(std::numeric_limits<qint32>::max()))
                value = 0;
            if (!isAllowedUnicode(value) || value > 0x10FFFF)
                return fail();
            if (value <= 0xFFFF) {
                replaceBy(2 + wanted, QChar(char16_t(value)));
            } else {
                // Both units land on the escape's last two characters; the
                // high one is read again like any decoded character.
                read += wanted;
                s[read] = QChar::highSurrogate(value);
                s[read + 1] = QChar::lowSurrogate(value);
            }
        } else {
            s[written++] = c;
            read += 2;
        }
    }
    while (read < size)
        s[written++] = s[read++];
    text.truncate(written);
    return text;
}
