// A small recursive-descent evaluator over the directive's tokens, after
// `defined` and the macros have been replaced as C replaces them.
#include "creader/conditionalexpression.h"

#include "creader/macrotable.h"
#include "creader/sourcereader.h"
#include "creader/stringliteral.h"

#include <QList>

#include <algorithm>

namespace VelkoMenuView {

namespace {

constexpr int MaxDepth = 64;
constexpr qsizetype MaxItems = 65536;

struct Value
{
    quint64 bits = 0;
    bool isUnsigned = false;

    qint64 asSigned() const { return qint64(bits); }
    bool isTrue() const { return bits != 0; }
};

struct Item
{
    enum class Kind { Number, Punctuator, Other };
    Kind kind = Kind::Other;
    Value value;
    quint32 punct = 0;
};

// A number of the preprocessor: integers with the suffixes C allows (u, l
// and ll in either order, ll in one case); anything else, a floating
// constant or a second prefix for one, is refused as the compiler refuses it.
bool readNumber(const QString &spelling, Value *value)
{
    qsizetype end = spelling.size();
    while (end > 0 && QStringView(u"uUlL").contains(spelling.at(end - 1)))
        --end;
    const QStringView suffix = QStringView(spelling).sliced(end);
    const QString lower = suffix.toString().toLower();
    static constexpr QStringView suffixes[]
            = {u"", u"u", u"l", u"ul", u"lu", u"ll", u"ull", u"llu"};
    if (std::find(std::begin(suffixes), std::end(suffixes), lower) == std::end(suffixes)
        || (lower.contains(u"ll") && !suffix.contains(u"ll") && !suffix.contains(u"LL")))
        return false;
    QStringView digits = QStringView(spelling).first(end);
    int base = 10;
    if (digits.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        digits = digits.sliced(2);
    } else if (digits.startsWith(u"0b", Qt::CaseInsensitive)) {
        base = 2;
        digits = digits.sliced(2);
    } else if (digits.size() > 1 && digits.startsWith(u'0')) {
        base = 8;
    }
    // Only the base's own ASCII digits: the conversion below would take a
    // second "0x" or a sign.
    const auto isDigit = [base](QChar c) {
        const char16_t u = c.unicode();
        if (base == 16 && (u | 0x20) >= u'a' && (u | 0x20) <= u'f')
            return true;
        return u >= u'0' && u < u'0' + std::min(base, 10);
    };
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return false;
    bool ok = false;
    const quint64 bits = digits.toULongLong(&ok, base);
    if (!ok)
        return false;
    value->bits = bits;
    // Too large for intmax_t: only unsigned types hold it.
    value->isUnsigned = lower.contains(u'u') || bits > quint64(std::numeric_limits<qint64>::max());
    return true;
}

// A character constant's value: plain ones as gcc's signed char, several
// characters shifted together.
bool readCharacter(QStringView text, const Token &token, Value *value)
{
    if (token.unterminated)
        return false;
    Token asString = token;
    QByteArray bytes;
    const bool wide = token.encoding == Token::Encoding::Utf16
            || token.encoding == Token::Encoding::Utf32 || token.encoding == Token::Encoding::Wide;
    if (!appendLiteral(text, asString, token.encoding, &bytes, nullptr) || bytes.isEmpty())
        return false;
    if (wide) {
        const int unit = token.encoding == Token::Encoding::Utf16 ? 2 : 4;
        quint32 code = 0;
        for (int i = unit - 1; i >= 0 && i < bytes.size(); --i)
            code = code << 8 | quint8(bytes[i]);
        value->bits = code;
        value->isUnsigned = token.encoding != Token::Encoding::Wide;
        return true;
    }
    if (bytes.size() == 1) {
        value->bits = quint64(qint64(qint8(bytes[0])));
        return true;
    }
    quint32 combined = 0;
    for (const char byte : bytes)
        combined = combined << 8 | quint8(byte);
    value->bits = quint64(qint64(qint32(combined)));
    return true;
}

// A number, character or punctuator as an item; false for anything else.
bool readItem(const PPToken &token, Item *item)
{
    switch (token.token.kind) {
    case Token::Kind::Number:
        item->kind = Item::Kind::Number;
        return readNumber(token.spelled(), &item->value);
    case Token::Kind::Character:
        item->kind = Item::Kind::Number;
        return readCharacter(token.text, token.token, &item->value);
    case Token::Kind::Punctuation:
        item->kind = Item::Kind::Punctuator;
        item->punct = token.token.punct;
        return true;
    default:
        return false;
    }
}

// The expression's items: the directive's tokens, macros expanded, with
// `defined` and __has_include answered before their operands could be.
bool readItems(QStringView text, qsizetype begin, const ConditionContext &context,
               QList<Item> *items, qint64 *counter)
{
    const MacroExpander::Environment &e = context.environment;
    ScannedTokens tokens(text, begin, -1);
    MacroExpander expander(e, &tokens);
    const auto defined = [&](QStringView name) {
        return (e.macros && e.macros->find(name, e.use, e.limit)) || isDynamicMacro(name);
    };
    bool ok = true;
    for (PPToken token = expander.next(); !token.isEnd() && ok; token = expander.next()) {
        if (items->size() >= MaxItems)
            return false;
        QString scratch;
        const QStringView spelling = token.spelling(&scratch);
        Item item;
        if (token.token.kind == Token::Kind::String)
            return false; // a string in #if
        if (token.token.kind != Token::Kind::Identifier) {
            ok = readItem(token, &item);
        } else {
            item.kind = Item::Kind::Number;
            if (spelling == u"defined") {
                // defined NAME, defined ( NAME )
                PPToken operand = expander.nextRaw();
                const bool parenthesized = operand.is(u'(');
                if (parenthesized)
                    operand = expander.nextRaw();
                if (!operand.isIdentifier() || (parenthesized && !expander.nextRaw().is(u')')))
                    return false;
                QString name;
                item.value.bits = defined(operand.spelling(&name)) ? 1 : 0;
            } else if (spelling == u"__has_include" || spelling == u"__has_include_next") {
                const bool next = spelling.size() > 13;
                if (!expander.nextRaw().is(u'('))
                    return false;
                PPToken operand = expander.nextRaw();
                QString name;
                bool quoted = false;
                if (operand.token.kind == Token::Kind::String
                    && operand.token.encoding == Token::Encoding::Plain && !operand.token.raw) {
                    name = operand.spelled().mid(1).chopped(1);
                    quoted = true;
                } else if (operand.is(u'<')) {
                    // <name> spelt from its tokens, as written between the brackets.
                    for (operand = expander.nextRaw(); !operand.is(u'>');
                         operand = expander.nextRaw()) {
                        if (operand.isEnd())
                            return false;
                        if (operand.token.spaceBefore && !name.isEmpty())
                            name += u' ';
                        name += operand.spelled();
                    }
                } else {
                    return false;
                }
                if (!expander.nextRaw().is(u')'))
                    return false;
                item.value.bits = context.hasInclude && context.hasInclude(name, quoted, next);
            }
            // Any other name that is no macro: 0.
        }
        items->append(item);
    }
    *counter = expander.counter();
    return ok && expander.failure() == MacroExpander::Failure::None;
}

class Parser
{
public:
    explicit Parser(const QList<Item> &items)
        : m_items(items)
    { }

    bool parse(Value *result)
    {
        *result = conditional(0);
        return m_valid && m_pos == m_items.size();
    }

private:
    bool peek(quint32 punct) const
    {
        return m_pos < m_items.size() && m_items[m_pos].kind == Item::Kind::Punctuator
                && m_items[m_pos].punct == punct;
    }
    bool take(quint32 punct)
    {
        if (!peek(punct))
            return false;
        ++m_pos;
        return true;
    }
    Value fail()
    {
        m_valid = false;
        return {};
    }

    Value conditional(int depth);
    Value binary(int level, int depth);
    Value unary(int depth);

    const QList<Item> &m_items;
    qsizetype m_pos = 0;
    bool m_valid = true;
};

// Binary operators by precedence, loosest first.
const QList<QList<quint32>> levels {
        {punctuator("||")},
        {punctuator("&&")},
        {'|'},
        {'^'},
        {'&'},
        {punctuator("=="), punctuator("!=")},
        {'<', '>', punctuator("<="), punctuator(">=")},
        {punctuator("<<"), punctuator(">>")},
        {'+', '-'},
        {'*', '/', '%'},
};

Value Parser::conditional(int depth)
{
    if (depth > MaxDepth)
        return fail();
    const Value condition = binary(0, depth);
    if (!take('?'))
        return condition;
    const Value whenTrue = conditional(depth + 1);
    if (!take(':'))
        return fail();
    const Value whenFalse = conditional(depth + 1);
    Value result = condition.isTrue() ? whenTrue : whenFalse;
    result.isUnsigned = whenTrue.isUnsigned || whenFalse.isUnsigned;
    return result;
}

Value Parser::binary(int level, int depth)
{
    if (level >= levels.size())
        return unary(depth);
    Value left = binary(level + 1, depth);
    for (;;) {
        quint32 op = 0;
        for (const quint32 candidate : levels[level]) {
            if (peek(candidate)) {
                op = candidate;
                break;
            }
        }
        if (!op || !m_valid)
            return left;
        ++m_pos;
        const Value right = binary(level + 1, depth);
        const bool isUnsigned = left.isUnsigned || right.isUnsigned;
        const quint64 a = left.bits;
        const quint64 b = right.bits;
        const qint64 sa = left.asSigned();
        const qint64 sb = right.asSigned();
        Value result;
        result.isUnsigned = isUnsigned;
        switch (op) {
        case punctuator("||"):
            result = {left.isTrue() || right.isTrue() ? 1u : 0u, false};
            break;
        case punctuator("&&"):
            result = {left.isTrue() && right.isTrue() ? 1u : 0u, false};
            break;
        case '|':
            result.bits = a | b;
            break;
        case '^':
            result.bits = a ^ b;
            break;
        case '&':
            result.bits = a & b;
            break;
        case punctuator("=="):
            result = {a == b ? 1u : 0u, false};
            break;
        case punctuator("!="):
            result = {a != b ? 1u : 0u, false};
            break;
        case '<':
            result = {(isUnsigned ? a < b : sa < sb) ? 1u : 0u, false};
            break;
        case '>':
            result = {(isUnsigned ? a > b : sa > sb) ? 1u : 0u, false};
            break;
        case punctuator("<="):
            result = {(isUnsigned ? a <= b : sa <= sb) ? 1u : 0u, false};
            break;
        case punctuator(">="):
            result = {(isUnsigned ? a >= b : sa >= sb) ? 1u : 0u, false};
            break;
        case punctuator("<<"):
            result.isUnsigned = left.isUnsigned;
            result.bits = b >= 64 ? 0 : a << b;
            break;
        case punctuator(">>"):
            result.isUnsigned = left.isUnsigned;
            result.bits = b >= 64     ? (left.isUnsigned || sa >= 0 ? 0 : ~quint64(0))
                    : left.isUnsigned ? a >> b
                                      : quint64(sa >> b);
            break;
        case '+':
            result.bits = a + b;
            break;
        case '-':
            result.bits = a - b;
            break;
        case '*':
            result.bits = a * b;
            break;
        case '/':
        case '%':
            if (b == 0)
                return fail(); // the compiler stops: division by zero in #if
            if (isUnsigned)
                result.bits = op == '/' ? a / b : a % b;
            else if (sa == std::numeric_limits<qint64>::min() && sb == -1)
                result.bits = op == '/' ? a : 0;
            else
                result.bits = quint64(op == '/' ? sa / sb : sa % sb);
            break;
        }
        left = result;
    }
}

Value Parser::unary(int depth)
{
    if (depth > MaxDepth || m_pos >= m_items.size())
        return fail();
    if (take('(')) {
        const Value inner = conditional(depth + 1);
        return take(')') ? inner : fail();
    }
    if (take('!')) {
        const Value operand = unary(depth + 1);
        return {operand.isTrue() ? 0u : 1u, false};
    }
    if (take('~')) {
        Value operand = unary(depth + 1);
        operand.bits = ~operand.bits;
        return operand;
    }
    if (take('-')) {
        Value operand = unary(depth + 1);
        operand.bits = quint64(0) - operand.bits;
        return operand;
    }
    if (take('+'))
        return unary(depth + 1);
    const Item &item = m_items[m_pos];
    if (item.kind != Item::Kind::Number)
        return fail();
    ++m_pos;
    return item.value;
}

} // namespace

ConditionResult evaluateCondition(QStringView text, qsizetype begin,
                                  const ConditionContext &context)
{
    QList<Item> items;
    ConditionResult result;
    result.counter = context.environment.counter;
    Value value;
    result.valid = readItems(text, begin, context, &items, &result.counter) && !items.isEmpty()
            && Parser(items).parse(&value);
    result.value = result.valid && value.isTrue();
    return result;
}

bool isNonZeroConstant(const PPTokens &tokens, bool *valid)
{
    QList<Item> items;
    for (const PPToken &token : tokens) {
        Item item;
        if (!readItem(token, &item))
            return *valid = false;
        items.append(item);
    }
    Value value;
    *valid = !items.isEmpty() && Parser(items).parse(&value);
    return *valid && value.isTrue();
}

} // namespace VelkoMenuView
