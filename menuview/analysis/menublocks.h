// Every menu definition of a text, in text order: each opening keyword starts
// one block, parsed with the text before it as its preamble, as the view
// would parse it with the cursor there.
#pragma once

#include "menuview/analysis/constantindex.h"
#include "menuview/analysis/keywordscan.h"
#include "menuview/analysis/menudefinition.h"
#include "menuview/analysis/menuparser.h"

#include <QList>
#include <QStringView>

namespace VelkoMenuView {

struct MenuBlock
{
    qsizetype start = -1; // the opening keyword
    bool parsed = false;
    MenuDefinition menu; // name, title and itemTexts
    MenuParse parse; // positions as offsets into the text
};

class MenuBlocks
{
public:
    enum class Keywords {
        Live, // as the compiler sees them
        Anywhere, // also in comments and literals: a commented-out menu still counts
    };

    explicit MenuBlocks(QStringView text, Keywords keywords = Keywords::Live);

    // The next block; false when no opening keyword is left. One pass over
    // the text in all, plus one over each block.
    bool next(MenuBlock &block);

private:
    qsizetype nextLive();
    qsizetype nextAnywhere();

    QStringView m_text;
    Keywords m_keywords;
    KeywordScan m_scan;
    ConstantIndex m_constants;
    qsizetype m_from = 0;
    qsizetype m_nextPlain = -2; // next occurrence of each keyword, for Anywhere
    qsizetype m_nextEditable = -2;
};

// The block whose opening keyword is the first one at or after `start`,
// parsed on its own: for one menu, where a walk over all of them is not needed.
MenuBlock parseBlockAt(QStringView text, qsizetype start);

// All blocks of a text, live keywords only.
QList<MenuBlock> menuBlocks(QStringView text);

} // namespace VelkoMenuView
