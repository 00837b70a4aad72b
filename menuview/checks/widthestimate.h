// What the item line formatter makes of each printf directive of an item text,
// and how wide the line can get: the widest output each value conversion
// allows, reasoned from printf and from the formatter's own rules.
//
// Widest values, in characters:
// - d and u: the type the length modifier names, as the formatter converts
//   the value: hh 8 bits ("-128", "255"), h 16 ("-32768", "65535"), none 32
//   ("-2147483648", "4294967295"), l, ll, j, z and t 64 (20 characters
//   either way); a precision raises the digit count, a width the total.
// - f: a double can print 309 integer digits, which no screen row holds, so
//   the value is taken to have at most `realDigits` integer digits, plus a
//   sign, and a point with the precision's digits (6 by default; none for
//   ".0" without "#"); a width raises the total.
// - s: a string has no bound; the formatter cuts a string item's line to 21
//   characters.
// Nothing is wider than 127 characters: the device formats into 128 bytes.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QList>
#include <QString>

namespace VelkoMenuView {

struct ItemConversion
{
    enum class Fate {
        Value, // takes a value the parameter dialog enters
        AlwaysZero, // takes a value the dialog cannot reach, so always 0
        AsWritten, // printed as written, no value
        Percent, // "%%" and the like: prints "%"
    };
    enum class Reason {
        None,
        Unsupported, // a conversion letter other than d, u, f, s
        Star, // width or precision "*"
        Unfinished, // the text ends inside the directive
        NotAParameter, // a '%' right after another '%' does not start a parameter
        OtherKind, // the item's values are of another kind
        NoValueLeft, // the item has fewer values than conversions
    };

    QString text; // as written, "%5.2f"
    Fate fate = Fate::AsWritten;
    Reason reason = Reason::None;
    int valueIndex = -1; // among the conversions that take values, from 0
    qint64 widest = 0; // characters at most; -1 for a string value
};

struct ItemWidth
{
    QList<ItemConversion> conversions; // in text order
    int fixedCells = 0; // cells of everything but the values
    qint64 widestValues = 0; // sum of `widest` over the numeric values
    bool stringValue = false; // the item's string is printed somewhere
};

ItemWidth estimateItemWidth(const QString &itemText, ParamInfo params, int realDigits);

} // namespace VelkoMenuView
