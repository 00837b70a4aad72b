// Item line formatting: the conversion scan, value reading and the safe printf.
#include "menuview/analysis/itemformat.h"

#include "menuview/analysis/boundedoutput.h"
#include "menuview/analysis/formatdirective.h"
#include "menuview/analysis/printfconversions.h"

#include <cstring>

namespace {

constexpr int MaxIntegers = 8;
constexpr int MaxReals = 3;
constexpr int StringLineLength = 21;

bool isValueConversion(char c)
{
    switch (c) {
    case 'd':
    case 'D':
    case 'u':
    case 'U':
    case 'f':
    case 'F':
    case 's':
    case 'S':
        return true;
    default:
        return false;
    }
}

// Prints `value` for the conversion; false when it is not of the conversion's kind.
bool printValue(BoundedOutput &out, const FormatDirective &directive, const QVariant &value)
{
    const int type = value.typeId();
    switch (directive.conversion) {
    case 'd':
    case 'D':
    case 'u':
    case 'U':
        if (type != QMetaType::Int && type != QMetaType::LongLong)
            return false;
        printInteger(out, directive, value.toLongLong());
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

QVariantList readValues(ParamType type, const QStringList &stored)
{
    QVariantList values;
    switch (type) {
    case ParamType::None:
        break;
    case ParamType::Integer:
        for (int k = 0; k < MaxIntegers; ++k) {
            int value = 0;
            if (k < stored.size()) {
                bool ok = false;
                value = stored[k].trimmed().toInt(&ok, 10);
                if (!ok)
                    value = 0;
            }
            values.append(value);
        }
        break;
    case ParamType::Real:
        for (int k = 0; k < MaxReals; ++k) {
            double value = 0.0;
            if (k < stored.size()) {
                bool ok = false;
                value = stored[k].trimmed().replace(u',', u'.').toDouble(&ok);
                if (!ok)
                    value = 0.0;
            }
            values.append(value);
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
        return leftCharacters(formatText(format, values), StringLineLength);
    case ParamType::Real:
    case ParamType::Integer:
        return formatText(format, values.mid(0, info.count));
    }
    return QString();
}

} // namespace

void formatItems(MenuDefinition &menu)
{
    menu.itemLines.clear();
    menu.itemParams.clear();
    for (qsizetype i = 0; i < menu.itemTexts.size(); ++i) {
        const QString &text = menu.itemTexts[i];
        const ParamInfo info = scanConversions(text);
        const QStringList stored
                = i < menu.paramValues.size() ? menu.paramValues[i] : QStringList();
        menu.itemLines.append(formatLine(text, info, readValues(info.type, stored)));
        menu.itemParams.append(info);
    }
}

QString formatText(const QByteArray &format, const QVariantList &values)
{
    BoundedOutput out;
    const char *p = format.constData();
    const void *zero = std::memchr(p, 0, size_t(format.size()));
    const char *const end = zero ? static_cast<const char *>(zero) : p + format.size();
    qsizetype nextValue = 0;
    while (p < end && !out.isFull()) {
        if (*p != '%') {
            const void *percent = std::memchr(p, '%', size_t(end - p));
            const char *stop = percent ? static_cast<const char *>(percent) : end;
            out.append(p, stop - p);
            p = stop;
            continue;
        }
        const FormatDirective directive = parseFormatDirective(p, end);
        if (directive.size == 0) {
            out.append(p, end - p);
            break;
        }
        bool printed = false;
        if (directive.conversion == '%') {
            out.append('%');
            printed = true;
        } else if (isValueConversion(directive.conversion)) {
            const qsizetype index = nextValue++;
            printed = !directive.usesStar && index < values.size()
                    && printValue(out, directive, values[index]);
        }
        if (!printed)
            out.append(p, directive.size);
        p += directive.size;
    }
    return out.toString();
}
