// A C source file read as the tools and the studio read it: refused, with
// one set of reasons, when it is no UTF-8 text, and decoded as the view
// decodes a document.
#pragma once

#include "creader/linemap.h"

#include <QByteArray>
#include <QString>

namespace VelkoMenuView {

class SourceFile
{
public:
    // Larger files are refused rather than read into memory.
    static constexpr qint64 MaxSize = 64 * 1024 * 1024;

    // Reads `path`. On failure returns false and sets *error to the reason,
    // a phrase such as "no such file" or "is not UTF-8 text (an invalid
    // byte sequence on line 2)", to follow the file's name. A few zero bytes
    // are no reason: the compiler reads them as white space, and so do we.
    bool load(const QString &path, QString *error);

    QString path() const { return m_path; } // as given
    QString absolutePath() const { return m_absolutePath; }
    const QByteArray &bytes() const { return m_bytes; }
    const QString &text() const { return m_text; }
    const LineMap &lines() const { return m_lines; }

private:
    QString m_path;
    QString m_absolutePath;
    QByteArray m_bytes;
    QString m_text;
    LineMap m_lines;
};

} // namespace VelkoMenuView
