// Reads one menu definition (BEGIN_MENU ... MENU_ITEM ... END_MENU) from C
// source, as the compiler sees it: keywords count only as whole identifiers
// outside comments and literals.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace VelkoMenuView {
class ConstantIndex;
}

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

// What the compiler would take from an item's or a title's argument.
struct LiteralNotes
{
    bool readable = true; // false when no text can be read (the text is then empty)
    qsizetype definition = -1; // where the named constant used is defined, -1 for a literal
    qsizetype redefinition = -1; // a later definition of that name before the menu, or -1
    QStringList droppedEscapes; // control characters written as escapes ("\t", "\x01")
};

struct ItemPosition
{
    qsizetype keyword = -1; // MENU_ITEM
    qsizetype open = -1; // its "("
    qsizetype close = -1; // the ")" that ends its arguments
    LiteralNotes notes;
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
    bool titleUnterminated = false; // the title's literal runs into the line's end
    LiteralNotes title;
    QList<ItemPosition> items; // one per item text read
};

// Reads menu.source (the first opening keyword and what follows it) into
// name, title and itemTexts; item texts and the title may name a string
// constant defined in menu.preamble. Returns false when the text is not a
// well-formed definition, leaving the record partly filled. Never touches
// itemLines, itemParams or paramValues.
bool parseMenu(MenuDefinition &menu);

// As above, and reports the reason in *error and the position in menu.source
// of the keyword at fault in *errorOffset (see MenuParse). Either pointer may
// be null.
bool parseMenu(MenuDefinition &menu, ParseError *error, qsizetype *errorOffset);

// The same parse of the definition whose opening keyword is the first one at
// or after `start` of `text`, filling name, title and itemTexts of menu (its
// own source and preamble are not read). Named constants are looked up in
// `constants` before `preambleEnd`: over the same text, preambleEnd is the
// start. `parse` receives the positions (offsets into `text`), when given.
bool parseMenuAt(MenuDefinition &menu, QStringView text, qsizetype start,
                 VelkoMenuView::ConstantIndex &constants, qsizetype preambleEnd,
                 MenuParse *parse = nullptr);

// The text of one item from its argument list: a string literal, adjacent
// literals (anything up to the next literal is skipped, up to a ","), or the
// name of a constant defined in menu.preamble ("NAME" followed by white space
// or "[" outside comments and literals, the first such definition, then one or
// more literals separated by white space). Escapes are decoded. Returns an
// empty string when the argument cannot be read.
QString decodeLiteral(const MenuDefinition &menu, const QString &argument);
QString decodeLiteral(QStringView preamble, QStringView argument);

// The same, with what the reading noticed; constants are looked up before
// `preambleEnd` in the index.
QString readLiteral(QStringView argument, VelkoMenuView::ConstantIndex &constants,
                    qsizetype preambleEnd, LiteralNotes *notes = nullptr);

// True for a decimal digit (any script) and for a to f in either case.
bool isHexDigit(QChar c);
