// Character-level helpers for scanning C source text: literal ends and white space.
#pragma once

#include <QLatin1StringView>
#include <QStringView>

// Position of the double quote that closes a string literal whose contents
// start at `from` (one past the opening quote), or -1 when the text ends
// first. A quote right after a backslash is escaped, unless that backslash
// itself follows a backslash. Longer runs of backslashes get no special
// care: only the two characters before a quote decide.
qsizetype closingQuote(QStringView text, qsizetype from);

// Position just past the C string or character literal whose opening quote
// (double quote or apostrophe) is at `open`: past its closing quote, or, as
// in C, at the line feed when the line ends first, or at the end of the text.
qsizetype skipLiteral(QStringView text, qsizetype open);

// First position at or after `from` that is not white space (the size of the
// text when there is none).
qsizetype skipWhiteSpace(QStringView text, qsizetype from);

// Start of the last occurrence of `keyword` (not empty) that starts at or
// before `from`, or -1 when there is none or `from` is negative. Answers as
// QStringView::lastIndexOf does for `from` up to the text's size, but skips
// back by up to the keyword's length at each step, so a keyword missing from
// a long text costs a fraction of one pass.
qsizetype lastIndexAtOrBefore(QStringView text, QLatin1StringView keyword, qsizetype from);

// First double quote at or after `from`, or -1 when there is none or `stop`
// comes first: the next of several adjacent literals.
qsizetype nextLiteral(QStringView text, qsizetype from, QChar stop);
