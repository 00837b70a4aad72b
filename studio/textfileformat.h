// How a text file is laid out in bytes apart from its characters: the end
// of each line and whether it starts with a UTF-8 byte-order mark. The
// editor works on text with "\n" alone; saving writes the file's own layout
// back, so that only what was edited changes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace VelkoMenuView {

class TextFileFormat
{
public:
    enum class LineEnding { Lf, CrLf, Cr };

    // The layout of `bytes`, line by line. Their first line ending is the
    // file's (a file without one gets "\n"), as editors commonly take it.
    static TextFileFormat detect(const QByteArray &bytes);

    // The characters of `bytes` with every line ending as "\n" and no mark.
    QString decode(const QByteArray &bytes) const;
    // `text` ("\n" line ends) in this layout: a line that is still one of
    // the detected text keeps its own ending; an edited line keeps the
    // ending of the line it took the place of, and a new line takes that of
    // the line before it (the file's ending at the top).
    QByteArray encode(const QString &text) const;

private:
    LineEnding m_lineEnding = LineEnding::Lf;
    bool m_byteOrderMark = false;
    // Of the detected text: each line's hash, and the endings of all but the last.
    QList<size_t> m_lineHashes;
    QList<LineEnding> m_lineEndings;
};

} // namespace VelkoMenuView
