// Reading a definition once: parameters by name, "#" and "##" folded into
// the parts they act on, as the expansion wants them.
#include "creader/macroshape.h"

#include "creader/macrotable.h"

namespace VelkoMenuView {

MacroShape MacroShape::read(const MacroDefinition &definition)
{
    MacroShape shape;
    if (definition.kind == MacroDefinition::Kind::Undefined || definition.body < 0) {
        shape.valid = false;
        return shape;
    }
    CScanner lexer(definition.source, definition.body);
    lexer.setPosition(definition.body, false);
    lexer.setDirective(true);
    Token token = lexer.next();
    const auto atEnd = [&] { return token.kind == Token::Kind::End || token.atLineStart; };
    if (definition.kind == MacroDefinition::Kind::Function) {
        shape.functionLike = true;
        // "(" then names apart by commas, "..." or "name..." last, ")".
        token = lexer.next();
        bool expectName = true;
        for (;;) {
            if (atEnd())
                return shape.valid = false, shape;
            if (token.is(u')') && (expectName ? shape.parameters.isEmpty() : true))
                break;
            if (!expectName) {
                if (!token.is(u','))
                    return shape.valid = false, shape;
                expectName = true;
            } else if (token.is(punctuator("..."))) {
                shape.parameters << QStringLiteral("__VA_ARGS__");
                shape.variadic = true;
                token = lexer.next();
                if (!token.is(u')'))
                    return shape.valid = false, shape;
                break;
            } else if (token.kind == Token::Kind::Identifier) {
                const QString name = lexer.spelling(token);
                if (shape.parameters.contains(name) || name == u"__VA_ARGS__")
                    return shape.valid = false, shape;
                shape.parameters << name;
                expectName = false;
                token = lexer.next();
                if (token.is(punctuator("..."))) {
                    shape.variadic = true;
                    token = lexer.next();
                    if (!token.is(u')'))
                        return shape.valid = false, shape;
                    break;
                }
                continue;
            } else {
                return shape.valid = false, shape;
            }
            token = lexer.next();
        }
        token = lexer.next();
    }
    bool stringifyNext = false;
    QList<qsizetype> vaoptOpen; // the __VA_OPT__ parts whose ")" is awaited
    QList<int> vaoptDepth;
    int depth = 0;
    for (; !atEnd(); token = lexer.next()) {
        if (shape.functionLike && token.is(u'#') && !stringifyNext) {
            stringifyNext = true;
            continue;
        }
        if (token.is(punctuator("##"))) {
            if (shape.body.isEmpty() || stringifyNext)
                return shape.valid = false, shape;
            shape.body.last().pasteLeft = true;
            continue;
        }
        Part part;
        part.token = token;
        if (token.kind == Token::Kind::Identifier && shape.functionLike) {
            const QString name = lexer.spelling(token);
            part.parameter = qint16(shape.parameters.indexOf(name));
            if (name == u"__VA_OPT__" && shape.variadic) {
                part.parameter = -1;
                vaoptOpen.append(shape.body.size());
                vaoptDepth.append(depth);
            } else if (name == u"__VA_ARGS__" && !shape.variadic) {
                return shape.valid = false, shape;
            }
        }
        if (token.is(u'(')) {
            ++depth;
        } else if (token.is(u')')) {
            --depth;
            if (!vaoptOpen.isEmpty() && depth == vaoptDepth.constLast()) {
                shape.body[vaoptOpen.takeLast()].vaoptClose = qint32(shape.body.size());
                vaoptDepth.removeLast();
            }
        }
        if (stringifyNext) {
            const bool vaopt = !vaoptOpen.isEmpty() && vaoptOpen.constLast() == shape.body.size();
            if (part.parameter < 0 && !vaopt)
                return shape.valid = false, shape;
            part.stringify = true;
            stringifyNext = false;
        }
        shape.body.append(part);
    }
    // "#" or "##" last, or a __VA_OPT__ without its parenthesised tokens.
    if (stringifyNext || (!shape.body.isEmpty() && shape.body.constLast().pasteLeft)
        || !vaoptOpen.isEmpty())
        return shape.valid = false, shape;
    for (qsizetype i = 0; i < shape.body.size(); ++i) {
        const Part &part = shape.body.at(i);
        if (part.vaoptClose >= 0
            && (part.vaoptClose < i + 1 || !shape.body.at(i + 1).token.is(u'(')))
            return shape.valid = false, shape;
    }
    return shape;
}

bool MacroShape::same(const MacroDefinition &a, const MacroDefinition &b)
{
    if (a.kind != b.kind)
        return false;
    const MacroShape x = read(a);
    const MacroShape y = read(b);
    if (x.valid != y.valid || x.functionLike != y.functionLike || x.variadic != y.variadic
        || x.parameters != y.parameters || x.body.size() != y.body.size())
        return false;
    const CScanner lexerA(a.source);
    const CScanner lexerB(b.source);
    for (qsizetype i = 0; i < x.body.size(); ++i) {
        const Part &p = x.body.at(i);
        const Part &q = y.body.at(i);
        // White space before the first token does not count.
        if ((i > 0 && p.token.spaceBefore != q.token.spaceBefore) || p.stringify != q.stringify
            || p.pasteLeft != q.pasteLeft || lexerA.spelling(p.token) != lexerB.spelling(q.token))
            return false;
    }
    return true;
}

} // namespace VelkoMenuView
