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

// The one line index of a text, for the pane, the tools and the language
// server alike. It marks the start of every MarkStep-th line, found only as
// far as a question needs and kept through edits; a question counts the
// lines from the nearest mark. It reads the text through a view: the text
// must outlive it, and every change to the text must be told with update().
class LineMap
{
public:
    LineMap() = default;
    explicit LineMap(QStringView text)
        : m_text(text)
    { }

    // Follows an edit that replaced `removed` characters at `from` with
    // `inserted` ones, giving `text`: only the lines around it are looked at.
    void update(QStringView text, qsizetype from, qsizetype removed, qsizetype inserted);

    int lineCount() const;
    // Offset of the first character of `line`; -1 when there is no such line.
    qsizetype lineStart(int line) const;
    // Length of `line` without its line end; 0 when there is no such line.
    qsizetype lineLength(int line) const;
    // The position of `offset`, clamped into the text.
    TextPosition position(qsizetype offset) const;
    // Offset of the character just after a line and column. Lines past the
    // last one wrap around to the start of the text; the column is added
    // unchecked, so the offset may lie outside the text.
    qsizetype cursorOffset(qint32 line, qint32 column) const;

private:
    static constexpr qsizetype MarkStep = 64;
    // Marks up to the one at `mark`, or all the text has.
    void markTo(qsizetype mark) const;

    QStringView m_text;
    // The starts of lines 1, 1 + MarkStep, 1 + 2 * MarkStep ...
    mutable QList<qsizetype> m_marks {0};
    mutable int m_lineCount = -1; // once the last mark is found
    mutable qsizetype m_lastStart = 0; // the line of the last position asked for
    mutable int m_lastLine = 1;
};

} // namespace VelkoMenuView
