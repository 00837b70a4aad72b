// String literals decoded as gcc decodes them: escapes take the characters
// C gives them (octal up to three digits, hex every digit that follows), a
// value too large for a code unit keeps its low bits, and no decoded
// character is read again.
#include "creader/stringliteral.h"

#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>

namespace VelkoMenuView {

namespace {

int unitSize(Token::Encoding encoding)
{
    switch (encoding) {
    case Token::Encoding::Plain:
    case Token::Encoding::Utf8:
        return 1;
    case Token::Encoding::Utf16:
        return 2;
    case Token::Encoding::Utf32:
    case Token::Encoding::Wide:
        break;
    }
    return 4;
}

// The bytes of one literal, gathered before they join the others: most
// literals are short, and appending to a QByteArray byte by byte is not.
using LiteralBytes = QVarLengthArray<char, 256>;

void appendUnit(LiteralBytes *bytes, quint64 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes->append(char((value >> (8 * i)) & 0xFF));
}

void appendCharacter(LiteralBytes *bytes, char32_t c, int size)
{
    if (size == 1) {
        // UTF-8 as the execution character set; a lone surrogate as Qt encodes it.
        if (c < 0x80) {
            bytes->append(char(c));
        } else if (c < 0x800) {
            const char units[] = {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
            bytes->append(units, 2);
        } else if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            const QByteArray encoded = QString::fromUcs4(&c, 1).toUtf8();
            bytes->append(encoded.constData(), encoded.size());
        } else if (c < 0x10000) {
            const char units[] = {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                                  char(0x80 | (c & 0x3F))};
            bytes->append(units, 3);
        } else {
            const char units[] = {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)),
                                  char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
            bytes->append(units, 4);
        }
    } else if (size == 2 && c > 0xFFFF) {
        appendUnit(bytes, QChar::highSurrogate(c), 2);
        appendUnit(bytes, QChar::lowSurrogate(c), 2);
    } else {
        appendUnit(bytes, c, size);
    }
}

int digitValue(char16_t c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

char32_t simpleEscape(char16_t c)
{
    switch (c) {
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'n':
        return 10;
    case 'r':
        return 13;
    case 't':
        return 9;
    case 'v':
        return 11;
    case 'e': // GNU
    case 'E':
        return 27;
    default:
        return 0;
    }
}

// Universal character names C allows in a literal.
bool isAllowedCharacterName(quint32 value)
{
    if (value < 0xA0)
        return value == 0x24 || value == 0x40 || value == 0x60;
    return value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
}

// Reads the literal's characters, splices removed, one after the other.
class Characters
{
public:
    Characters(QStringView text, qsizetype from, qsizetype to)
        : m_text(text.first(to))
        , m_pos(from)
    { }

    bool atEnd()
    {
        m_pos = skipSplices(m_text, m_pos);
        return m_pos >= m_text.size();
    }
    char16_t peek() { return atEnd() ? 0 : m_text[m_pos].unicode(); }
    qsizetype position() const { return m_pos; }
    char32_t take()
    {
        atEnd();
        const QChar c = m_text[m_pos++];
        if (c.isHighSurrogate() && m_pos < m_text.size() && m_text[m_pos].isLowSurrogate())
            return QChar::surrogateToUcs4(c, m_text[m_pos++]);
        return c.unicode();
    }

private:
    QStringView m_text;
    qsizetype m_pos;
};

bool appendRaw(QStringView text, const Token &token, qsizetype quote, int size, LiteralBytes *bytes)
{
    // Splices are undone in raw literals: the text stands as written.
    const qsizetype open = text.indexOf(QChar(u'('), quote);
    const qsizetype delimiter = open - quote - 1;
    const qsizetype end = token.unterminated ? token.end : token.end - delimiter - 2;
    for (qsizetype pos = open + 1; pos < end;) {
        const qsizetype lineEnd = lineEndLength(text, pos);
        if (lineEnd) {
            appendUnit(bytes, '\n', size);
            pos += lineEnd;
            continue;
        }
        const QChar c = text[pos++];
        const bool pair = c.isHighSurrogate() && pos < end && text[pos].isLowSurrogate();
        appendCharacter(bytes, pair ? QChar::surrogateToUcs4(c, text[pos++]) : c.unicode(), size);
    }
    return true;
}

} // namespace

bool appendLiteral(QStringView text, const Token &token, Token::Encoding encoding, QByteArray *out,
                   LiteralNotes *notes)
{
    LiteralBytes gathered;
    LiteralBytes *bytes = &gathered;
    // Whatever way reading ends, what was read joins the others.
    const struct Join
    {
        QByteArray *out;
        const LiteralBytes &bytes;
        ~Join() { out->append(bytes.constData(), bytes.size()); }
    } join {out, gathered};
    const int size = unitSize(encoding);
    const quint64 largest = size == 4 ? 0xFFFFFFFFu : size == 2 ? 0xFFFFu : 0xFFu;
    qsizetype quote = token.begin;
    while (quote < token.end && text[quote] != u'"' && text[quote] != u'\'')
        ++quote;
    if (quote >= token.end)
        return true;
    if (token.raw)
        return appendRaw(text, token, quote, size, bytes);

    Characters chars(text, quote + 1, token.unterminated ? token.end : token.end - 1);
    while (!chars.atEnd()) {
        const qsizetype escapeAt = chars.position();
        const char32_t c = chars.take();
        if (c != u'\\') {
            appendCharacter(bytes, c, size);
            continue;
        }
        if (chars.atEnd()) {
            appendUnit(bytes, '\\', size); // an unterminated literal's last character
            break;
        }
        const char16_t e = chars.peek();
        quint64 value = 0;
        bool overflow = false;
        if (const char32_t simple = simpleEscape(e)) {
            chars.take();
            value = simple;
        } else if (digitValue(e, 8) >= 0) {
            for (int digits = 0; digits < 3 && digitValue(chars.peek(), 8) >= 0; ++digits)
                value = value * 8 + quint64(digitValue(char16_t(chars.take()), 8));
        } else if (e == 'x') {
            chars.take();
            int digits = 0;
            for (; digitValue(chars.peek(), 16) >= 0; ++digits) {
                overflow = overflow || value > (largest >> 4);
                value = value << 4 | quint64(digitValue(char16_t(chars.take()), 16));
            }
            if (digits == 0)
                return false;
        } else if (e == 'u' || e == 'U') {
            chars.take();
            const int wanted = e == 'u' ? 4 : 8;
            quint32 name = 0;
            for (int digits = 0; digits < wanted; ++digits) {
                const int digit = digitValue(chars.peek(), 16);
                if (digit < 0)
                    return false;
                chars.take();
                name = name << 4 | quint32(digit);
            }
            if (!isAllowedCharacterName(name))
                return false;
            appendCharacter(bytes, name, size);
            continue;
        } else {
            // ' " ? \ and any other character stand for themselves.
            appendCharacter(bytes, chars.take(), size);
            continue;
        }
        const QString written = text.sliced(escapeAt, chars.position() - escapeAt).toString();
        if (overflow || value > largest) {
            if (notes)
                notes->outOfRange.append(written);
            value &= largest;
        }
        if (notes && value > 0 && value < 0x20)
            notes->droppedEscapes.append(written);
        appendUnit(bytes, value, size);
    }
    return true;
}

QString deviceText(const QByteArray &bytes)
{
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    // Most texts are printable, well-formed and without a byte order mark.
    const QByteArrayView whole(bytes.constData(), end);
    if (std::none_of(whole.begin(), whole.end(), [](char c) { return quint8(c) < 0x20; })
        && !whole.startsWith("\xEF\xBB\xBF") && whole.isValidUtf8())
        return QString::fromUtf8(whole);
    QByteArray printable;
    printable.reserve(end);
    for (qsizetype i = 0; i < end; ++i) {
        if (quint8(bytes[i]) >= 0x20)
            printable.append(bytes[i]);
    }
    // Malformed sequences come out as zeros, which no C string holds.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInvalidToNull
                                   | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(printable);
    text.remove(QChar(0));
    return text;
}

} // namespace VelkoMenuView
