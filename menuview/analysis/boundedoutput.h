// Output of one item line: the device formats into a 128-byte buffer, so at
// most 127 bytes survive and the rest is dropped silently.
#pragma once

#include "menuview/analysis/devicescreen.h"

#include <QString>

namespace VelkoMenuView {

class BoundedOutput
{
public:
    void append(const char *data, qsizetype size);
    void append(char c) { append(&c, 1); }
    // Costs no more than the room left, however large the count.
    void appendRepeated(char c, qint64 count);

    bool isFull() const { return m_size == DeviceScreen::FormatBytes; }
    // Decoded from UTF-8 up to the first zero byte; a sequence cut at the end
    // decodes to a replacement character.
    QString toString() const;

private:
    char m_data[DeviceScreen::FormatBytes] = {};
    qsizetype m_size = 0;
};

} // namespace VelkoMenuView
