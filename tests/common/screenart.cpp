// Text art of the frame buffer and snapshot files for the test suites.
#include "screenart.h"

#include "devicegfx/gfx.h"

#include <QFile>

#include <cstring>

namespace ScreenArt {

Buffer frameBuffer()
{
    Buffer b;
    std::memcpy(b.data(), gfxFrameBuffer, b.size());
    return b;
}

Buffer expectedBytes(uint8_t fill, const QString &changes)
{
    Buffer b;
    b.fill(fill);
    for (const QString &change : changes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = change.split(QLatin1Char(':'));
        b[size_t(parts.value(0).toInt())] = uint8_t(parts.value(1).toUInt(nullptr, 16));
    }
    return b;
}

QString describeDifference(const Buffer &expected, const Buffer &actual)
{
    QStringList diffs;
    for (size_t i = 0; i < expected.size() && diffs.size() < 8; ++i) {
        if (expected[i] != actual[i])
            diffs << QStringLiteral("byte %1: expected %2, got %3")
                             .arg(i)
                             .arg(expected[i], 2, 16, QLatin1Char('0'))
                             .arg(actual[i], 2, 16, QLatin1Char('0'));
    }
    return diffs.join(QLatin1Char('\n'));
}

QString capture(int x, int y, int w, int h)
{
    QString art;
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            const bool lit = gfxFrameBuffer[128 * (row / 8) + col] >> (row % 8) & 1;
            art += lit ? QLatin1Char('#') : QLatin1Char('.');
        }
        art += QLatin1Char('\n');
    }
    return art;
}

QString deviceRow(const QString &text, bool inverted)
{
    gfxClear();
    gfxPrint(0, 0, "%s", text.toUtf8().constData());
    if (inverted)
        gfxBox(0, 0, 127, 7, DrawInvert);
    return capture(0, 0, 128, 8);
}

QString sideBySide(const QString &expected, const QString &actual)
{
    const QStringList left = expected.split(QLatin1Char('\n'));
    const QStringList right = actual.split(QLatin1Char('\n'));
    qsizetype width = 0;
    for (const QString &line : left)
        width = qMax(width, line.size());
    QString out;
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const QString l = left.value(i);
        const QString r = right.value(i);
        out += l.leftJustified(width) + QLatin1String(" | ") + r
                + (l == r ? QString() : QStringLiteral("  <")) + QLatin1Char('\n');
    }
    return out;
}

bool matchesSnapshot(const QString &relativePath, const QString &art, QString *message)
{
    const QString path = qEnvironmentVariable("VELKO_SOURCE_DIR") + QLatin1Char('/') + relativePath;
    QFile file(path);
    if (qEnvironmentVariableIntValue("VELKO_UPDATE_SNAPSHOTS") == 1) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *message = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        file.write(art.toUtf8());
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("cannot read %1 (run with VELKO_UPDATE_SNAPSHOTS=1 to create it)")
                           .arg(path);
        return false;
    }
    const QString stored = QString::fromUtf8(file.readAll());
    if (stored == art)
        return true;
    *message = QStringLiteral("%1 is out of date (expected | actual); run with "
                              "VELKO_UPDATE_SNAPSHOTS=1 to accept:\n%2")
                       .arg(path, sideBySide(stored, art));
    return false;
}

} // namespace ScreenArt
