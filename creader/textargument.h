// A macro argument that should be a string, as the compiler reads it:
// its macros expanded, then the string expression it comes to (literals,
// string constants, casts, statement expressions, conditions the compiler
// computes, functions declared to return their argument), literals joined
// after their escapes are decoded, as the device shows the C string.
#pragma once

#include "creader/pptoken.h"
#include "creader/stringliteral.h"

#include <QHash>
#include <QString>
#include <QStringView>

namespace VelkoMenuView {

class ConstantIndex;
struct UnitRecord;

// Arguments of string literals alone, by their characters: such an argument
// reads the same wherever it stands.
using LiteralTexts = QHash<QString, std::pair<QString, LiteralNotes>>;

struct TextLookup
{
    const UnitRecord *facts = nullptr; // the macros; none when null
    ConstantIndex *constants = nullptr; // string constants; none when null
    LiteralTexts *literals = nullptr; // texts read before; none when null
};

// Reads the tokens of `text` from `begin` to `end` as a text argument used at
// `use`, where its macros and constants are looked up. Returns an empty
// string, with notes->readable false, when they are not a text.
QString readTextArgument(QStringView text, qsizetype begin, qsizetype end, qsizetype use,
                         const TextLookup &context, LiteralNotes *notes = nullptr);
// The same for tokens as a macro's argument holds them.
QString readTextTokens(const PPTokens &tokens, qsizetype use, const TextLookup &context,
                       LiteralNotes *notes = nullptr);

} // namespace VelkoMenuView
