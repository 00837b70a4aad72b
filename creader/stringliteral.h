// The bytes a C string literal puts into the firmware, its escapes decoded as
// the compiler decodes them, and the text the device shows for such bytes.
#pragma once

#include "creader/cscanner.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {

// What the compiler and the device make of a text that a reader may not see
// at a glance.
struct LiteralNotes
{
    // Why no text can be read.
    enum class Unreadable : quint8 {
        No,
        Empty, // no tokens at all
        Escape, // an escape the compiler refuses
        Unterminated, // a literal that runs into its line's end
        NotText, // tokens that make no string: a number, a character
        Undefined, // a name that no macro or string constant stands for: `name`
        Prefixes, // literals of different prefixes (u8"a" L"b")
        TooLarge, // a macro expansion too deep or too long to follow
        Call, // a call of `name`, a function not declared to return its argument
        NotConstant, // `name` is a variable, not a constant the firmware cannot change
        Arithmetic, // pointer arithmetic
        Condition, // `? :` whose condition is no integer constant
        ExternOnly, // `name` is declared extern, and defined nowhere the reading sees
        Refused, // what the compiler refuses (a macro given too many arguments): `detail`
    };

    bool readable = true; // false when no text can be read (the text is then empty)
    Unreadable why = Unreadable::No;
    QString name; // the name at fault, for Undefined, Call, NotConstant and ExternOnly
    QString detail; // for Refused: the compiler's complaint
    // The first macro or constant used, when it is defined in the text read:
    // where its name stands, and a different definition of that macro that
    // it replaced, or -1.
    qsizetype definition = -1;
    QString definedName;
    qsizetype redefinition = -1;
    // Where what stopped the reading came from when it is not the argument
    // itself: the macro whose definition wrote it (empty for a constant's
    // initializer), and that definition's file and line.
    QString culpritMacro;
    QString culpritFile;
    qint64 culpritLine = 0;
    QStringList droppedEscapes; // control characters written as escapes ("\t", "\x01")
    QStringList outOfRange; // escapes whose value does not fit a character ("\x42ad")
    bool hiddenByZero = false; // a zero ends the string before the rest of its text
    bool wide = false; // u"", U"" or L"": the device reads their code units as bytes
    QStringList names; // the macros and string constants its reading went through
};

// Appends the code units of the string literal `token` of `text` (prefix,
// quotes, splices and all) as the compiler stores them in `encoding`: UTF-8
// for plain and u8 literals, little-endian units of 2 or 4 bytes otherwise.
// Returns false for an escape the compiler refuses (\x without a hex digit,
// a malformed or disallowed \u or \U).
bool appendLiteral(QStringView text, const Token &token, Token::Encoding encoding,
                   QByteArray *bytes, LiteralNotes *notes);

// The characters the device shows for a C string's bytes: up to the first
// zero byte, control bytes (below 0x20) dropped, read as UTF-8 with
// malformed sequences skipped.
QString deviceText(const QByteArray &bytes);

} // namespace VelkoMenuView
