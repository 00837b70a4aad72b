// Line and block comment states of CommentTracker.
#include "menuview/analysis/commenttracker.h"

void CommentTracker::step(QStringView text, qsizetype pos)
{
    const QChar current = text[pos];
    const QChar next = pos + 1 < text.size() ? text[pos + 1] : QChar();

    if (!m_blockComment && current == u'/' && next == u'/')
        m_lineComment = true;
    if (m_lineComment && current == u'\n')
        m_lineComment = false;
    if (!m_lineComment && current == u'/' && next == u'*')
        m_blockComment = true;
    if (m_blockComment && current == u'*' && next == u'/')
        m_blockComment = false;
}
