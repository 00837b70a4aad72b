// A progress line on standard error, as build tools print one: "[12/340]
// path", written over itself; nothing at all when standard error is no
// terminal, so that logs and pipes stay clean.
#pragma once

#include <QString>

class QTextStream;

namespace VelkoMenuView {

class ProgressLine
{
public:
    ProgressLine(QTextStream &err, qsizetype total);
    ~ProgressLine(); // clears the line
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void step(const QString &what);

private:
    QTextStream *m_err = nullptr; // null when standard error is no terminal
    qsizetype m_total = 0;
    qsizetype m_done = 0;
    int m_width = 0; // of the line last written
};

} // namespace VelkoMenuView
