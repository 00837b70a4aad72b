// Every menu definition of a text, in text order: each opening keyword starts
// one block, parsed as the view would parse it with the cursor there, and the
// closing macros that close no menu.
#pragma once

#include "menuview/analysis/menudefinition.h"
#include "menuview/analysis/menuparser.h"
#include "menuview/analysis/sourcetext.h"

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

    // Closing keywords of code, met so far, that close no menu.
    const QList<KeywordHit> &strayClosings() const { return m_strays; }

    SourceText &source() { return m_source; }

private:
    qsizetype nextLive();
    qsizetype nextAnywhere();

    SourceText m_source;
    Keywords m_keywords;
    SourceReader m_scan;
    qsizetype m_liveAt = -2; // the next live opening keyword, for Anywhere; -1: none left
    qsizetype m_from = 0;
    qsizetype m_blockEnd = 0; // where the last block's closing macro ended
    QList<KeywordHit> m_strays;
    qsizetype m_nextPlain = -2; // next occurrence of each keyword, for Anywhere
    qsizetype m_nextEditable = -2;
};

// The block whose opening keyword is the first one at or after `start`,
// parsed on its own: for one menu, where a walk over all of them is not needed.
MenuBlock parseBlockAt(QStringView text, qsizetype start);
// The same within a text whose reading has come at least as far as `start`.
MenuBlock parseBlockAt(SourceText &source, qsizetype start);

// All blocks of a text, live keywords only.
QList<MenuBlock> menuBlocks(QStringView text);

} // namespace VelkoMenuView
