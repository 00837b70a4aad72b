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
    switch (valueKind(directive.conversion)) {
    case ParamType::Integer:
        if (type == QMetaType::ULongLong)
            printInteger(out, directive, qint64(value.toULongLong()));
        else if (type == QMetaType::Int || type == QMetaType::LongLong)
            printInteger(out, directive, value.toLongLong());
        else
            return false;
        return true;
    case ParamType::Real:
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

QVariantList readValues(ParamInfo info, const QStringList &stored)
{
    QVariantList values;
    for (int k = 0; k < itemValueCount(info); ++k) {
        const QString value = stored.value(k);
        if (info.type == ParamType::Integer)
            values.append(readInteger(value.trimmed()).value_or(0));
        else if (info.type == ParamType::Real)
            values.append(readReal(value));
        else
            values.append(value.toUtf8());
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

} // namespace

namespace VelkoMenuView {

ParamInfo itemParamInfo(const QString &itemText, QString *decidedBy)
{
    ParamInfo info {ParamType::None, 0};
    qsizetype start = -1; // the "%" of the conversion being read
    for (qsizetype j = 0; j < itemText.size(); ++j) {
        if (start < 0 && j + 1 < itemText.size() && itemText[j] == u'%' && itemText[j + 1] != u'%'
            && (j == 0 || itemText[j - 1] != u'%'))
            start = j;
        const ParamType type = start < 0 ? ParamType::None : valueKind(itemText[j].unicode());
        if (type == ParamType::None)
            continue;
        if (info.type == ParamType::None) {
            info.type = type;
            if (decidedBy)
                *decidedBy = itemText.mid(start, j - start + 1);
        }
        ++info.count;
        start = -1;
    }
    return info;
}

int itemValueCount(ParamInfo info)
{
    switch (info.type) {
    case ParamType::None:
        return 0;
    case ParamType::Integer:
        return qBound(0, int(info.count), DeviceScreen::MaxIntegers);
    case ParamType::Real:
        return qBound(0, int(info.count), DeviceScreen::MaxReals);
    case ParamType::String:
        return 1;
    }
    return 0;
}

} // namespace VelkoMenuView

void formatItems(MenuDefinition &menu, const MenuDefinition *formatted)
{
    menu.itemLines.clear();
    menu.itemParams.clear();
    for (qsizetype i = 0; i < menu.itemTexts.size(); ++i) {
        const QString &text = menu.itemTexts[i];
        const QStringList stored = menu.paramValues.value(i);
        if (formatted && i < formatted->itemLines.size() && i < formatted->itemParams.size()
            && formatted->itemTexts.value(i) == text && formatted->paramValues.value(i) == stored) {
            menu.itemLines.append(formatted->itemLines[i]);
            menu.itemParams.append(formatted->itemParams[i]);
            continue;
        }
        const ParamInfo info = itemParamInfo(text);
        const QString line = formatText(text.toUtf8(), readValues(info, stored));
        menu.itemLines.append(info.type == ParamType::String
                                      ? leftCharacters(line, DeviceScreen::StringLineLength)
                                      : line);
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
