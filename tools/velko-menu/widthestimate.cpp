// Item width estimate. The walk over the directives follows formatText step
// by step, so that each directive meets the same fate here as on the screen.
#include "widthestimate.h"

#include "devicecells.h"
#include "menuview/analysis/boundedoutput.h"
#include "menuview/analysis/formatdirective.h"
#include "menuview/analysis/itemformat.h"

#include <cstring>

namespace {

using Length = FormatDirective::Length;

bool isValueLetter(char c)
{
    return std::strchr("dDuUfFsS", c) != nullptr && c != 0;
}

bool fitsKind(char letter, ParamType type)
{
    switch (type) {
    case ParamType::Integer:
        return std::strchr("dDuU", letter) != nullptr;
    case ParamType::Real:
        return letter == 'f' || letter == 'F';
    case ParamType::String:
        return letter == 's' || letter == 'S';
    case ParamType::None:
        break;
    }
    return false;
}

qint64 widestInteger(const FormatDirective &d)
{
    const bool isSigned = d.conversion == 'd' || d.conversion == 'D';
    qint64 digits = 0;
    switch (d.length) {
    case Length::Char:
        digits = 3;
        break;
    case Length::Short:
        digits = 5;
        break;
    case Length::Default:
        digits = 10;
        break;
    default:
        digits = isSigned ? 19 : 20;
        break;
    }
    const qint64 size = qMax(digits, d.precision) + (isSigned ? 1 : 0);
    return qMin(qMax(size, d.width), BoundedOutput::Capacity);
}

qint64 widestReal(const FormatDirective &d, int realDigits)
{
    const qint64 precision = d.precision < 0 ? 6 : d.precision;
    const qint64 fraction = precision > 0 || d.alternate ? 1 + precision : 0;
    const qint64 size = 1 + realDigits + fraction;
    return qMin(qMax(size, d.width), BoundedOutput::Capacity);
}

} // namespace

int valueCount(ParamInfo params)
{
    switch (params.type) {
    case ParamType::None:
        return 0;
    case ParamType::Integer:
        return qBound(0, int(params.count), 8);
    case ParamType::Real:
        return qBound(0, int(params.count), 3);
    case ParamType::String:
        return 1;
    }
    return 0;
}

ItemWidth estimateItemWidth(const QString &itemText, ParamInfo params, int realDigits)
{
    ItemWidth result;
    const QByteArray format = itemText.toUtf8();
    const char *p = format.constData();
    const void *zero = std::memchr(p, 0, size_t(format.size()));
    const char *const end = zero ? static_cast<const char *>(zero) : p + format.size();
    const int available = valueCount(params);
    QByteArray fixed;
    int nextValue = 0;
    while (p < end) {
        if (*p != '%') {
            const void *percent = std::memchr(p, '%', size_t(end - p));
            const char *stop = percent ? static_cast<const char *>(percent) : end;
            fixed.append(p, stop - p);
            p = stop;
            continue;
        }
        const FormatDirective directive = parseFormatDirective(p, end);
        ItemConversion conversion;
        if (directive.size == 0) {
            conversion.text = QString::fromUtf8(p, end - p);
            conversion.reason = ItemConversion::Reason::Unfinished;
            fixed.append(p, end - p);
            result.conversions.append(conversion);
            break;
        }
        const QByteArray written(p, directive.size);
        conversion.text = QString::fromUtf8(written);
        conversion.letter = directive.conversion;
        if (directive.conversion == '%') {
            conversion.fate = ItemConversion::Fate::Percent;
            fixed.append('%');
        } else if (!isValueLetter(directive.conversion)) {
            conversion.reason = ItemConversion::Reason::Unsupported;
        } else {
            conversion.valueIndex = nextValue++;
            if (directive.usesStar)
                conversion.reason = ItemConversion::Reason::Star;
            else if (params.type == ParamType::None)
                conversion.reason = ItemConversion::Reason::NotAParameter;
            else if (!fitsKind(directive.conversion, params.type))
                conversion.reason = ItemConversion::Reason::OtherKind;
            else if (conversion.valueIndex >= available)
                conversion.reason = ItemConversion::Reason::NoValueLeft;
            else if (params.type == ParamType::Integer && conversion.valueIndex >= 3)
                conversion.fate = ItemConversion::Fate::AlwaysZero;
            else
                conversion.fate = ItemConversion::Fate::Value;
        }
        switch (conversion.fate) {
        case ItemConversion::Fate::AsWritten:
            fixed.append(written);
            break;
        case ItemConversion::Fate::AlwaysZero:
            fixed.append(formatText(written, {0}).toUtf8());
            break;
        case ItemConversion::Fate::Value:
            if (params.type == ParamType::String) {
                conversion.widest = -1;
                result.stringValue = true;
            } else {
                conversion.widest = params.type == ParamType::Integer
                        ? widestInteger(directive)
                        : widestReal(directive, realDigits);
                result.widestValues += conversion.widest;
            }
            break;
        case ItemConversion::Fate::Percent:
            break;
        }
        result.conversions.append(conversion);
        p += directive.size;
    }
    result.fixedCells = deviceCells(QString::fromUtf8(fixed));
    return result;
}

QString kindDecidedBy(const QString &itemText)
{
    qsizetype start = -1;
    for (qsizetype j = 0; j < itemText.size(); ++j) {
        const QChar c = itemText[j];
        if (start < 0 && j + 1 < itemText.size() && c == u'%' && itemText[j + 1] != u'%'
            && (j == 0 || itemText[j - 1] != u'%'))
            start = j;
        if (start < 0)
            continue;
        switch (c.toLower().unicode()) {
        case u'd':
        case u'u':
        case u'f':
        case u's':
            return itemText.mid(start, j - start + 1);
        default:
            break;
        }
    }
    return QString();
}
