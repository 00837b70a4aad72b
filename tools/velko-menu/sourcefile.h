// A C source file as the tool reads it: refused when it is no UTF-8 text,
// decoded exactly as the pane decodes a document, and able to turn text
// offsets into editor lines and columns and back.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct SourcePosition
{
    int line = 0; // from 1
    int column = 0; // from 1, in UTF-16 code units like the editor's column
};

class SourceFile
{
public:
    // Larger files are refused rather than read into memory.
    static constexpr qint64 MaxSize = 64 * 1024 * 1024;

    // Reads `path`. On failure returns false and sets *error to the reason,
    // a phrase such as "no such file".
    bool load(const QString &path, QString *error);

    QString path() const { return m_path; } // as given
    QString absolutePath() const { return m_absolutePath; }
    const QByteArray &bytes() const { return m_bytes; }
    const QString &text() const { return m_text; }

    int lineCount() const { return int(m_lineStarts.size()); }
    // Offset of the first character of `line`; -1 when there is no such line.
    qsizetype lineStart(int line) const;
    // Length of `line` in UTF-16 code units, without its line feed.
    qsizetype lineLength(int line) const;
    SourcePosition position(qsizetype offset) const;

private:
    QString m_path;
    QString m_absolutePath;
    QByteArray m_bytes;
    QString m_text;
    QList<qsizetype> m_lineStarts;
};
