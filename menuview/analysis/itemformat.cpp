// Item line formatting: the conversion scan, value reading and the safe printf.
#include "menuview/analysis/itemformat.h"

#include "menuview/analysis/boundedoutput.h"
#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/formatwalk.h"
#include "menuview/analysis/printfconversions.h"

#include <locale.h>
#include <stdlib.h>

#include <optional>

namespace {

using namespace VelkoMenuView;

// Prints `value` for the conversion; false when it is not of the conversion's kind.
bool printValue(BoundedOutput &out, const FormatDirective &directive, const QVariant &value)
{
    const int type = value.typeId();
    switch (directive.conversion) {
    case 'd':
    case 'D':
    case 'u':
    case 'U':
        if (type == QMetaType::ULongLong)
            printInteger(out, directive, qint64(value.toULongLong()));
        else if (type == QMetaType::Int || type == QMetaType::LongLong)
            printInteger(out, directive, value.toLongLong());
        else
            return false;
        return true;
    case 'f':
    case 'F':
        if (type != QMetaType::Double)
            return false;
        printReal(out, directive, value.toDouble());
        return true;
    default:
        if (type == QMetaType::QByteArray)
            printString(out, directive, value.toByteArray());
        else if (type == QMetaType::QString)
            printString(out, directive, value.toString().toUtf8());
        else
            return false;
        return true;
    }
}

// The item's kind and number of parameters. A "%" starts a conversion
// unless it is part of "%%"; everything after it up to the next d, u, f
// or s (either case) is taken for flags, width, precision and length.
ParamInfo scanConversions(const QString &text)
{
    ParamInfo info {ParamType::None, 0};
    bool inConversion = false;
    for (qsizetype j = 0; j < text.size(); ++j) {
        const QChar c = text[j];
        if (!inConversion && j + 1 < text.size() && c == u'%' && text[j + 1] != u'%'
            && (j == 0 || text[j - 1] != u'%')) {
            inConversion = true;
        }
        if (!inConversion)
            continue;
        ParamType type = ParamType::None;
        switch (c.toLower().unicode()) {
        case u'd':
        case u'u':
            type = ParamType::Integer;
            break;
        case u'f':
            type = ParamType::Real;
            break;
        case u's':
            type = ParamType::String;
            break;
        default:
            continue;
        }
        inConversion = false;
        ++info.count;
        if (info.type == ParamType::None)
            info.type = type;
    }
    return info;
}

// A stored integer: an optional sign and decimal digits, nothing else. It is
// kept as the 64 bits that C's conversion to unsigned long long would give
// (-1 is all ones), so that every value from the smallest long long to the
// largest unsigned long long reaches printf as the firmware would pass it;
// the conversion's length modifier then narrows it. Longer numbers wrap the
// same way rather than turning into 0.
std::optional<qint64> readInteger(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.sliced(1);
    if (text.isEmpty())
        return std::nullopt;
    quint64 magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
    }
    return qint64(negative ? 0 - magnitude : magnitude);
}

// A stored real as the firmware's own strtod would read it, whatever the
// process's locale: the whole text or 0. Beyond the range of a double it is
// an infinity, and "inf", "nan" and hexadecimal reals read as C reads them.
double readReal(const QString &stored)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray text = stored.trimmed().replace(u',', u'.').toUtf8();
    if (text.isEmpty() || !cLocale)
        return 0.0;
    char *end = nullptr;
    const double value = strtod_l(text.constData(), &end, cLocale);
    return end == text.constData() + text.size() ? value : 0.0;
}

QVariantList readValues(ParamType type, const QStringList &stored)
{
    QVariantList values;
    switch (type) {
    case ParamType::None:
        break;
    case ParamType::Integer:
        for (int k = 0; k < DeviceScreen::MaxIntegers; ++k) {
            qint64 value = 0;
            if (k < stored.size())
                value = readInteger(stored[k].trimmed()).value_or(0);
            values.append(value);
        }
        break;
    case ParamType::Real:
        for (int k = 0; k < DeviceScreen::MaxReals; ++k) {
            values.append(k < stored.size() ? readReal(stored[k]) : 0.0);
        }
        break;
    case ParamType::String:
        values.append(stored.isEmpty() ? QByteArray() : stored.first().toUtf8());
        break;
    }
    return values;
}

// The first `count` characters, a surrogate pair counting as one.
QString leftCharacters(const QString &text, qsizetype count)
{
    qsizetype end = 0;
    for (qsizetype n = 0; n < count && end < text.size(); ++n) {
        const bool pair = text[end].isHighSurrogate() && end + 1 < text.size()
                && text[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

QString formatLine(const QString &text, ParamInfo info, const QVariantList &values)
{
    const QByteArray format = text.toUtf8();
    switch (info.type) {
    case ParamType::None:
        return formatText(format, {});
    case ParamType::String:
        return leftCharacters(formatText(format, values), DeviceScreen::StringLineLength);
    case ParamType::Real:
    case ParamType::Integer:
        return formatText(format, values.mid(0, info.count));
    }
    return QString();
}

} // namespace

void formatItems(MenuDefinition &menu, const MenuDefinition *formatted)
{
    menu.itemLines.clear();
    menu.itemParams.clear();
    for (qsizetype i = 0; i < menu.itemTexts.size(); ++i) {
        const QString &text = menu.itemTexts[i];
        const QStringList stored
                = i < menu.paramValues.size() ? menu.paramValues[i] : QStringList();
        if (formatted && i < formatted->itemLines.size() && i < formatted->itemParams.size()
            && formatted->itemTexts.value(i) == text && formatted->paramValues.value(i) == stored) {
            menu.itemLines.append(formatted->itemLines[i]);
            menu.itemParams.append(formatted->itemParams[i]);
            continue;
        }
        const ParamInfo info = scanConversions(text);
        menu.itemLines.append(formatLine(text, info, readValues(info.type, stored)));
        menu.itemParams.append(info);
    }
}

QString formatText(const QByteArray &format, const QVariantList &values)
{
    BoundedOutput out;
    FormatWalk walk(format);
    FormatPiece piece;
    while (!out.isFull() && walk.next(piece)) {
        const FormatDirective &d = piece.directive;
        if (piece.kind == FormatPiece::Kind::Directive && d.conversion == '%')
            out.append('%');
        else if (piece.kind != FormatPiece::Kind::Directive || piece.valueIndex < 0 || d.usesStar
                 || piece.valueIndex >= values.size()
                 || !printValue(out, d, values[piece.valueIndex]))
            out.append(piece.begin, piece.size); // plain text, or a directive shown as written
    }
    return out.toString();
}
