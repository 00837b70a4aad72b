// Declarations are told from other uses of a name by the tokens around it:
// a type or "*" before it, then brackets and attributes, then "=".
#include "creader/constantindex.h"

#include "creader/bracketdepth.h"
#include "creader/cscanner.h"
#include "creader/macroexpander.h"
#include "creader/readcount.h"
#include "creader/sourcereader.h"

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

// The code tokens of a text as the expander's source: directives passed over.
class CodeTokens : public MacroExpander::Source
{
public:
    explicit CodeTokens(CScanner &lexer)
        : m_lexer(lexer)
    { }
    PPToken next() override { return PPToken::written(m_lexer.text(), nextCode(m_lexer)); }

private:
    CScanner &m_lexer;
};

// Passes over expanded tokens up to the one that closes the bracket just read.
bool skipExpanded(MacroExpander &expander, QChar open, QChar close)
{
    int depth = 0;
    for (PPToken token = expander.next(); !token.isEnd(); token = expander.next()) {
        if (token.is(open)) {
            ++depth;
        } else if (token.is(close)) {
            if (depth == 0)
                return true;
            --depth;
        }
    }
    return false;
}

bool isKeyword(const PPToken &token, QStringView word)
{
    QString scratch;
    return token.isIdentifier() && token.spelling(&scratch) == word;
}

// The declaration whose name is at `at`, if that is one; *reach: how far
// the text was read to tell. `environment` gives the macros at a place.
ConstantIndex::Declaration
declarationAt(QStringView text, const TextRecord *facts, qsizetype at, QStringView name,
              qsizetype *reach,
              const std::function<MacroExpander::Environment(qsizetype)> &environment)
{
    // The tokens of the declaration before the name, read from a line start
    // in code; from an earlier one while no ";", "{" or "}" starts it.
    qsizetype start = facts->lineStartBefore(at);
    CScanner lexer(text, start);
    Token token;
    QList<Token> before;
    for (int tries = 0;; ++tries) {
        lexer.setPosition(start, true);
        before.clear();
        bool bounded = false;
        for (token = nextCode(lexer); token.kind != Token::Kind::End && token.begin < at;
             token = nextCode(lexer)) {
            if (token.is(u';') || token.is(u'{') || token.is(u'}')) {
                before.clear();
                bounded = true;
                continue;
            }
            before.append(token);
        }
        if (bounded || start == 0 || tries == 8)
            break;
        start = facts->lineStartBefore(start - 1);
    }
    struct Reach
    {
        const CScanner &lexer;
        qsizetype *reach;
        ~Reach() { *reach = lexer.position() + 1; }
    } const told {lexer, reach};
    if (token.begin != at || token.kind != Token::Kind::Identifier
        || (token.spliced ? QStringView(lexer.spelling(token)) : lexer.textOf(token)) != name)
        return {};
    const Token previous = before.isEmpty() ? Token() : before.constLast();
    const bool declarator = previous.kind == Token::Kind::Identifier
            ? !endsNoDeclarator(lexer.textOf(previous))
            : previous.is(u'*') || previous.is(u',') || previous.is(u')');
    if (!declarator)
        return {};

    ConstantIndex::Declaration declaration;
    declaration.text = text;
    declaration.name = at;
    declaration.use = at;
    // NAME [N] __attribute__((...)) = initializer, attributes also through macros.
    bool initialized = false;
    {
        CodeTokens code(lexer);
        MacroExpander expander(environment(at), &code);
        for (PPToken next = expander.next();; next = expander.next()) {
            if (next.is(u'[')) {
                declaration.array = true;
                if (!skipExpanded(expander, u'[', u']'))
                    return {};
            } else if (next.isIdentifier() && isAttribute(next.spelled())) {
                if (!expander.next().is(u'(') || !skipExpanded(expander, u'(', u')'))
                    return {};
            } else if (next.is(u'=') && next.origin < 0) {
                initialized = true;
                break;
            } else if (next.is(u';') || next.is(u',')) {
                break;
            } else {
                return {};
            }
        }
    }

    // What the tokens before the name make of it, their macros expanded.
    PPTokens specifiers;
    for (const Token &t : std::as_const(before))
        specifiers << PPToken::written(text, t);
    MacroExpander::Environment around = environment(before.isEmpty() ? at : before.first().begin);
    around.texts = std::make_shared<TokenTexts>();
    specifiers = MacroExpander::expandAll(around, specifiers);
    // Outside parentheses: its own declarator after the last comma, the
    // specifiers before the first; a "*" makes it a pointer.
    // A call before it, or a ")" whose "(" came before the reading started,
    // ends what came before: where reading started does not matter.
    qsizetype from = 0;
    qsizetype lastComma = -1;
    qsizetype firstComma = -1;
    qsizetype lastStar = -1;
    QList<qsizetype> opens;
    for (qsizetype i = 0; i < specifiers.size(); ++i) {
        const PPToken &t = specifiers.at(i);
        if (t.is(u'(') || t.is(u'[') || t.is(u'{')) {
            opens.append(i);
        } else if (t.is(u')') || t.is(u']') || t.is(u'}')) {
            const qsizetype open = opens.isEmpty() ? -1 : opens.takeLast();
            const bool attribute = open > 0 && specifiers.at(open - 1).isIdentifier()
                    && (isAttribute(specifiers.at(open - 1).spelled())
                        || isKeyword(specifiers.at(open - 1), u"_Alignas"));
            if (opens.isEmpty() && !attribute)
                from = i + 1, lastComma = firstComma = lastStar = -1;
        } else if (opens.isEmpty() && t.is(u',')) {
            lastComma = i;
            firstComma = firstComma < 0 ? i : firstComma;
        } else if (opens.isEmpty() && t.is(u'*')) {
            lastStar = i;
        }
    }
    const qsizetype ownFrom = qMax(from, lastComma + 1);
    const PPTokens own = specifiers.mid(ownFrom);
    const PPTokens shared
            = specifiers.mid(from, (firstComma < 0 ? specifiers.size() : firstComma) - from);
    const qsizetype star = lastStar >= ownFrom ? lastStar - ownFrom : -1;
    declaration.pointer = star >= 0;
    const auto hasConst = [](const PPTokens &tokens, qsizetype from) {
        return std::any_of(tokens.cbegin() + from, tokens.cend(),
                           [](const PPToken &t) { return isKeyword(t, u"const"); });
    };
    declaration.constant = declaration.pointer ? hasConst(own, star + 1) : hasConst(shared, 0);
    const bool external = std::any_of(shared.cbegin(), shared.cend(),
                                      [](const PPToken &t) { return isKeyword(t, u"extern"); });
    if (!initialized) {
        // Declared, not defined here: worth knowing only when extern.
        declaration.external = true;
        return external ? declaration : ConstantIndex::Declaration();
    }

    token = nextCode(lexer);
    const bool braced = token.is(u'{');
    if (braced)
        token = nextCode(lexer);
    declaration.initializer = token.begin;
    BracketDepth brackets(braced ? u'{' : u'(', braced ? u'}' : u')');
    for (; token.kind != Token::Kind::End; token = nextCode(lexer)) {
        if (brackets.closes(token) || (brackets.outermost() && (token.is(u';') || token.is(u','))))
            break;
    }
    declaration.initializerEnd = token.begin;
    return declaration;
}

} // namespace

ConstantIndex::Declaration ConstantIndex::findIn(QStringView text, const TextRecord *facts,
                                                 Found &found, QStringView name, qsizetype use,
                                                 qsizetype includedAt) const
{
    // Macros as they stand at a place of the text: in a header, as its own
    // directives before the place left them at its #include.
    const std::function<MacroExpander::Environment(qsizetype)> environment = [&](qsizetype at) {
        if (includedAt < 0)
            return m_facts->environment(at);
        return m_facts->environment(includedAt + 1, facts->macrosBefore(at));
    };
    use = qMin(use, text.size());
    const qsizetype searchedFrom = found.searchedTo;
    // Occurrences that end before `use`, each looked at once.
    for (qsizetype at = text.indexOf(name, found.searchedTo); at >= 0 && at + name.size() < use;
         at = text.indexOf(name, at + 1)) {
        const bool whole = (at == 0 || !isIdentifierPart(text[at - 1]))
                && !isIdentifierPart(text[at + name.size()]);
        // A declaration in a group the build leaves out declares nothing.
        if (whole && facts->isCompiled(at)) {
            qsizetype reach = at;
            const Declaration declaration
                    = declarationAt(text, facts, at, name, &reach, environment);
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
    const Declaration here = findIn(m_text, m_facts, m_found[key], name, use, -1);
    if (here.name >= 0)
        return here;
    // The headers included before the use, the last first.
    for (qsizetype i = m_facts->includes.size() - 1; i >= 0; --i) {
        const Inclusion &inclusion = m_facts->includes.at(i);
        if (inclusion.at >= use || !inclusion.text)
            continue;
        const QString &header = *inclusion.text;
        Declaration declaration = findIn(header, inclusion.facts.data(),
                                         m_foundInHeaders[{inclusion.facts.data(), key}], name,
                                         header.size() + 1, inclusion.at);
        if (declaration.name >= 0) {
            declaration.use = inclusion.at + 1;
            declaration.macroLimit = inclusion.facts->macrosBefore(declaration.name);
            return declaration;
        }
    }
    return {};
}

ConstantIndex::Declaration ConstantIndex::definition(QStringView name)
{
    if (m_readAll)
        m_readAll();
    const QString key = name.toString();
    const auto defined = [](const Found &found) {
        for (qsizetype i = found.declarations.size() - 1; i >= 0; --i) {
            if (!found.declarations.at(i).external)
                return found.declarations.at(i);
        }
        return Declaration();
    };
    findIn(m_text, m_facts, m_found[key], name, m_text.size() + 1, -1);
    Declaration here = defined(m_found[key]);
    if (here.name >= 0)
        return here;
    for (const Inclusion &inclusion : m_facts->includes) {
        if (!inclusion.text)
            continue;
        Found &found = m_foundInHeaders[{inclusion.facts.data(), key}];
        findIn(*inclusion.text, inclusion.facts.data(), found, name, inclusion.text->size() + 1,
               inclusion.at);
        Declaration declaration = defined(found);
        if (declaration.name >= 0) {
            declaration.use = inclusion.at + 1;
            declaration.macroLimit = inclusion.facts->macrosBefore(declaration.name);
            return declaration;
        }
    }
    return {};
}

} // namespace VelkoMenuView
