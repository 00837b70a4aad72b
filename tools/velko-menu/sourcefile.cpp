// Reading source files: what makes a file unusable, and line bookkeeping.
#include "sourcefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextCodec>

#include <algorithm>

namespace {

// 1-based line of the first byte sequence that is no valid UTF-8.
int firstInvalidUtf8Line(const QByteArray &bytes)
{
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        Q_UNUSED(decoded);
        if (decoder.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return line;
}

} // namespace

bool SourceFile::load(const QString &path, QString *error)
{
    m_path = path;
    const QFileInfo info(path);
    m_absolutePath = info.absoluteFilePath();
    if (!info.exists()) {
        *error = QStringLiteral("no such file");
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("is a directory");
        return false;
    }
    // Devices and pipes could block or never end.
    if (!info.isFile()) {
        *error = QStringLiteral("is not a regular file");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot be opened: %1").arg(file.errorString());
        return false;
    }
    m_bytes = file.read(MaxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot be read: %1").arg(file.errorString());
        return false;
    }
    if (m_bytes.size() > MaxSize) {
        *error = QStringLiteral("is too large (the limit is %1 MiB)").arg(MaxSize / (1024 * 1024));
        return false;
    }
    const qsizetype zero = m_bytes.indexOf('\0');
    if (zero >= 0) {
        *error = QStringLiteral("is a binary file (a zero byte on line %1)")
                         .arg(m_bytes.first(zero).count('\n') + 1);
        return false;
    }
    QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString checked = check.decode(m_bytes);
    Q_UNUSED(checked);
    if (check.hasError()) {
        *error = QStringLiteral("is not UTF-8 text (an invalid byte sequence on line %1)")
                         .arg(firstInvalidUtf8Line(m_bytes));
        return false;
    }

    // The pane's own decoding, so that offsets, lines and columns agree with it.
    m_text = QTextCodec::codecForName("UTF-8")->toUnicode(m_bytes);
    m_lineStarts = {0};
    for (qsizetype i = m_text.indexOf(QLatin1Char('\n')); i >= 0;
         i = m_text.indexOf(QLatin1Char('\n'), i + 1))
        m_lineStarts.append(i + 1);
    return true;
}

qsizetype SourceFile::lineStart(int line) const
{
    return line >= 1 && line <= lineCount() ? m_lineStarts[line - 1] : -1;
}

qsizetype SourceFile::lineLength(int line) const
{
    const qsizetype start = lineStart(line);
    if (start < 0)
        return 0;
    const qsizetype end = line < lineCount() ? m_lineStarts[line] - 1 : m_text.size();
    return end - start;
}

SourcePosition SourceFile::position(qsizetype offset) const
{
    offset = qBound(qsizetype(0), offset, m_text.size());
    const auto next = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    const qsizetype index = (next - m_lineStarts.cbegin()) - 1;
    return {int(index + 1), int(offset - m_lineStarts[index] + 1)};
}
