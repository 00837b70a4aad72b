// One printf directive ("%-5.2lf") as written in an item text.
#pragma once

#include <QtGlobal>

namespace VelkoMenuView {

struct FormatDirective
{
    enum class Length { Default, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

    qsizetype size = 0; // bytes from "%" through the conversion letter; 0 when the text ends first
    bool leftAlign = false; // -
    bool plusSign = false; // +
    bool spaceSign = false; // space
    bool alternate = false; // #
    bool zeroPad = false; // 0
    bool usesStar = false; // a width or precision taken from the arguments
    bool positional = false; // "%1$d": names its argument, which item values cannot
    qint64 width = 0; // saturates far beyond any line
    qint64 precision = -1; // -1 when not given
    Length length = Length::Default;
    char conversion = 0;
};

// Reads the directive starting at the "%" at `begin`; never reads at or
// past `end`.
FormatDirective parseFormatDirective(const char *begin, const char *end);

} // namespace VelkoMenuView
