// The progress line.
#include "progressline.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace VelkoMenuView {

ProgressLine::ProgressLine(QTextStream &err, qsizetype total)
    : m_err(isatty(fileno(stderr)) ? &err : nullptr)
    , m_total(total)
{ }

ProgressLine::~ProgressLine()
{
    if (m_err && m_width > 0)
        *m_err << '\r' << QString(m_width, u' ') << '\r' << Qt::flush;
}

void ProgressLine::step(const QString &what)
{
    ++m_done;
    if (!m_err)
        return;
    constexpr int Width = 79;
    QString line = QStringLiteral("[%1/%2] %3").arg(m_done).arg(m_total).arg(what);
    if (line.size() > Width)
        line = line.left(Width - 1) + QChar(0x2026);
    *m_err << '\r' << line.leftJustified(m_width) << Qt::flush;
    m_width = int(line.size());
}

} // namespace VelkoMenuView
