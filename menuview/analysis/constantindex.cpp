// The lazily built index of constant definitions.
#include "menuview/analysis/constantindex.h"

namespace VelkoMenuView {

void ConstantIndex::indexUpTo(qsizetype before)
{
    // Tokens that end at or before `before` are final; one that crosses it is
    // read again by the next, longer request.
    while (m_indexedTo < before) {
        const qsizetype resume = m_scanner.position();
        const Token token = m_scanner.next();
        if (token.kind == Token::Kind::End || token.end > before) {
            m_scanner.setPosition(resume);
            m_indexedTo = before;
            return;
        }
        if (token.kind != Token::Kind::Identifier || token.end >= m_text.size())
            continue;
        const QChar after = m_text[token.end];
        if (!after.isSpace() && after != u'[')
            continue;
        Definitions &d = m_definitions[m_scanner.textOf(token)];
        if (d.first < 0)
            d.first = token.begin;
        else if (d.second < 0)
            d.second = token.begin;
    }
}

ConstantIndex::Definitions ConstantIndex::find(QStringView name, qsizetype before)
{
    before = qMin(before, m_text.size());
    indexUpTo(before);
    Definitions d = m_definitions.value(name);
    // Recorded by an earlier, longer request: only those before `before` count.
    const auto fits = [&](qsizetype at) { return at >= 0 && at + name.size() < before; };
    if (!fits(d.first))
        return {};
    if (!fits(d.second))
        d.second = -1;
    return d;
}

qsizetype ConstantIndex::literalAfter(qsizetype from, qsizetype before) const
{
    CScanner scanner(m_text.first(qMin(before, m_text.size())), from);
    for (Token token = scanner.next(); token.kind != Token::Kind::End; token = scanner.next()) {
        if (token.kind == Token::Kind::String)
            return token.begin;
    }
    return -1;
}

} // namespace VelkoMenuView
