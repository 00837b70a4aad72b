// The 127-byte output of an item line.
#include "menuview/analysis/boundedoutput.h"

#include <cstring>

namespace VelkoMenuView {

void BoundedOutput::append(const char *data, qsizetype size)
{
    const qsizetype n = qMin(size, DeviceScreen::FormatBytes - m_size);
    if (n <= 0)
        return;
    std::memcpy(m_data + m_size, data, size_t(n));
    m_size += n;
}

void BoundedOutput::appendRepeated(char c, qint64 count)
{
    const qsizetype n = qsizetype(qMin<qint64>(count, DeviceScreen::FormatBytes - m_size));
    if (n <= 0)
        return;
    std::memset(m_data + m_size, c, size_t(n));
    m_size += n;
}

QString BoundedOutput::toString() const
{
    return QString::fromUtf8(m_data, qsizetype(qstrnlen(m_data, size_t(m_size))));
}

} // namespace VelkoMenuView
