// Reading source files: what makes a file unusable.
#include "menuview/files/sourcefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace VelkoMenuView {

namespace {

bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

// 1-based line of the first byte sequence that is no valid UTF-8.
int firstInvalidUtf8Line(const QByteArray &bytes)
{
    int line = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (!isUtf8(QByteArrayView(bytes).sliced(start, end - start)))
            return line;
        start = end + 1;
    }
    return line;
}

// "UTF-16" or "UTF-32" when the bytes look like such text: a byte-order mark,
// or zero bytes that all stand at one parity among many (the high bytes of
// ASCII characters). Empty otherwise.
QString wideEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\xFF\xFE\0\0", 4))
        || bytes.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)))
        return QStringLiteral("UTF-32");
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16");
    const qsizetype sample = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype zeros[2] = {0, 0};
    qsizetype asciiBesideZero = 0; // text characters in the units with a zero half
    for (qsizetype i = 0; i < sample; i += 2) {
        for (int half = 0; half < 2; ++half) {
            if (bytes[i + half] != '\0')
                continue;
            ++zeros[half];
            const uchar other = uchar(bytes[i + 1 - half]);
            if ((other >= 0x20 && other < 0x7F) || other == '\t' || other == '\n' || other == '\r')
                ++asciiBesideZero;
        }
    }
    const qsizetype units = sample / 2;
    const qsizetype zeroUnits = zeros[0] + zeros[1];
    const bool oneParity = (zeros[0] == 0) != (zeros[1] == 0);
    if (units >= 2 && oneParity && 4 * zeroUnits >= units && 10 * asciiBesideZero >= 9 * zeroUnits)
        return QStringLiteral("UTF-16");
    return QString();
}

// Data, not text, is full of control bytes; a source may hold a few (a zero
// byte is white space to the compiler), so only their share tells.
constexpr qsizetype BinarySample = 4096;

qsizetype controlBytes(QByteArrayView bytes)
{
    qsizetype count = 0;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\v' && u != '\f' && u != '\r')
            || u == 0x7F)
            ++count;
    }
    return count;
}

// Why `path` cannot be looked at, in the system's words: a symlink loop or a
// folder on the way that is not one says so rather than "no such file".
QString missingReason(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    const int failure = ::stat(name.constData(), &status) == 0 ? 0 : errno;
    if (failure == 0 || failure == ENOENT)
        return QStringLiteral("no such file");
    QString reason = QString::fromLocal8Bit(strerrordesc_np(failure));
    if (!reason.isEmpty())
        reason[0] = reason[0].toLower();
    return reason;
}

} // namespace

bool SourceFile::load(const QString &path, QString *error)
{
    m_path = path;
    const QFileInfo info(path);
    m_absolutePath = info.absoluteFilePath();
    if (!info.exists()) {
        *error = missingReason(path);
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
    const QString wide = wideEncoding(m_bytes);
    if (!wide.isEmpty()) {
        *error = QStringLiteral("is %1 text: save it as UTF-8").arg(wide);
        return false;
    }
    const qsizetype sample = qMin<qsizetype>(m_bytes.size(), BinarySample);
    const qsizetype controls = controlBytes(QByteArrayView(m_bytes).first(sample));
    if (controls * 8 > sample) {
        *error = QStringLiteral("is a binary file (%1 control bytes among the first %2)")
                         .arg(controls)
                         .arg(sample);
        return false;
    }
    if (!isUtf8(m_bytes)) {
        *error = QStringLiteral("is not UTF-8 text (an invalid byte sequence on line %1)")
                         .arg(firstInvalidUtf8Line(m_bytes));
        return false;
    }
    m_text = QString::fromUtf8(m_bytes);
    m_lines = LineMap(m_text);
    return true;
}

} // namespace VelkoMenuView
