// How a text file is laid out in bytes apart from its characters: its line
// ending and whether it starts with a UTF-8 byte-order mark. The editor works
// on text with "\n" alone; saving writes the file's own layout back.
#pragma once

#include <QByteArray>
#include <QString>

class TextFileFormat
{
public:
    enum class LineEnding { Lf, CrLf, Cr };

    // The layout of `bytes`: the first line ending decides for the whole
    // file (a file without one gets "\n"), as editors commonly do.
    static TextFileFormat detect(const QByteArray &bytes);

    // The characters of `bytes` with every line ending as "\n" and no mark.
    QString decode(const QByteArray &bytes) const;
    // `text` ("\n" line ends) in this layout.
    QByteArray encode(const QString &text) const;

    LineEnding lineEnding() const { return m_lineEnding; }
    bool hasByteOrderMark() const { return m_byteOrderMark; }

private:
    LineEnding m_lineEnding = LineEnding::Lf;
    bool m_byteOrderMark = false;
};
