// The menu keywords of C source as the compiler sees them, found faster than
// by reading every token: comments and literals are skipped whole, and only
// identifiers are looked at closely.
#pragma once

#include "menuview/analysis/menukeywords.h"

#include <QStringView>

namespace VelkoMenuView {

struct KeywordHit
{
    MenuKeyword keyword = MenuKeyword::None; // None: no keyword left
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Agrees with CScanner on what is code: a keyword it finds is an identifier
// token of CScanner, and the other way round.
class KeywordScan
{
public:
    explicit KeywordScan(QStringView text, qsizetype from = 0)
        : m_text(text)
        , m_pos(from)
    { }

    // The next keyword that starts before `limit` (the text's end by default).
    KeywordHit next(qsizetype limit = -1);

private:
    QStringView m_text;
    qsizetype m_pos;
};

} // namespace VelkoMenuView
