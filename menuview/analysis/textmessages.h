// Why the text of an item or a title cannot be read, in words that put the
// limit where it is, in the preview: the same reasons for `check`,
// `render`, the language server's hover and the pane's status line, each
// in its own words and with its own way to declare a text function.
#pragma once

#include "creader/stringliteral.h"
#include "menuview/analysis/menublocks.h"

#include <QString>

#include <functional>

namespace VelkoMenuView {

struct TextMessageTexts
{
    QString cannotRead; // %1 "item" or "title", %2 the reason, %3 what is shown instead
    QString item;
    QString title;
    QString emptyLine;
    QString noTitle;
    QString escape;
    QString unterminated;
    QString notText;
    QString undefined; // %1 the name
    QString prefixes;
    QString tooLarge;
    QString call; // %1 the function, %2 how to declare it
    QString notConstant; // %1 the name
    QString arithmetic;
    QString condition;
    QString externOnly; // %1 the name
    QString refused; // %1 the compiler's words
    QString fromMacro; // %1 the macro, %2 its file, %3 its line
    QString fromPlace; // %1 file, %2 line
    QString declareTextFunction; // %1 the function
    QString missingHeaders; // %1 the headers not found, with their lines

    static TextMessageTexts english();
};

// A text of a menu that cannot be read: where, and why.
struct TextFinding
{
    qsizetype begin = -1; // the item (its keyword to its ")") or the title argument
    qsizetype end = -1;
    QString message;
};

// Those of a parsed block, title first, then the items in order. `lineOf`
// gives the line of an offset of the text, for the headers not found.
QList<TextFinding> unreadableTexts(const MenuBlock &block, const UnitRecord &facts,
                                   const TextMessageTexts &texts,
                                   const std::function<int(qsizetype)> &lineOf);

} // namespace VelkoMenuView
