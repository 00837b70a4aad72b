// Rendering one conversion into the bounded output. Padding and precision
// zeros are counted, never materialised, so "%999999999d" costs no more than "%9d".
#include "menuview/analysis/printfconversions.h"

#include <cmath>
#include <cstdio>

namespace VelkoMenuView {

namespace {

// Beyond this many decimals every digit of a double is zero, so larger
// precisions only append zeros.
constexpr int ExactDecimals = 1100;

struct Field
{
    char sign = 0;
    qint64 leadingZeros = 0;
    const char *body = nullptr;
    qsizetype bodySize = 0;
    qint64 trailingZeros = 0;
};

void printField(BoundedOutput &out, const FormatDirective &directive, const Field &field,
                bool zeroPadAllowed)
{
    const qint64 size
            = (field.sign ? 1 : 0) + field.leadingZeros + field.bodySize + field.trailingZeros;
    const qint64 padding = qMax<qint64>(directive.width - size, 0);
    const bool padWithZeros = !directive.leftAlign && directive.zeroPad && zeroPadAllowed;
    if (!directive.leftAlign && !padWithZeros)
        out.appendRepeated(' ', padding);
    if (field.sign)
        out.append(field.sign);
    out.appendRepeated('0', field.leadingZeros + (padWithZeros ? padding : 0));
    out.append(field.body, field.bodySize);
    out.appendRepeated('0', field.trailingZeros);
    if (directive.leftAlign)
        out.appendRepeated(' ', padding);
}

char signFor(bool negative, const FormatDirective &directive)
{
    if (negative)
        return '-';
    if (directive.plusSign)
        return '+';
    return directive.spaceSign ? ' ' : 0;
}

// The value as the C argument of the type the length modifier names.
qint64 narrowed(qint64 value, FormatDirective::Length length, bool isSigned)
{
    switch (length) {
    case FormatDirective::Length::Char:
        return isSigned ? qint64(qint8(value)) : qint64(quint8(value));
    case FormatDirective::Length::Short:
        return isSigned ? qint64(qint16(value)) : qint64(quint16(value));
    case FormatDirective::Length::Default:
        return isSigned ? qint64(qint32(value)) : qint64(quint32(value));
    default:
        return value;
    }
}

} // namespace

void printInteger(BoundedOutput &out, const FormatDirective &directive, qint64 value)
{
    const bool isSigned = directive.conversion == 'd' || directive.conversion == 'D';
    const qint64 v = narrowed(value, directive.length, isSigned);
    quint64 magnitude = isSigned && v < 0 ? 0 - quint64(v) : quint64(v);
    Field field;
    if (isSigned)
        field.sign = signFor(v < 0, directive);

    char digits[20];
    qsizetype count = 0;
    const bool omitted = directive.precision == 0 && magnitude == 0;
    while (!omitted && (count == 0 || magnitude != 0)) {
        digits[sizeof digits - 1 - count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    }
    field.body = digits + sizeof digits - count;
    field.bodySize = count;
    field.leadingZeros = qMax<qint64>(directive.precision - count, 0);
    printField(out, directive, field, directive.precision < 0);
}

void printReal(BoundedOutput &out, const FormatDirective &directive, double value)
{
    const qint64 precision = directive.precision < 0 ? 6 : directive.precision;
    const int shown = int(qMin<qint64>(precision, ExactDecimals));
    const bool finite = std::isfinite(value);

    static const char *const formats[2][2] = {{"%.*f", "%.*F"}, {"%#.*f", "%#.*F"}};
    const char *format = formats[directive.alternate][directive.conversion == 'F'];
    // Enough for the 309 integer digits of the largest double and all decimals.
    char body[ExactDecimals + 400];
    const int size = std::snprintf(body, sizeof body, format, shown, std::fabs(value));

    Field field;
    field.sign = signFor(std::signbit(value), directive);
    field.body = body;
    field.bodySize = qBound(qsizetype(0), qsizetype(size), qsizetype(sizeof body - 1));
    field.trailingZeros = finite ? precision - shown : 0;
    printField(out, directive, field, finite);
}

void printString(BoundedOutput &out, const FormatDirective &directive, QByteArrayView text)
{
    qsizetype size = qsizetype(qstrnlen(text.data(), size_t(text.size())));
    if (directive.precision >= 0)
        size = qMin<qsizetype>(size, directive.precision);
    Field field;
    field.body = text.data();
    field.bodySize = size;
    printField(out, directive, field, false);
}

} // namespace VelkoMenuView
