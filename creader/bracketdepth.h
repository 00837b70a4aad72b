// Where a parenthesis, bracket or brace closes, over tokens: the one bracket
// walk of the reader. Literals and comments never count, being tokens and
// space already.
#pragma once

#include "creader/cscanner.h"

namespace VelkoMenuView {

class BracketDepth
{
public:
    // Counts `open` and `close`; a macro's arguments nest only in parentheses.
    explicit BracketDepth(QChar open = u'(', QChar close = u')')
        : m_open(open)
        , m_close(close)
    { }

    // Takes the next token after the opening one; true for the token that
    // closes it.
    bool closes(const Token &token)
    {
        if (token.is(m_open)) {
            ++m_depth;
        } else if (token.is(m_close)) {
            if (m_depth == 0)
                return true;
            --m_depth;
        }
        return false;
    }
    // Whether the last token taken stands outside any nested pair.
    bool outermost() const { return m_depth == 0; }

private:
    QChar m_open;
    QChar m_close;
    int m_depth = 0;
};

} // namespace VelkoMenuView
