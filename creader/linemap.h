// Offsets of a text to editor lines and columns and back: lines end at LF,
// CR LF or a lone CR; lines and columns count from 1, a column in UTF-16
// code units as the editor counts it.
#pragma once

#include <QList>
#include <QStringView>

namespace VelkoMenuView {

struct TextPosition
{
    int line = 0;
    int column = 0;
};

// Successive line starts of a text, each line end found once.
class LineEnds
{
public:
    explicit LineEnds(QStringView text)
        : m_text(text)
    { }
    // The start of the line after the one `pos` is in; -1 when there is none.
    qsizetype nextLineStart(qsizetype pos);
    // Line ends in the text between `from` and `to`.
    static qsizetype count(QStringView text, qsizetype from, qsizetype to);
    // The start of the line `lines` line ends after `from`; -1, with the
    // number of line ends there are in *found, when the text has fewer.
    static qsizetype skip(QStringView text, qsizetype from, qsizetype lines, qsizetype *found);

private:
    QStringView m_text;
    qsizetype m_lineFeed = -2; // the next of each found so far; -1 when there is none
    qsizetype m_carriageReturn = -2;
};

class LineMap
{
public:
    LineMap() = default;
    explicit LineMap(QStringView text);

    int lineCount() const { return int(m_starts.size()); }
    // Offset of the first character of `line`; -1 when there is no such line.
    qsizetype lineStart(int line) const;
    // Length of `line` without its line end; 0 when there is no such line.
    qsizetype lineLength(int line) const;
    // The position of `offset`, clamped into the text.
    TextPosition position(qsizetype offset) const;
    // Follows an edit that replaced `removed` characters at `from` with
    // `inserted` ones, giving `text`: only the lines around it are looked at.
    void replace(QStringView text, qsizetype from, qsizetype removed, qsizetype inserted);

    // The same for one offset, without a map: one pass up to the offset, or
    // only over the lines between it and a line whose start is known.
    static TextPosition positionIn(QStringView text, qsizetype offset);
    static TextPosition positionNear(QStringView text, qsizetype offset, qsizetype knownLineStart,
                                     int knownLine);

private:
    QList<qsizetype> m_starts {0};
    QList<qsizetype> m_ends; // where each line's line end starts
    qsizetype m_size = 0;
};

} // namespace VelkoMenuView
