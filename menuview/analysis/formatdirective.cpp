// Reading printf directives: flags, width, precision, length.
#include "menuview/analysis/formatdirective.h"

namespace VelkoMenuView {

namespace {

constexpr qint64 NumberLimit = 1'000'000'000;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A width or precision: digits saturating at NumberLimit, or "*".
qint64 readNumber(const char *&p, const char *end, bool *star)
{
    if (p < end && *p == '*') {
        ++p;
        *star = true;
        return 0;
    }
    qint64 value = 0;
    while (p < end && isDigit(*p)) {
        value = qMin(value * 10 + (*p - '0'), NumberLimit);
        ++p;
    }
    return value;
}

bool readFlag(char c, FormatDirective &directive)
{
    switch (c) {
    case '-':
        directive.leftAlign = true;
        return true;
    case '+':
        directive.plusSign = true;
        return true;
    case ' ':
        directive.spaceSign = true;
        return true;
    case '#':
        directive.alternate = true;
        return true;
    case '0':
        directive.zeroPad = true;
        return true;
    case '\'':
        return true; // digit grouping: nothing to group in the C locale
    default:
        return false;
    }
}

FormatDirective::Length readLength(const char *&p, const char *end)
{
    using Length = FormatDirective::Length;
    if (p == end)
        return Length::Default;
    const char c = *p;
    const bool doubled = p + 1 < end && p[1] == c;
    switch (c) {
    case 'h':
        p += doubled ? 2 : 1;
        return doubled ? Length::Char : Length::Short;
    case 'l':
        p += doubled ? 2 : 1;
        return doubled ? Length::LongLong : Length::Long;
    case 'q':
        ++p;
        return Length::LongLong;
    case 'j':
        ++p;
        return Length::IntMax;
    case 'z':
        ++p;
        return Length::Size;
    case 't':
        ++p;
        return Length::PtrDiff;
    case 'L':
        ++p;
        return Length::LongDouble;
    default:
        return Length::Default;
    }
}

} // namespace

FormatDirective parseFormatDirective(const char *begin, const char *end)
{
    FormatDirective directive;
    const char *p = begin + 1;
    const char *digits = p;
    while (digits < end && isDigit(*digits))
        ++digits;
    if (digits > p && digits < end && *digits == '$') {
        directive.positional = true;
        p = digits + 1;
    }
    while (p < end && readFlag(*p, directive))
        ++p;
    directive.width = readNumber(p, end, &directive.usesStar);
    if (p < end && *p == '.') {
        ++p;
        directive.precision = readNumber(p, end, &directive.usesStar);
    }
    directive.length = readLength(p, end);
    if (p < end) {
        directive.conversion = *p;
        directive.size = p + 1 - begin;
    }
    return directive;
}

} // namespace VelkoMenuView
