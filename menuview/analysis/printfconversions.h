// The value-taking printf conversions of item texts: d, u, f and s, in
// either case, with flags, width, precision and length modifiers.
#pragma once

#include "menuview/analysis/boundedoutput.h"
#include "menuview/analysis/formatdirective.h"

#include <QByteArrayView>

namespace VelkoMenuView {

// d or D: signed; u or U: unsigned. The value is first converted to the type
// the length modifier names, as the C argument would have been: hh and h
// narrow it, no modifier makes it 32-bit, l, ll, j, z and t keep 64 bits.
void printInteger(BoundedOutput &out, const FormatDirective &directive, qint64 value);

// f, or F for upper-case "INF" and "NAN". Length modifiers change nothing.
void printReal(BoundedOutput &out, const FormatDirective &directive, double value);

// s or S: the bytes up to the first zero byte, at most `precision` of them
// (which may cut a UTF-8 sequence, as on the device). Length modifiers change nothing.
void printString(BoundedOutput &out, const FormatDirective &directive, QByteArrayView text);

} // namespace VelkoMenuView
