// Macros are expanded as C expands them: a name is looked up where it is
// used, and never expands again inside its own expansion. Deep or explosive
// expansions are given up on, as unreadable.
#include "menuview/analysis/textargument.h"

#include "menuview/analysis/bracketdepth.h"
#include "menuview/analysis/constantindex.h"
#include "menuview/analysis/sourcereader.h"

namespace VelkoMenuView {

namespace {

constexpr int MaxDepth = 64;
constexpr qsizetype MaxPieces = 4096;

struct Piece
{
    QStringView text;
    Token token;
};

class Expansion
{
public:
    Expansion(const TextContext &context, qsizetype use, qsizetype macroLimit, LiteralNotes *notes)
        : m_context(context)
        , m_use(use)
        , m_macroLimit(macroLimit)
        , m_notes(notes)
    { }

    // Appends the tokens from `begin` to `end` (-1: to the end of the logical
    // line, a macro's body), macros expanded.
    bool expand(QStringView text, qsizetype begin, qsizetype end, int depth);

    QList<Piece> pieces;

private:
    const TextContext &m_context;
    qsizetype m_use;
    qsizetype m_macroLimit;
    LiteralNotes *m_notes;
    QList<QStringView> m_hidden; // macros being expanded
};

bool Expansion::expand(QStringView text, qsizetype begin, qsizetype end, int depth)
{
    if (depth > MaxDepth)
        return false;
    CScanner lexer(text, begin);
    lexer.setPosition(begin, false);
    for (Token token = lexer.next(); token.kind != Token::Kind::End; token = lexer.next()) {
        if (end < 0 ? token.atLineStart : token.begin >= end)
            break;
        if (token.startsDirective()) {
            lexer.skipLine();
            continue;
        }
        if (token.kind == Token::Kind::Identifier && m_context.facts) {
            const QString spelled = token.spliced ? lexer.spelling(token) : QString();
            const QStringView name = token.spliced ? QStringView(spelled) : lexer.textOf(token);
            const MacroDefinition *macro = m_hidden.contains(name)
                    ? nullptr
                    : m_context.facts->macros.find(name, m_use, m_macroLimit);
            if (macro && macro->kind == MacroDefinition::Kind::Object) {
                if (m_notes)
                    m_notes->names.append(macro->name.toString());
                if (m_notes && m_notes->definition < 0) {
                    m_notes->definition = macro->nameAt;
                    m_notes->definedName = macro->name.toString();
                    if (const MacroDefinition *replaced = m_context.facts->macros.replaced(*macro))
                        m_notes->redefinition = replaced->nameAt;
                }
                m_hidden.append(macro->name);
                const bool expanded = expand(macro->source, macro->body, -1, depth + 1);
                m_hidden.removeLast();
                if (!expanded)
                    return false;
                continue;
            }
        }
        if (pieces.size() >= MaxPieces)
            return false;
        pieces.append({text, token});
    }
    return true;
}

// The literals' common prefix: a plain literal takes that of the others;
// two different prefixes do not join.
bool commonEncoding(const QList<Piece> &pieces, Token::Encoding *encoding)
{
    *encoding = Token::Encoding::Plain;
    for (const Piece &piece : pieces) {
        const Token::Encoding e = piece.token.encoding;
        if (e == Token::Encoding::Plain || e == *encoding)
            continue;
        if (*encoding != Token::Encoding::Plain)
            return false;
        *encoding = e;
    }
    return true;
}

// Parentheses around the whole: ("a" "b") is a text too.
QList<Piece> unwrapped(QList<Piece> pieces)
{
    while (pieces.size() >= 2 && pieces.constFirst().token.is(u'(')
           && pieces.constLast().token.is(u')')) {
        BracketDepth depth;
        qsizetype close = 1;
        // A macro's body may leave the first "(" unclosed: "((" ")".
        while (close < pieces.size() && !depth.closes(pieces.at(close).token))
            ++close;
        if (close != pieces.size() - 1)
            break;
        pieces = pieces.sliced(1, pieces.size() - 2);
    }
    return pieces;
}

QString readText(QStringView text, qsizetype begin, qsizetype end, qsizetype use,
                 qsizetype macroLimit, const TextContext &context, LiteralNotes *notes, int depth)
{
    const auto unreadable = [&](LiteralNotes::Unreadable why) {
        notes->readable = false;
        notes->why = why;
        return QString();
    };
    Expansion expansion(context, use, macroLimit, notes);
    if (!expansion.expand(text, begin, end, depth))
        return unreadable(LiteralNotes::Unreadable::TooLarge);
    const QList<Piece> pieces = unwrapped(expansion.pieces);
    if (pieces.isEmpty())
        return unreadable(LiteralNotes::Unreadable::Empty);

    // A single name that no macro stands for: a string constant.
    if (pieces.size() == 1 && pieces.first().token.kind == Token::Kind::Identifier) {
        const Piece &piece = pieces.first();
        const CScanner lexer(piece.text);
        const QString name = lexer.spelling(piece.token);
        notes->names.append(name);
        if (depth >= MaxDepth)
            return unreadable(LiteralNotes::Unreadable::TooLarge);
        const ConstantIndex::Declaration declaration = context.constants
                ? context.constants->find(name, use)
                : ConstantIndex::Declaration();
        if (declaration.name < 0) {
            notes->name = name;
            return unreadable(LiteralNotes::Unreadable::Undefined);
        }
        if (notes->definition < 0) {
            notes->definition = declaration.name;
            notes->definedName = name;
        }
        return readText(declaration.text, declaration.initializer, declaration.initializerEnd,
                        declaration.use, declaration.macroLimit, context, notes, depth + 1);
    }

    Token::Encoding encoding = Token::Encoding::Plain;
    for (const Piece &piece : pieces) {
        if (piece.token.kind != Token::Kind::String)
            return unreadable(LiteralNotes::Unreadable::NotText);
        if (piece.token.unterminated)
            return unreadable(LiteralNotes::Unreadable::Unterminated);
    }
    if (!commonEncoding(pieces, &encoding))
        return unreadable(LiteralNotes::Unreadable::Prefixes);
    QByteArray bytes;
    for (const Piece &piece : pieces) {
        if (!appendLiteral(piece.text, piece.token, encoding, &bytes, notes))
            return unreadable(LiteralNotes::Unreadable::Escape);
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

QString readTextArgument(QStringView text, qsizetype begin, qsizetype end, qsizetype use,
                         const TextContext &context, LiteralNotes *notes)
{
    LiteralNotes scratch;
    LiteralNotes &n = notes ? *notes : scratch;
    n = LiteralNotes();
    if (!context.literals || !isLiteralsAlone(text, begin, end))
        return readText(text, begin, end, use, -1, context, &n, 0);
    const QString written = text.sliced(begin, end - begin).toString();
    const auto known = context.literals->constFind(written);
    if (known != context.literals->cend()) {
        n = known->second;
        return known->first;
    }
    const QString read = readText(text, begin, end, use, -1, context, &n, 0);
    // A bound on what a text with many literals keeps.
    if (context.literals->size() >= 4096)
        context.literals->clear();
    context.literals->insert(written, {read, n});
    return read;
}

} // namespace VelkoMenuView
