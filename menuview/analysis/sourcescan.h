// Character-level helpers for reading literals as the item text rules do.
#pragma once

#include <QStringView>

// Position of the double quote that closes a string literal whose contents
// start at `from` (one past the opening quote), or -1 when the text ends
// first. A quote right after a backslash is escaped, unless that backslash
// itself follows a backslash. Longer runs of backslashes get no special
// care: only the two characters before a quote decide.
qsizetype closingQuote(QStringView text, qsizetype from);

// First position at or after `from` that is not white space (the size of the
// text when there is none).
qsizetype skipWhiteSpace(QStringView text, qsizetype from);

// First double quote at or after `from`, or -1 when there is none or `stop`
// comes first: the next of several adjacent literals.
qsizetype nextLiteral(QStringView text, qsizetype from, QChar stop);
