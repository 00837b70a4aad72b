// A macro's argument list as the preprocessor splits it: from the "("
// after its name to the ")" that balances it, at commas outside nested
// parentheses.
#pragma once

#include "creader/pptoken.h"
#include "creader/sourcereader.h"

#include <QList>
#include <functional>

namespace VelkoMenuView {

struct MacroArguments
{
    struct Range
    {
        qsizetype begin = -1; // the argument's first token; empty at the place it would be
        qsizetype end = -1;
        bool unterminated = false; // a literal in it runs into its line's end
        bool directives = false; // a directive stands within it
        PPTokens tokens; // its tokens as the compiler has them: groups not compiled left out
    };

    qsizetype open = -1; // "("; -1 when the keyword is not followed by one
    qsizetype close = -1; // the ")" that balances it; -1 when reading stopped first
    qsizetype stop = -1; // where reading stopped without one
    QList<Range> list; // one at least once "(" is read
    QList<qsizetype> commas;
};

// Reads the list that should follow where `reader` stands; `stops` tells
// which tokens end the reading when they come before the balancing ")".
MacroArguments readMacroArguments(SourceReader &reader,
                                  const std::function<bool(const Token &)> &stops);

} // namespace VelkoMenuView
