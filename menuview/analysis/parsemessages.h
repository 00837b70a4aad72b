// Why a menu definition does not parse, in words: the same reasons, with
// the names quoted as written, for `check`, the language server and the pane.
#pragma once

#include "menuview/analysis/menublocks.h"

#include <QString>

#include "creader/linemap.h"

namespace VelkoMenuView {

// The words of the messages in one language; %-placeholders as in english().
struct ParseMessageTexts
{
    QString missingClosing; // %1 the opening call, %2 the closing keyword
    QString wrongClosing; // %1 the keyword found, %2 the opening call, %3 where, %4 the one needed
    QString noName; // %1 the opening keyword
    QString closingArguments; // %1 closing, %2 opening keyword, %3 name, %4 where
    QString nameMismatch; // %1 closing keyword, %2 its name, %3 opening keyword, %4 name, %5 where
    QString unclosedItem; // %1 the closing keyword
    QString strayClosing; // %1 the closing keyword, %2 its name, %3 the opening keyword it needs
    QString where; // " at %1:%2", the opening keyword's line and column
    QString other;

    static ParseMessageTexts english();
};

// The message for a block that failed to parse; it belongs at
// block.parse.errorOffset (the block's start when that is -1). `opening` is
// where the block's opening keyword stands, for the messages that name it.
QString parseErrorMessage(QStringView text, TextPosition opening, const MenuBlock &block,
                          const ParseMessageTexts &texts = ParseMessageTexts::english());

// The message for a closing macro, whose keyword is at `keyword`, that
// closes no menu.
QString strayClosingMessage(SourceReading &source, qsizetype keyword,
                            const ParseMessageTexts &texts = ParseMessageTexts::english());

// `text` as messages quote it: at most 40 characters, the last an ellipsis
// where it is cut.
QString shortened(const QString &text);

} // namespace VelkoMenuView
