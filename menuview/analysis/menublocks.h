// Every menu definition of a text, in text order: each opening keyword starts
// one block, parsed as the view would parse it with the cursor there, and the
// closing macros that close no menu.
#pragma once

#include "creader/sourcereading.h"
#include "menuview/analysis/menudefinition.h"
#include "menuview/analysis/menulocator.h"
#include "menuview/analysis/menuparser.h"

#include <QList>
#include <QStringView>

#include <memory>

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
        // Also in comments, literals and groups the build leaves out: a menu
        // commented out or of another variant still counts.
        Anywhere,
    };
    enum class Branches {
        Compiled, // the menus the build compiles
        All, // also those of conditional groups it leaves out, each read as if taken
    };

    explicit MenuBlocks(QStringView text, Keywords keywords = Keywords::Live,
                        const ReadOptions &context = {}, Branches branches = Branches::Compiled);
    // A walk over a reading the caller keeps: keywords it found before are
    // taken from it, and what this walk reads stays in it.
    explicit MenuBlocks(SourceReading &source, Branches branches = Branches::Compiled);

    // The next block; false when no opening keyword is left. One pass over
    // the text in all, plus one over each block.
    bool next(MenuBlock &block);

    // Closing keywords of code, met so far, that close no menu.
    const QList<KeywordHit> &strayClosings() const { return m_strays; }
    // Whether an invocation wrote more than one menu: the walk gives its
    // first only, as all of them stand at the invocation.
    bool passedWrittenMenus() const { return m_passedWritten; }

    SourceReading &source() { return m_source; }

private:
    KeywordHit nextLive();
    qsizetype nextAnywhere();

    std::unique_ptr<SourceReading> m_own; // the reading, unless the caller keeps it
    SourceReading &m_source;
    Keywords m_keywords;
    Branches m_branches;
    SourceReader m_scan;
    qsizetype m_liveAt = -2; // the next live opening keyword, for Anywhere; -1: none left
    qsizetype m_from = 0;
    qsizetype m_blockEnd = 0; // where the last block's closing macro ended
    QList<KeywordHit> m_strays;
    qsizetype m_nextPlain = -2; // next occurrence of each keyword, for Anywhere
    qsizetype m_nextEditable = -2;
    qsizetype m_lastStart = -1;
    bool m_passedWritten = false;
};

// The block whose opening keyword is the first one at or after `start`,
// parsed on its own: for one menu, where a walk over all of them is not
// needed, within a text whose reading has come at least as far as `start`.
MenuBlock parseBlockAt(SourceReading &source, qsizetype start);
// The block a cursor was found in, read as the location says: with the
// groups taken that a menu of another variant needs.
MenuBlock parseLocatedBlock(SourceReading &source, const MenuLocation &location);

} // namespace VelkoMenuView
