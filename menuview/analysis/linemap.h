// Offsets of a text to editor lines and columns and back: lines and columns
// count from 1, a column in UTF-16 code units as the editor counts it.
#pragma once

#include <QList>
#include <QStringView>

namespace VelkoMenuView {

struct TextPosition
{
    int line = 0;
    int column = 0;
};

class LineMap
{
public:
    LineMap() = default;
    explicit LineMap(QStringView text);

    int lineCount() const { return int(m_starts.size()); }
    // Offset of the first character of `line`; -1 when there is no such line.
    qsizetype lineStart(int line) const;
    // Length of `line` without its line feed; 0 when there is no such line.
    qsizetype lineLength(int line) const;
    // The position of `offset`, clamped into the text.
    TextPosition position(qsizetype offset) const;

    // The same for one offset, without a map: one pass up to the offset, or
    // only over the lines between it and a line whose start is known.
    static TextPosition positionIn(QStringView text, qsizetype offset);
    static TextPosition positionNear(QStringView text, qsizetype offset, qsizetype knownLineStart,
                                     int knownLine);

private:
    QList<qsizetype> m_starts {0};
    qsizetype m_size = 0;
};

} // namespace VelkoMenuView
