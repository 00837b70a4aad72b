// Item lines: item texts formatted with their stored parameter values.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QByteArray>
#include <QString>
#include <QVariantList>

// Rebuilds itemLines and itemParams from itemTexts and paramValues, one entry
// per item text. The first d, u, f or s conversion (either case) decides the
// item's kind and the number of such conversions its count; the stored
// strings are read as that kind (0, 0.0 or empty when missing or unreadable,
// "," accepted as decimal point; integers as 64-bit numbers, which each
// conversion narrows to the type its length modifier names). A String item's line is cut to 21
// characters, the width of the screen. Lines of items whose text and values
// are those of the same item in `formatted` (a menu formatted before) are
// taken from it.
void formatItems(MenuDefinition &menu, const MenuDefinition *formatted = nullptr);

// printf without its dangers: the format (UTF-8) is read here and each
// conversion is fed only a value of its own kind. Output is cut to 127 bytes,
// as in the device's 128-byte buffer, then decoded from UTF-8.
//
// - d, u, f and s in either case take the next value in order, and honour
//   flags (- + space # 0), width, precision and length modifiers; %D, %U
//   and %S mean %d, %u and %s, %F prints "INF" and "NAN" in upper case.
//   Integers are int, qint64 or quint64 values, reals double, strings QByteArray
//   (UTF-8) or QString.
// - Such a conversion is shown as written, while still taking its value's
//   place, when no value is left, when the value is of another kind, or when
//   it asks for "*" as width or precision.
// - "%%" (with or without flags) prints "%".
// - Any other conversion (%i, %x, %c, %n, %p, ...) is shown as written and
//   takes no value; nothing is ever written through %n.
// - A "%" at the end, or a conversion the format ends in the middle of, is
//   shown as written.
// - As in C, the format ends at its first zero byte, and so does a string value.
QString formatText(const QByteArray &format, const QVariantList &values);

namespace VelkoMenuView {

// The item's kind and number of parameters, as formatItems reads them. A "%"
// starts a conversion unless it is part of "%%"; everything after it up to
// the next d, u, f or s (either case) is taken for flags, width, precision and
// length. `decidedBy` receives the conversion that decided the kind, from its
// "%" to that letter (empty when the item has no kind).
ParamInfo itemParamInfo(const QString &itemText, QString *decidedBy = nullptr);

// How many values formatItems gives an item of this kind and count.
int itemValueCount(ParamInfo info);

} // namespace VelkoMenuView
