// Declarations are told from other uses of a name by the tokens around it:
// a type or "*" before it, then brackets and attributes, then "=".
#include "menuview/analysis/constantindex.h"

#include "menuview/analysis/bracketdepth.h"
#include "menuview/analysis/cscanner.h"
#include "menuview/analysis/readcount.h"
#include "menuview/analysis/sourcereader.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

// Words after which a name is assigned to, not declared.
bool endsNoDeclarator(QStringView word)
{
    static const QStringView words[]
            = {u"return", u"case", u"else", u"do", u"goto", u"sizeof", u"_Alignof", u"typeof"};
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

bool isAttribute(QStringView word)
{
    return word == u"__attribute__" || word == u"__attribute" || word == u"__asm__"
            || word == u"__asm" || word == u"asm" || word == u"__declspec";
}

// The next token of code: directives are passed over.
Token nextCode(CScanner &lexer)
{
    for (;;) {
        const Token token = lexer.next();
        if (!token.startsDirective())
            return token;
        lexer.skipLine();
    }
}

// Passes over tokens up to the one that closes the bracket just read.
bool skipBrackets(CScanner &lexer, QChar open, QChar close)
{
    BracketDepth depth(open, close);
    for (Token token = nextCode(lexer); token.kind != Token::Kind::End; token = nextCode(lexer)) {
        if (depth.closes(token))
            return true;
    }
    return false;
}

} // namespace

// The declaration whose name is at `at`, if that is one; *reach: how far
// the text was read to tell.
static ConstantIndex::Declaration declarationAt(QStringView text, const TextFacts *facts,
                                                qsizetype at, QStringView name, qsizetype *reach)
{
    // The token at `at` and the one before it, read from a line start in code.
    const qsizetype start = facts ? facts->lineStartBefore(at) : 0;
    CScanner lexer(text, start);
    lexer.setPosition(start, true);
    struct Reach
    {
        const CScanner &lexer;
        qsizetype *reach;
        ~Reach() { *reach = lexer.position() + 1; }
    } const told {lexer, reach};
    Token previous;
    Token token = nextCode(lexer);
    for (; token.kind != Token::Kind::End && token.begin < at; token = nextCode(lexer))
        previous = token;
    if (token.begin != at || token.kind != Token::Kind::Identifier
        || (token.spliced ? QStringView(lexer.spelling(token)) : lexer.textOf(token)) != name)
        return {};
    // The first token of its line: the one before stands on an earlier line.
    for (qsizetype lineStart = start; previous.kind == Token::Kind::End && lineStart > 0;) {
        lineStart = facts ? facts->lineStartBefore(lineStart - 1) : 0;
        CScanner back(text, lineStart);
        back.setPosition(lineStart, true);
        for (Token t = nextCode(back); t.kind != Token::Kind::End && t.begin < start;
             t = nextCode(back))
            previous = t;
        if (lineStart == 0)
            break;
    }
    const bool declarator = previous.kind == Token::Kind::Identifier
            ? !endsNoDeclarator(lexer.textOf(previous))
            : previous.is(u'*') || previous.is(u',') || previous.is(u')');
    if (!declarator)
        return {};

    // NAME [N] __attribute__((...)) = initializer
    for (token = nextCode(lexer);; token = nextCode(lexer)) {
        if (token.is(u'[')) {
            if (!skipBrackets(lexer, u'[', u']'))
                return {};
        } else if (token.kind == Token::Kind::Identifier && isAttribute(lexer.textOf(token))) {
            if (!nextCode(lexer).is(u'(') || !skipBrackets(lexer, u'(', u')'))
                return {};
        } else if (token.is(u'=')) {
            break;
        } else {
            return {};
        }
    }
    ConstantIndex::Declaration declaration;
    declaration.text = text;
    declaration.name = at;
    declaration.use = at;
    token = nextCode(lexer);
    const bool braced = token.is(u'{');
    if (braced)
        token = nextCode(lexer);
    declaration.initializer = token.begin;
    BracketDepth depth(braced ? u'{' : u'(', braced ? u'}' : u')');
    for (; token.kind != Token::Kind::End; token = nextCode(lexer)) {
        if (depth.closes(token) || (depth.outermost() && (token.is(u';') || token.is(u','))))
            break;
    }
    declaration.initializerEnd = token.begin;
    return declaration;
}

ConstantIndex::Declaration ConstantIndex::findIn(QStringView text, const TextFacts *facts,
                                                 Found &found, QStringView name,
                                                 qsizetype use) const
{
    use = qMin(use, text.size());
    const qsizetype searchedFrom = found.searchedTo;
    // Occurrences that end before `use`, each looked at once.
    for (qsizetype at = text.indexOf(name, found.searchedTo); at >= 0 && at + name.size() < use;
         at = text.indexOf(name, at + 1)) {
        const bool whole = (at == 0 || !isIdentifierPart(text[at - 1]))
                && !isIdentifierPart(text[at + name.size()]);
        // A declaration in a group the build leaves out declares nothing.
        if (whole && (!facts || facts->isCompiled(at))) {
            qsizetype reach = at;
            const Declaration declaration = declarationAt(text, facts, at, name, &reach);
            if (declaration.name >= 0)
                found.declarations.append(declaration);
            found.examined.append({at, reach});
        }
        found.searchedTo = at + 1;
    }
    countRead(use - name.size() - searchedFrom);
    found.searchedTo = qMax(found.searchedTo, use - name.size());
    const auto after = std::partition_point(
            found.declarations.cbegin(), found.declarations.cend(),
            [&](const Declaration &d) { return d.name + name.size() < use; });
    return after == found.declarations.cbegin() ? Declaration() : *(after - 1);
}

void ConstantIndex::truncate(qsizetype pos, QStringView text)
{
    for (Found &found : m_found) {
        // An occurrence told by text from `pos` on is looked at again.
        qsizetype from = qMin(found.searchedTo, pos);
        for (const auto &[at, reach] : std::as_const(found.examined)) {
            if (reach >= pos)
                from = qMin(from, at);
        }
        found.searchedTo = from;
        while (!found.examined.isEmpty() && found.examined.constLast().first >= from)
            found.examined.removeLast();
        while (!found.declarations.isEmpty() && found.declarations.constLast().name >= from)
            found.declarations.removeLast();
        for (Declaration &declaration : found.declarations)
            declaration.text = text;
    }
    // Headers read from `pos` on are gone with their facts.
    for (auto it = m_foundInHeaders.begin(); it != m_foundInHeaders.end();) {
        const auto kept = std::find_if(m_facts->includes.cbegin(), m_facts->includes.cend(),
                                       [&](const Inclusion &inclusion) {
                                           return inclusion.facts.data() == it.key().first;
                                       });
        it = kept == m_facts->includes.cend() ? m_foundInHeaders.erase(it) : std::next(it);
    }
    m_text = text;
}

ConstantIndex::Declaration ConstantIndex::find(QStringView name, qsizetype use)
{
    if (name.isEmpty())
        return {};
    const QString key = name.toString();
    const Declaration here = findIn(m_text, m_facts, m_found[key], name, use);
    if (here.name >= 0 || !m_facts)
        return here;
    // The headers included before the use, the last first.
    for (qsizetype i = m_facts->includes.size() - 1; i >= 0; --i) {
        const Inclusion &inclusion = m_facts->includes.at(i);
        if (inclusion.at >= use || !inclusion.text)
            continue;
        const QString &header = *inclusion.text;
        Declaration declaration
                = findIn(header, inclusion.facts.data(),
                         m_foundInHeaders[{inclusion.facts.data(), key}], name, header.size() + 1);
        if (declaration.name >= 0) {
            declaration.use = inclusion.at + 1;
            declaration.macroLimit = inclusion.facts->macrosBefore(declaration.name);
            return declaration;
        }
    }
    return {};
}

} // namespace VelkoMenuView
