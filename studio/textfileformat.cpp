// Reading and writing a file's line endings and byte-order mark.
#include "textfileformat.h"

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

} // namespace

TextFileFormat TextFileFormat::detect(const QByteArray &bytes)
{
    TextFileFormat format;
    format.m_byteOrderMark = bytes.startsWith(ByteOrderMark);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            break;
        if (bytes[i] == '\r') {
            format.m_lineEnding = i + 1 < bytes.size() && bytes[i + 1] == '\n' ? LineEnding::CrLf
                                                                               : LineEnding::Cr;
            break;
        }
    }
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
    QByteArray bytes = text.toUtf8();
    switch (m_lineEnding) {
    case LineEnding::Lf:
        break;
    case LineEnding::CrLf:
        bytes.replace('\n', "\r\n");
        break;
    case LineEnding::Cr:
        bytes.replace('\n', '\r');
        break;
    }
    return m_byteOrderMark ? ByteOrderMark + bytes : bytes;
}
