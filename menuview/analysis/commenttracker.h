// Tracks whether a position of C source text lies inside a comment.
#pragma once

#include <QStringView>

// Fed one position at a time, in order. Deliberately simple: it knows
// nothing of literals (callers skip those where it matters), and "/*/"
// opens and closes a block comment at once.
class CommentTracker
{
public:
    void step(QStringView text, qsizetype pos);
    bool inComment() const { return m_lineComment || m_blockComment; }

private:
    bool m_lineComment = false;
    bool m_blockComment = false;
};
