// Framing. After a fault the reader drops bytes up to the next
// "Content-Length" it sees, so that one bad message costs only itself.
#include "lspmessagereader.h"

#include <QLocale>

#include <algorithm>

namespace VelkoMenuView {

namespace {

constexpr char LengthField[] = "content-length";
constexpr qsizetype LengthFieldSize = sizeof LengthField - 1;

bool isToken(QByteArrayView name)
{
    const QByteArrayView punctuation("!#$%&'*+-.^_`|~");
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [&](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                || punctuation.contains(c);
    });
}

qsizetype indexOfLengthField(const QByteArray &buffer, qsizetype from)
{
    for (qsizetype i = from; i + LengthFieldSize <= buffer.size(); ++i) {
        if ((buffer[i] | 0x20) == 'c'
            && qstrnicmp(buffer.constData() + i, LengthField, LengthFieldSize) == 0)
            return i;
    }
    return -1;
}

// Decimal digits only: no sign, no spaces inside, nothing that could overflow.
qint64 readLength(QByteArrayView value)
{
    if (value.isEmpty() || value.size() > 18)
        return -1;
    qint64 length = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            return -1;
        length = length * 10 + (c - '0');
    }
    return length;
}

// "9,540 MiB", "0.5 MiB": whole MiB with thousands grouped, a tenth below 100.
QString mebibytes(qsizetype bytes)
{
    const double size = double(bytes) / (1024 * 1024);
    const QLocale english(QLocale::English);
    if (size >= 100)
        return english.toString(qRound64(size)) + QStringLiteral(" MiB");
    QString tenths = english.toString(size, 'f', 1);
    if (tenths.endsWith(QLatin1String(".0")))
        tenths.chop(2);
    return tenths + QStringLiteral(" MiB");
}

} // namespace

QList<LspFrame> LspMessageReader::feed(QByteArrayView bytes)
{
    QList<LspFrame> frames;
    qsizetype in = 0;
    for (;;) {
        if (m_state == State::Skip) {
            // Skipped bytes never enter the buffer.
            const qsizetype buffered = qMin(m_buffer.size() - m_pos, m_remaining);
            m_pos += buffered;
            m_remaining -= buffered;
            const qsizetype direct = qMin(bytes.size() - in, m_remaining);
            in += direct;
            m_remaining -= direct;
            if (m_remaining > 0)
                break;
            startHeader();
            continue;
        }
        if (in < bytes.size()) {
            m_buffer.append(bytes.sliced(in));
            in = bytes.size();
        }
        if (m_state == State::Body) {
            if (m_buffer.size() - m_pos < m_remaining)
                break;
            frames.append({LspFrame::Kind::Message, m_buffer.mid(m_pos, m_remaining), QString()});
            m_pos += m_remaining;
            startHeader();
        } else if (m_state == State::Resync) {
            const qsizetype found = indexOfLengthField(m_buffer, m_pos);
            if (found < 0) {
                // Keep only what could be the start of the field name.
                m_pos = qMax(m_pos, m_buffer.size() - (LengthFieldSize - 1));
                break;
            }
            m_pos = found;
            startHeader();
        } else {
            const qsizetype lineStart = m_pos;
            const qsizetype lineFeed = m_buffer.indexOf('\n', m_pos);
            if (lineFeed < 0) {
                if (m_buffer.size() - m_pos <= MaxHeader)
                    break;
                fail(QStringLiteral("a header line of over %1 bytes").arg(MaxHeader), frames);
                m_pos = lineStart + 1;
                continue;
            }
            m_headerBytes += lineFeed + 1 - m_pos;
            m_pos = lineFeed + 1;
            QByteArrayView line(m_buffer.constData() + lineStart, lineFeed - lineStart);
            if (line.endsWith('\r'))
                line.chop(1);
            if (m_headerBytes > MaxHeader)
                fail(QStringLiteral("a header of over %1 bytes").arg(MaxHeader), frames);
            else
                readHeaderLine(line, frames);
            // A faulty line may hide the next header inside it.
            if (m_state == State::Resync && !line.isEmpty())
                m_pos = lineStart + 1;
        }
    }
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    return frames;
}

void LspMessageReader::readHeaderLine(QByteArrayView line, QList<LspFrame> &frames)
{
    if (line.isEmpty()) {
        // Stray line ends between messages are harmless.
        if (m_sawField)
            endHeader(frames);
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon < 0 || !isToken(line.first(colon))) {
        fail(QStringLiteral("a malformed header line"), frames);
        return;
    }
    m_sawField = true;
    if (line.first(colon).compare(LengthField, Qt::CaseInsensitive) != 0)
        return; // Content-Type, or a field of a later protocol version
    const qint64 length = readLength(line.sliced(colon + 1).trimmed());
    if (length < 0) {
        fail(QStringLiteral("a Content-Length that is not a byte count"), frames);
        return;
    }
    if (m_contentLength >= 0 && m_contentLength != length) {
        fail(QStringLiteral("two different Content-Length headers"), frames);
        return;
    }
    m_contentLength = length;
}

void LspMessageReader::endHeader(QList<LspFrame> &frames)
{
    if (m_contentLength < 0) {
        fail(QStringLiteral("a header without Content-Length"), frames);
        return;
    }
    m_remaining = m_contentLength;
    if (m_contentLength > m_maxBody) {
        frames.append({LspFrame::Kind::Oversize, QByteArray(),
                       QStringLiteral("a message of %1, over the limit of %2: skipped")
                               .arg(mebibytes(m_contentLength), mebibytes(m_maxBody))});
        m_state = State::Skip;
        return;
    }
    m_state = State::Body;
}

void LspMessageReader::fail(const QString &error, QList<LspFrame> &frames)
{
    frames.append({LspFrame::Kind::Malformed, QByteArray(),
                   error + QStringLiteral(": skipped to the next Content-Length")});
    m_state = State::Resync;
}

void LspMessageReader::startHeader()
{
    m_state = State::Header;
    m_remaining = 0;
    m_headerBytes = 0;
    m_contentLength = -1;
    m_sawField = false;
}

QByteArray frameMessage(const QByteArray &body)
{
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace VelkoMenuView
