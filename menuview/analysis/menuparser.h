// Reads one menu definition (BEGIN_MENU ... MENU_ITEM ... END_MENU) from C source.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QChar>
#include <QString>
#include <QStringView>

// Why a definition could not be read.
enum class ParseError {
    None,
    NoOpeningKeyword, // neither BEGIN_MENU nor BEGIN_EDITABLE_MENU
    NoClosingKeyword, // the matching END_MENU / END_EDITABLE_MENU is missing
    NoNameParentheses, // no "(" and ")" around the name after the opening keyword
    NoClosingArguments, // no "(" and "," after the closing keyword
    NameMismatch, // the closing keyword names another menu
    UnclosedItem, // an item's argument list does not end before the closing keyword
};

// Reads menu.source (the first opening keyword and what follows it) into
// name, title and itemTexts; item texts that name a string constant are
// looked up in menu.preamble. Returns false when the text is not a well-formed
// definition, leaving the record partly filled. Never touches itemLines,
// itemParams or paramValues.
//
// Item keywords inside comments are skipped. String and character literals
// in an item's arguments may hold parentheses and comment markers.
bool parseMenu(MenuDefinition &menu);

// As above, and reports the reason in *error and the position in menu.source
// of the keyword at fault in *errorOffset: the opening keyword for
// NoClosingKeyword and NoNameParentheses, the closing keyword for
// NoClosingArguments and NameMismatch, the item's MENU_ITEM for UnclosedItem,
// and -1 for None and NoOpeningKeyword. Either pointer may be null.
bool parseMenu(MenuDefinition &menu, ParseError *error, qsizetype *errorOffset);

// The same parse over views into a larger text, filling name, title and
// itemTexts of menu (its own source and preamble are not read): a walk over
// every block of a document parses each in place instead of copying its tail.
bool parseMenuText(MenuDefinition &menu, QStringView preamble, QStringView source,
                   ParseError *error = nullptr, qsizetype *errorOffset = nullptr);

// The text of one item from its argument list: a string literal, adjacent
// literals (anything up to the next literal is skipped, up to a ","), or the
// name of a constant defined in menu.preamble ("NAME" followed by white space
// or "[", then one or more literals separated by white space). Escapes are
// decoded. Returns an empty string when the argument cannot be read.
QString decodeLiteral(const MenuDefinition &menu, const QString &argument);
QString decodeLiteral(QStringView preamble, QStringView argument);

// True for a decimal digit (any script) and for a to f in either case.
bool isHexDigit(QChar c);
