// Reading and writing a file's line endings and byte-order mark.
#include "textfileformat.h"

#include "linematch.h"

#include <QHash>

namespace VelkoMenuView {

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

// Beyond this many inserted and removed lines in one save, the lines between
// the common first and last ones take their endings by position.
constexpr qsizetype MaxMatchedEdits = 1000;

QList<size_t> lineHashes(QStringView text)
{
    QList<size_t> hashes;
    for (const QStringView line : text.tokenize(u'\n'))
        hashes.append(qHash(line));
    return hashes;
}

const char *bytesOf(TextFileFormat::LineEnding ending)
{
    using LineEnding = TextFileFormat::LineEnding;
    return ending == LineEnding::CrLf ? "\r\n" : ending == LineEnding::Cr ? "\r" : "\n";
}

} // namespace

TextFileFormat TextFileFormat::detect(const QByteArray &bytes)
{
    TextFileFormat format;
    format.m_byteOrderMark = bytes.startsWith(ByteOrderMark);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            format.m_lineEndings.append(LineEnding::Lf);
        } else if (bytes[i] == '\r') {
            const bool crLf = i + 1 < bytes.size() && bytes[i + 1] == '\n';
            format.m_lineEndings.append(crLf ? LineEnding::CrLf : LineEnding::Cr);
            i += crLf ? 1 : 0;
        }
    }
    if (!format.m_lineEndings.isEmpty())
        format.m_lineEnding = format.m_lineEndings.constFirst();
    format.m_lineHashes = lineHashes(format.decode(bytes));
    return format;
}

QString TextFileFormat::decode(const QByteArray &bytes) const
{
    QString text = QString::fromUtf8(m_byteOrderMark && bytes.startsWith(ByteOrderMark)
                                             ? bytes.mid(ByteOrderMark.size())
                                             : bytes);
    // A lone "\r" ends a line for the compiler too.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArray TextFileFormat::encode(const QString &text) const
{
    const QList<size_t> hashes = lineHashes(text);
    const qsizetype count = hashes.size();
    const QList<qsizetype> match = matchLines(m_lineHashes, hashes, MaxMatchedEdits);
    // The next kept line after each line, now and before: the lines between
    // two kept ones took the place of those between them before.
    QList<qsizetype> nextKeptNow(count + 1, count);
    QList<qsizetype> nextKept(count + 1, m_lineHashes.size());
    for (qsizetype i = count - 1; i >= 0; --i) {
        nextKeptNow[i] = match[i] >= 0 ? i : nextKeptNow[i + 1];
        nextKept[i] = match[i] >= 0 ? match[i] : nextKept[i + 1];
    }

    QByteArray bytes = m_byteOrderMark ? ByteOrderMark : QByteArray();
    bytes.reserve(bytes.size() + text.size() * 3 / 2 + count);
    LineEnding previous = m_lineEnding;
    qsizetype lastKept = -1; // before
    qsizetype lastKeptNow = -1;
    qsizetype i = 0;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        bytes += line.toUtf8();
        if (i + 1 < count) {
            // The line whose ending this one keeps, before.
            qsizetype owner = -1;
            if (match[i] >= 0) {
                owner = lastKept = match[i];
                lastKeptNow = i;
            } else {
                const qsizetype first = lastKept + 1;
                const qsizetype replaced = nextKept[i] - first;
                const qsizetype at = i - (lastKeptNow + 1);
                // Joined lines end as the last of them did; a split or
                // edited line as the one it took the place of.
                if (i == nextKeptNow[i] - 1 && replaced > 0)
                    owner = nextKept[i] - 1;
                else if (at < replaced)
                    owner = first + at;
            }
            if (owner >= 0 && owner < m_lineEndings.size())
                previous = m_lineEndings[owner];
            bytes += bytesOf(previous);
        }
        ++i;
    }
    return bytes;
}

} // namespace VelkoMenuView
