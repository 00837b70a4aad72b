// Item width estimate. The walk over the directives is the formatter's own,
// so that each directive meets the same fate here as on the screen.
#include "menuview/checks/widthestimate.h"

#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/formatwalk.h"
#include "menuview/analysis/itemformat.h"
#include "menuview/screen/devicetext.h"

#include <limits>

namespace VelkoMenuView {

namespace {

// As the formatter prints the directive with the values that are widest
// once narrowed to each type: the most negative of 8, 16, 32 and 64 bits
// (signed), all ones (unsigned).
qint64 widestInteger(const QByteArray &directive)
{
    qint64 widest = 0;
    for (const qint64 value : {qint64(0x80), qint64(0x8000), qint64(0x80000000),
                               std::numeric_limits<qint64>::min(), qint64(-1)})
        widest = qMax(widest, qint64(formatText(directive, {value}).size()));
    return widest;
}

qint64 widestReal(const FormatDirective &d, int realDigits)
{
    const qint64 precision = d.precision < 0 ? 6 : d.precision;
    const qint64 fraction = precision > 0 || d.alternate ? 1 + precision : 0;
    const qint64 size = 1 + realDigits + fraction;
    return qMin(qMax(size, d.width), DeviceScreen::FormatBytes);
}

} // namespace

ItemWidth estimateItemWidth(const QString &itemText, ParamInfo params, int realDigits)
{
    ItemWidth result;
    const int available = itemValueCount(params);
    QByteArray fixed;
    FormatWalk walk(itemText.toUtf8());
    FormatPiece piece;
    while (walk.next(piece)) {
        const QByteArray written(piece.begin, piece.size);
        if (piece.kind == FormatPiece::Kind::Text) {
            fixed.append(written);
            continue;
        }
        ItemConversion conversion;
        conversion.text = QString::fromUtf8(written);
        const FormatDirective &directive = piece.directive;
        conversion.valueIndex = piece.valueIndex;
        if (piece.kind == FormatPiece::Kind::Unfinished)
            conversion.reason = ItemConversion::Reason::Unfinished;
        else if (directive.conversion == '%')
            conversion.fate = ItemConversion::Fate::Percent;
        else if (piece.valueIndex < 0)
            conversion.reason = ItemConversion::Reason::Unsupported;
        else if (directive.usesStar)
            conversion.reason = ItemConversion::Reason::Star;
        else if (params.type == ParamType::None)
            conversion.reason = ItemConversion::Reason::NotAParameter;
        else if (valueKind(directive.conversion) != params.type)
            conversion.reason = ItemConversion::Reason::OtherKind;
        else if (conversion.valueIndex >= available)
            conversion.reason = ItemConversion::Reason::NoValueLeft;
        else if (params.type == ParamType::Integer
                 && conversion.valueIndex >= DeviceScreen::DialogParameters)
            conversion.fate = ItemConversion::Fate::AlwaysZero;
        else
            conversion.fate = ItemConversion::Fate::Value;

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
                        ? widestInteger(written)
                        : widestReal(directive, realDigits);
                result.widestValues += conversion.widest;
            }
            break;
        case ItemConversion::Fate::Percent:
            fixed.append('%');
            break;
        }
        result.conversions.append(conversion);
    }
    result.fixedCells = deviceCells(QString::fromUtf8(fixed));
    return result;
}

} // namespace VelkoMenuView
