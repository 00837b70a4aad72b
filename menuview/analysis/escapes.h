// Decoding of C escape sequences in the joined text of an item's literals.
#pragma once

#include <QString>
#include <QStringList>

// Returns the text with its escapes decoded as the device's text tables
// expect, or an empty string for a malformed \x, \u or \U escape:
// - \a \b \f \n \r \t \v \e and \ followed by a single digit are dropped;
// - octal (two or three digits) and \x with two hex digits give one
//   character, dropped when it is a control character (below 32);
//   8 and 9 make an octal value 0; \x with one hex digit is dropped;
// - \u with four and \U with eight hex digits give the character when the
//   value is $, @, ` or 0xA0 and above (beyond U+FFFF as a surrogate pair, as
//   the compiler encodes it); a \U value beyond the signed 32-bit range counts
//   as 0, and one beyond U+10FFFF is malformed;
// - any other escaped character stands for itself; a final backslash stays.
// A decoded character is read again, so a decoded backslash escapes the
// character after it. The escapes dropped are appended to `dropped` as
// written ("\t", "\x01"), when given; *malformed tells a malformed escape
// from a text that decodes to nothing.
QString decodeEscapes(QString text, QStringList *dropped = nullptr, bool *malformed = nullptr);
