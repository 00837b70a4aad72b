// A text is what the compiler evaluates to the pointer the firmware passes:
// the argument's macros expanded, then read as one of the few expressions
// that come to a string without running the firmware. Whatever else it
// is, it is not guessed: the notes say what stopped the reading and where
// that came from.
#include "creader/textargument.h"

#include "creader/conditionalexpression.h"
#include "creader/constantindex.h"
#include "creader/macroshape.h"
#include "creader/sourcereader.h"

#include <algorithm>

namespace VelkoMenuView {

namespace {

constexpr int MaxDepth = 64;

using Why = LiteralNotes::Unreadable;

PPTokens scanned(QStringView text, qsizetype begin, qsizetype end)
{
    PPTokens tokens;
    ScannedTokens source(text, begin, end);
    for (PPToken token = source.next(); !token.isEnd(); token = source.next())
        tokens.append(token);
    return tokens;
}

bool isName(const PPToken &token, QStringView name)
{
    QString scratch;
    return token.isIdentifier() && token.spelling(&scratch) == name;
}

// The bracket that closes the one at `open`, before `to`; -1 when none does.
qsizetype closing(const PPTokens &t, qsizetype open, qsizetype to)
{
    int depth = 0;
    for (qsizetype i = open; i < to; ++i) {
        const PPToken &token = t.at(i);
        if (token.is(u'(') || token.is(u'[') || token.is(u'{')) {
            ++depth;
        } else if (token.is(u')') || token.is(u']') || token.is(u'}')) {
            if (--depth == 0)
                return i;
        }
    }
    return -1;
}

// The first place at the top level, outside brackets, of `from` to `to`
// where `found` holds; -1 when there is none.
template<typename Found>
qsizetype topLevel(const PPTokens &t, qsizetype from, qsizetype to, Found found)
{
    int depth = 0;
    for (qsizetype i = from; i < to; ++i) {
        const PPToken &token = t.at(i);
        if (token.is(u'(') || token.is(u'[') || token.is(u'{'))
            ++depth;
        else if (token.is(u')') || token.is(u']') || token.is(u'}'))
            --depth;
        else if (depth == 0 && found(i))
            return i;
    }
    return -1;
}

// The pieces of `from` to `to` that top-level `separator`s part.
QList<std::pair<qsizetype, qsizetype>> parts(const PPTokens &t, qsizetype from, qsizetype to,
                                             char16_t separator)
{
    QList<std::pair<qsizetype, qsizetype>> pieces {{from, to}};
    topLevel(t, from, to, [&](qsizetype i) {
        if (t.at(i).is(separator)) {
            pieces.last().second = i;
            pieces.append({i + 1, to});
        }
        return false;
    });
    return pieces;
}

// A token that ends an operand, so that a "+" or "-" after it is binary.
bool endsOperand(const PPToken &token)
{
    return token.token.kind == Token::Kind::Identifier || token.token.kind == Token::Kind::Number
            || token.token.isLiteral() || token.is(u')') || token.is(u']');
}

bool isZero(const PPTokens &t, qsizetype from, qsizetype to)
{
    if (to != from + 1 || t.at(from).token.kind != Token::Kind::Number)
        return false;
    bool valid = false;
    return !isNonZeroConstant({t.at(from)}, &valid) && valid;
}

bool isAttributeName(const PPToken &token)
{
    QString scratch;
    const QStringView name = token.isIdentifier() ? token.spelling(&scratch) : QStringView();
    return name == u"__attribute__" || name == u"__attribute" || name == u"__asm__"
            || name == u"__asm" || name == u"asm";
}

// A type name in a cast to a pointer: specifiers, qualifiers and
// attributes, a "*" and qualifiers after the last one.
bool isPointerType(const PPTokens &t, qsizetype from, qsizetype to)
{
    bool star = false;
    for (qsizetype i = from; i < to; ++i) {
        const PPToken &token = t.at(i);
        if (isAttributeName(token)) {
            const qsizetype close = i + 1 < to ? closing(t, i + 1, to) : -1;
            if (close < 0)
                return false;
            i = close;
        } else if (token.is(u'*')) {
            star = true;
        } else if (!token.isIdentifier()) {
            return false;
        }
    }
    return star;
}

// What a declaration says of the name it declares: const, a pointer or not.
struct Declared
{
    qsizetype name = -1;
    bool constant = false;
};

Declared declared(const PPTokens &t, qsizetype from, qsizetype to)
{
    // Attributes after the name, then its brackets.
    qsizetype end = to;
    while (end - from >= 2 && t.at(end - 1).is(u')')) {
        qsizetype open = end - 1;
        for (int depth = 0; open >= from; --open) {
            if (t.at(open).is(u')'))
                ++depth;
            else if (t.at(open).is(u'(') && --depth == 0)
                break;
        }
        if (open <= from || !isAttributeName(t.at(open - 1)))
            break;
        end = open - 1;
    }
    bool array = false;
    if (end - from >= 2 && t.at(end - 1).is(u']')) {
        qsizetype open = end - 1;
        while (open >= from && !t.at(open).is(u'['))
            --open;
        end = open;
        array = true;
    }
    Declared d;
    if (end <= from || !t.at(end - 1).isIdentifier())
        return d;
    d.name = end - 1;
    qsizetype star = -1;
    for (qsizetype i = from; i < d.name; ++i) {
        if (t.at(i).is(u'*'))
            star = i;
    }
    const auto hasConst = [&](qsizetype begin) {
        return std::any_of(t.cbegin() + begin, t.cbegin() + d.name,
                           [](const PPToken &token) { return isName(token, u"const"); });
    };
    d.constant = star >= 0 && !array ? hasConst(star + 1) : hasConst(from);
    return d;
}

class TextReader
{
public:
    TextReader(const TextLookup &context, qsizetype use, LiteralNotes *notes)
        : m_context(context)
        , m_use(use)
        , m_notes(notes)
    { }

    // The literals the expression of `t` from `from` to `to` comes to.
    bool expression(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth);
    // Expands `tokens`, macros as they stand at `use` (and `limit`).
    bool expanded(const PPTokens &tokens, qsizetype use, qsizetype limit, PPTokens *out);
    bool fail(Why why, const PPToken &at, const QString &name = QString());

private:
    struct Local
    {
        PPTokens initializer;
        bool constant = false;
    };

    bool primary(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth);
    bool constant(const PPToken &name, PPTokens *out, int depth);
    bool call(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth);
    bool statements(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth);
    void noteDefinition(const QString &name, QStringView text, qsizetype at, qsizetype replaced);

    const TextLookup &m_context;
    qsizetype m_use;
    LiteralNotes *m_notes;
    QList<QHash<QString, Local>> m_scopes; // the locals of statement expressions
    // The texts of tokens expansion made, as long as the reading reads them.
    std::shared_ptr<TokenTexts> m_texts = std::make_shared<TokenTexts>();
};

bool TextReader::fail(Why why, const PPToken &at, const QString &name)
{
    if (!m_notes->readable)
        return false;
    m_notes->readable = false;
    m_notes->why = why;
    m_notes->name = name;
    const UnitRecord *facts = m_context.facts;
    if (!facts)
        return false;
    // Where it came from: the macro that wrote it, or a constant's initializer.
    SourcePlace place;
    if (at.origin >= 0) {
        const MacroDefinition &definition = facts->macros.at(at.origin);
        m_notes->culpritMacro = definition.name.toString();
        place = facts->placeOf(definition.source, definition.nameAt);
    } else if (m_context.constants && !at.text.isNull()
               && at.text.data() != m_context.constants->text().data()) {
        place = facts->placeOf(at.text, at.token.begin);
    } else {
        return false;
    }
    m_notes->culpritFile = place.file;
    m_notes->culpritLine = place.line;
    return false;
}

void TextReader::noteDefinition(const QString &name, QStringView text, qsizetype at,
                                qsizetype replaced)
{
    if (m_notes->definition >= 0 || !m_context.constants
        || text.data() != m_context.constants->text().data())
        return;
    m_notes->definition = at;
    m_notes->definedName = name;
    m_notes->redefinition = replaced;
}

bool TextReader::expanded(const PPTokens &tokens, qsizetype use, qsizetype limit, PPTokens *out)
{
    const UnitRecord *facts = m_context.facts;
    if (!facts) {
        *out = tokens;
        return true;
    }
    MacroExpander::Environment environment = facts->environment(use, limit);
    environment.counter = facts->counterAt(use);
    environment.texts = m_texts;
    MacroExpander expander(environment, tokens);
    out->clear();
    for (PPToken token = expander.next(); !token.isEnd(); token = expander.next())
        out->append(token);
    const QList<const MacroDefinition *> definitions = expander.expanded();
    for (const MacroDefinition *definition : definitions)
        m_notes->names.append(definition->name.toString());
    if (!definitions.isEmpty()) {
        const MacroDefinition *definition = definitions.first();
        const MacroDefinition *before = facts->macros.replaced(*definition);
        noteDefinition(definition->name.toString(), definition->source, definition->nameAt,
                       before && before->source.data() == definition->source.data()
                                       && !MacroShape::same(*before, *definition)
                               ? before->nameAt
                               : -1);
    }
    switch (expander.failure()) {
    case MacroExpander::Failure::None:
        return true;
    case MacroExpander::Failure::TooLarge:
        return fail(Why::TooLarge, tokens.value(0));
    case MacroExpander::Failure::Refused:
        fail(Why::Refused, tokens.value(0));
        m_notes->detail = expander.refusal();
        return false;
    }
    return true;
}

bool TextReader::expression(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out,
                            int depth)
{
    if (depth > MaxDepth)
        return fail(Why::TooLarge, t.value(from));
    if (from >= to)
        return fail(from == 0 && to == t.size() ? Why::Empty : Why::NotText, t.value(from));
    // COND ? A : B, for a condition the compiler computes.
    const qsizetype question = topLevel(t, from, to, [&](qsizetype i) { return t.at(i).is(u'?'); });
    if (question >= 0) {
        int nested = 0;
        const qsizetype colon = topLevel(t, question + 1, to, [&](qsizetype i) {
            if (t.at(i).is(u'?'))
                ++nested;
            return t.at(i).is(u':') && nested-- == 0;
        });
        if (colon < 0)
            return fail(Why::NotText, t.at(question));
        bool valid = false;
        const bool value = isNonZeroConstant(t.mid(from, question - from), &valid);
        if (!valid)
            return fail(Why::Condition, t.at(from));
        return value ? expression(t, question + 1, colon, out, depth + 1)
                     : expression(t, colon + 1, to, out, depth + 1);
    }
    // NAME + 0; any other arithmetic is not followed.
    const qsizetype binary = topLevel(t, from, to, [&](qsizetype i) {
        return (t.at(i).is(u'+') || t.at(i).is(u'-')) && i > from && endsOperand(t.at(i - 1));
    });
    if (binary >= 0) {
        if (t.at(binary).is(u'+') && isZero(t, binary + 1, to))
            return expression(t, from, binary, out, depth + 1);
        if (t.at(binary).is(u'+') && isZero(t, from, binary))
            return expression(t, binary + 1, to, out, depth + 1);
        return fail(Why::Arithmetic, t.at(binary));
    }
    return primary(t, from, to, out, depth);
}

bool TextReader::primary(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth)
{
    const PPToken &first = t.at(from);
    if (isName(first, u"__extension__"))
        return expression(t, from + 1, to, out, depth + 1);
    if (first.is(u'(')) {
        const qsizetype close = closing(t, from, to);
        if (close < 0)
            return fail(Why::NotText, first);
        // ({ ... }): a GNU statement expression.
        if (close == to - 1 && from + 1 < close && t.at(from + 1).is(u'{')
            && closing(t, from + 1, close) == close - 1)
            return statements(t, from + 2, close - 1, out, depth + 1);
        if (close == to - 1)
            return expression(t, from + 1, close, out, depth + 1);
        // A cast to a pointer keeps the address.
        if (isPointerType(t, from + 1, close))
            return expression(t, close + 1, to, out, depth + 1);
        return fail(Why::NotText, first);
    }
    if (first.is(u'&')) {
        // &NAME[0], &(NAME[0]), &*NAME
        qsizetype begin = from + 1;
        qsizetype end = to;
        while (end - begin >= 2 && t.at(begin).is(u'(') && closing(t, begin, end) == end - 1)
            ++begin, --end;
        if (end - begin >= 2 && t.at(begin).is(u'*'))
            return expression(t, begin + 1, end, out, depth + 1);
        if (end - begin >= 4 && t.at(end - 1).is(u']')) {
            qsizetype open = end - 1;
            while (open > begin && !t.at(open).is(u'['))
                --open;
            if (open > begin && closing(t, open, end) == end - 1) {
                if (!isZero(t, open + 1, end - 1))
                    return fail(Why::Arithmetic, t.at(open));
                return expression(t, begin, open, out, depth + 1);
            }
        }
        return fail(Why::NotText, first);
    }
    if (first.token.kind == Token::Kind::String) {
        for (qsizetype i = from; i < to; ++i) {
            if (t.at(i).token.kind != Token::Kind::String)
                return fail(Why::NotText, t.at(i));
            out->append(t.at(i));
        }
        return true;
    }
    if (first.isIdentifier()) {
        if (to == from + 1)
            return constant(first, out, depth);
        if (t.at(from + 1).is(u'(') && closing(t, from + 1, to) == to - 1)
            return call(t, from, to, out, depth);
    }
    return fail(Why::NotText, first);
}

// A call: of a function that returns its argument, its text; of any other,
// nothing.
bool TextReader::call(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out, int depth)
{
    const QString name = t.at(from).spelled();
    int argument = -1;
    if (name == u"gettext")
        argument = 0;
    else if (name == u"dgettext" || name == u"dcgettext")
        argument = 1;
    else if (m_context.facts && m_context.facts->context.textFunctions.contains(name))
        argument = 0;
    if (argument < 0)
        return fail(Why::Call, t.at(from), name);
    const QList<std::pair<qsizetype, qsizetype>> arguments = parts(t, from + 2, to - 1, u',');
    if (argument >= arguments.size())
        return fail(Why::NotText, t.at(from));
    const auto [begin, end] = arguments.at(argument);
    return expression(t, begin, end, out, depth + 1);
}

// The statements of ({ ... }): declarations of constants, then the value.
bool TextReader::statements(const PPTokens &t, qsizetype from, qsizetype to, PPTokens *out,
                            int depth)
{
    QList<std::pair<qsizetype, qsizetype>> list = parts(t, from, to, u';');
    while (!list.isEmpty() && list.constLast().first >= list.constLast().second)
        list.removeLast();
    if (list.isEmpty())
        return fail(Why::NotText, t.value(from));
    m_scopes.append(QHash<QString, Local>());
    for (qsizetype s = 0; s + 1 < list.size(); ++s) {
        const auto [begin, end] = list.at(s);
        const qsizetype equals
                = topLevel(t, begin, end, [&](qsizetype i) { return t.at(i).is(u'='); });
        const Declared d = equals < 0 ? Declared() : declared(t, begin, equals);
        if (d.name < 0) {
            m_scopes.removeLast();
            return fail(Why::NotText, t.at(begin));
        }
        qsizetype initBegin = equals + 1;
        qsizetype initEnd = end;
        if (initEnd - initBegin >= 2 && t.at(initBegin).is(u'{')
            && closing(t, initBegin, initEnd) == initEnd - 1)
            ++initBegin, --initEnd;
        m_scopes.last().insert(t.at(d.name).spelled(),
                               {t.mid(initBegin, initEnd - initBegin), d.constant});
    }
    const auto [begin, end] = list.constLast();
    const bool read = expression(t, begin, end, out, depth + 1);
    m_scopes.removeLast();
    return read;
}

bool TextReader::constant(const PPToken &nameToken, PPTokens *out, int depth)
{
    const QString name = nameToken.spelled();
    for (qsizetype i = m_scopes.size() - 1; i >= 0; --i) {
        const auto local = m_scopes.at(i).constFind(name);
        if (local == m_scopes.at(i).cend())
            continue;
        if (!local->constant)
            return fail(Why::NotConstant, nameToken, name);
        return expression(local->initializer, 0, local->initializer.size(), out, depth + 1);
    }
    m_notes->names.append(name);
    ConstantIndex *constants = m_context.constants;
    ConstantIndex::Declaration declaration
            = constants ? constants->find(name, m_use) : ConstantIndex::Declaration();
    if (declaration.name < 0)
        return fail(Why::Undefined, nameToken, name);
    if (declaration.external && declaration.initializer < 0) {
        const ConstantIndex::Declaration defined = constants->definition(name);
        if (defined.name < 0)
            return fail(Why::ExternOnly, nameToken, name);
        declaration = defined;
    }
    noteDefinition(name, declaration.text, declaration.name, -1);
    if (!declaration.constant)
        return fail(Why::NotConstant, nameToken, name);
    if (depth >= MaxDepth)
        return fail(Why::TooLarge, nameToken);
    const PPTokens written
            = scanned(declaration.text, declaration.initializer, declaration.initializerEnd);
    PPTokens initializer;
    const qsizetype use = m_use;
    m_use = declaration.use;
    const bool read = expanded(written, declaration.use, declaration.macroLimit, &initializer)
            && expression(initializer, 0, initializer.size(), out, depth + 1);
    m_use = use;
    return read;
}

// The literals' common prefix: a plain literal takes that of the others;
// two different prefixes do not join.
bool commonEncoding(const PPTokens &literals, Token::Encoding *encoding)
{
    *encoding = Token::Encoding::Plain;
    for (const PPToken &literal : literals) {
        const Token::Encoding e = literal.token.encoding;
        if (e == Token::Encoding::Plain || e == *encoding)
            continue;
        if (*encoding != Token::Encoding::Plain)
            return false;
        *encoding = e;
    }
    return true;
}

// Whether `begin` to `end` holds unprefixed string literals, white space and
// comments alone: no name a macro could stand for.
bool isLiteralsAlone(QStringView text, qsizetype begin, qsizetype end)
{
    bool lineEnd = false; // line ends are white space here
    for (qsizetype p = spaceEnd(text, begin, &lineEnd); p < end; p = spaceEnd(text, p, &lineEnd)) {
        bool unterminated = false;
        if (text[p] != u'"')
            return false;
        p = literalEnd(text, p, &unterminated);
        if (unterminated)
            return false;
    }
    return true;
}

} // namespace

QString readTextTokens(const PPTokens &tokens, qsizetype use, const TextLookup &context,
                       LiteralNotes *notes)
{
    LiteralNotes scratch;
    notes = notes ? notes : &scratch;
    *notes = LiteralNotes();
    TextReader reader(context, use, notes);
    PPTokens expanded;
    PPTokens literals;
    if (tokens.isEmpty()) {
        reader.fail(Why::Empty, PPToken());
        return QString();
    }
    if (!reader.expanded(tokens, use, -1, &expanded)
        || !reader.expression(expanded, 0, expanded.size(), &literals, 0))
        return QString();
    Token::Encoding encoding = Token::Encoding::Plain;
    for (const PPToken &literal : std::as_const(literals)) {
        if (literal.token.unterminated) {
            reader.fail(Why::Unterminated, literal);
            return QString();
        }
    }
    if (!commonEncoding(literals, &encoding)) {
        reader.fail(Why::Prefixes, literals.value(0));
        return QString();
    }
    QByteArray bytes;
    for (const PPToken &literal : std::as_const(literals)) {
        if (!appendLiteral(literal.text, literal.token, encoding, &bytes, notes)) {
            reader.fail(Why::Escape, literal);
            return QString();
        }
    }
    notes->wide = encoding == Token::Encoding::Utf16 || encoding == Token::Encoding::Utf32
            || encoding == Token::Encoding::Wide;
    const qsizetype zero = bytes.indexOf('\0');
    if (!notes->wide && zero >= 0) {
        for (qsizetype i = zero + 1; i < bytes.size() && !notes->hiddenByZero; ++i)
            notes->hiddenByZero = bytes[i] != '\0';
    }
    return deviceText(bytes);
}

QString readTextArgument(QStringView text, qsizetype begin, qsizetype end, qsizetype use,
                         const TextLookup &context, LiteralNotes *notes)
{
    if (!context.literals || !isLiteralsAlone(text, begin, end))
        return readTextTokens(scanned(text, begin, end), use, context, notes);
    LiteralNotes scratch;
    LiteralNotes &n = notes ? *notes : scratch;
    const QString written = text.sliced(begin, end - begin).toString();
    const auto known = context.literals->constFind(written);
    if (known != context.literals->cend()) {
        n = known->second;
        return known->first;
    }
    const QString read = readTextTokens(scanned(text, begin, end), use, context, &n);
    // A bound on what a text with many literals keeps.
    if (context.literals->size() >= 4096)
        context.literals->clear();
    context.literals->insert(written, {read, n});
    return read;
}

} // namespace VelkoMenuView
