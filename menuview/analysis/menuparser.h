// Reads one menu definition (BEGIN_MENU ... MENU_ITEM ... END_MENU) from C
// source as the compiler reads it: keywords are identifiers of code, each
// macro's arguments end at the parenthesis that balances its own, and texts
// are what the compiler makes of literals, macros and string constants.
#pragma once

#include "creader/stringliteral.h"
#include "menuview/analysis/menudefinition.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {

struct SourceReading;

// Why a definition could not be read.
enum class ParseError {
    None,
    NoOpeningKeyword, // neither BEGIN_MENU nor BEGIN_EDITABLE_MENU
    NoClosingKeyword, // the matching END_MENU / END_EDITABLE_MENU is missing before the next menu
    NoNameParentheses, // the opening keyword is not followed by "(" and a ")" after it
    NoClosingArguments, // the closing keyword is not followed by "(", the name and ","
    NameMismatch, // the closing keyword names another menu
    UnclosedItem, // an item's argument list does not end before the closing keyword
    WrongClosingKeyword, // closed only by the other kind's keyword (END_EDITABLE_MENU for
                         // BEGIN_MENU)
};

struct ItemPosition
{
    qsizetype keyword = -1; // MENU_ITEM
    qsizetype open = -1; // its "("
    qsizetype close = -1; // the ")" that ends its arguments
    qsizetype textBegin = -1; // the first argument's tokens, as written
    qsizetype textEnd = -1;
    LiteralNotes notes;
    // What else the item says (its further arguments, a token apart): tells
    // items of one text apart.
    QString tag;
    // Written by a macro: the positions above are the invocation's (from its
    // name to its end), `macro` its name.
    QString macro;
};

// Where the parts of a definition stand, as offsets into the text parsed
// (-1 where a part is missing), and why it failed if it did.
struct MenuParse
{
    ParseError error = ParseError::None;
    qsizetype errorOffset = -1; // the keyword at fault; -1 for None and NoOpeningKeyword
    bool editable = false; // opened by BEGIN_EDITABLE_MENU
    qsizetype opening = -1; // the opening keyword
    qsizetype nameOpen = -1; // "(" and ")" around the name
    qsizetype nameClose = -1;
    qsizetype closing = -1; // the closing keyword
    qsizetype closingOpen = -1; // its "("
    qsizetype comma = -1; // the "," after the name, before the title
    qsizetype closingClose = -1; // the ")" that ends the closing macro; -1 when the text ends first
    qsizetype titleBegin = -1; // the title argument's tokens, as written
    qsizetype titleEnd = -1;
    // Where the definition ends: past the closing macro's ")", or where its
    // reading stopped (the next menu, the text's end).
    qsizetype end = -1;
    bool titleUnterminated = false; // the title's literal runs into the line's end
    LiteralNotes title;
    // The macros that wrote the opening and the closing keyword, when one
    // did; their positions are the invocations' then.
    QString openingMacro;
    QString closingMacro;
    QList<ItemPosition> items; // one per item text read

    QStringList itemTags() const
    {
        QStringList tags;
        tags.reserve(items.size());
        for (const ItemPosition &item : items)
            tags.append(item.tag);
        return tags;
    }
};

// The parse of the definition whose opening keyword is the first one at or
// after `start` of the text being read, filling name, title and itemTexts of
// menu (its own source and preamble are not read). Macros and constants are
// those in force where they are used; the text before `start` must have been
// read by `source`'s readers, as a walk over its menus does. `live`: whether
// `start` lies in code; a keyword found in a comment is read as if it were
// code, but what it reads is not recorded. `parse` receives the positions
// (offsets into the text), when given.
bool parseMenuAt(MenuDefinition &menu, SourceReading &source, qsizetype start,
                 MenuParse *parse = nullptr, bool live = true);

} // namespace VelkoMenuView

// Reads menu.source (the first opening keyword and what follows it) into
// name, title and itemTexts; texts may use macros and string constants
// defined in menu.preamble. Returns false when the text is not a well-formed
// definition, leaving the record partly filled. Never touches itemLines,
// itemParams or paramValues.
bool parseMenu(MenuDefinition &menu);

// The text of one item from its argument list: string literals, the macros
// and string constants of menu.preamble that stand for them, joined and
// decoded as the compiler decodes them, as the device shows the result.
// Returns an empty string when the argument is no text.
QString decodeLiteral(const MenuDefinition &menu, const QString &argument);

// True for a decimal digit (any script) and for a to f in either case.
bool isHexDigit(QChar c);
