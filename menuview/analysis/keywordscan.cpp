// One tight loop over the code between comments and literals. Identifiers are
// not read as a whole: a keyword can only start where an identifier starts,
// so only a keyword's first letter after a character that cannot be part of
// an identifier is looked at closely.
#include "menuview/analysis/keywordscan.h"

#include "menuview/analysis/cscanner.h"

namespace VelkoMenuView {

namespace {

enum Class : quint8 { Plain, Slash, Quote, Digit, Initial, Word };

struct Classes
{
    Class of[128] = {};
    constexpr Classes()
    {
        for (int c = 'a'; c <= 'z'; ++c)
            of[c] = Word;
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] = Word;
        set('_', Word);
        for (const char c : {'B', 'E', 'M'}) // BEGIN_, END_, MENU_ITEM
            set(c, Initial);
        for (int c = '0'; c <= '9'; ++c)
            of[c] = Digit;
        set('/', Slash);
        set('"', Quote);
        set('\'', Quote);
    }
    constexpr void set(char c, Class kind) { of[static_cast<unsigned char>(c)] = kind; }
};

constexpr Classes classes;

} // namespace

KeywordHit KeywordScan::next(qsizetype limit)
{
    const qsizetype size = m_text.size();
    const qsizetype stop = limit < 0 ? size : qMin(limit, size);
    const QChar *t = m_text.data();
    qsizetype p = m_pos;
    // Whether the character before p is part of an identifier.
    bool inWord = p > 0 && p <= size && isIdentifierPart(t[p - 1]);
    while (p < stop) {
        const char16_t c = t[p].unicode();
        if (c >= 128) {
            // Within an identifier a digit is part of it; elsewhere it starts
            // a number, whose letters are no keyword.
            if (!inWord && t[p].isDigit()) {
                p = numberEnd(m_text, p);
                inWord = false;
            } else {
                inWord = t[p].isLetterOrNumber();
                ++p;
            }
            continue;
        }
        switch (classes.of[c]) {
        case Plain:
            inWord = false;
            ++p;
            break;
        case Word:
            // The rest of the identifier in one go: digits and keyword
            // initials within it are plain letters.
            for (++p; p < stop && t[p].unicode() < 128 && classes.of[t[p].unicode()] >= Digit;)
                ++p;
            inWord = true;
            break;
        case Slash: {
            const qsizetype end = commentEnd(m_text, p);
            p = end == p ? p + 1 : end;
            inWord = false;
            break;
        }
        case Quote:
            p = literalEnd(m_text, p);
            inWord = false;
            break;
        case Digit:
            if (inWord) {
                ++p;
            } else {
                p = numberEnd(m_text, p);
                inWord = false;
            }
            break;
        case Initial: {
            if (inWord) {
                ++p;
                break;
            }
            const qsizetype begin = p;
            p = identifierEnd(m_text, p);
            inWord = false;
            const MenuKeyword keyword = menuKeyword(m_text.sliced(begin, p - begin));
            if (keyword != MenuKeyword::None) {
                m_pos = p;
                return {keyword, begin, p};
            }
            break;
        }
        }
    }
    m_pos = p;
    return {MenuKeyword::None, p, p};
}

} // namespace VelkoMenuView
