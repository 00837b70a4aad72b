// Which menu definition a cursor stands in.
#pragma once

#include <QList>
#include <QStringView>

namespace VelkoMenuView {

struct SourceReading;

// How far the way from a cursor to a screen came. Locating settles the
// first four (the definition found is Inside); the preview reads that on to
// Shown or CannotRead.
enum class MenuOutcome {
    NoMenu, // the cursor stands in no definition
    Unsettled, // the closing macro before the cursor has no "(" or "," yet: keep what is shown
    StrayClosing, // a closing macro that closes no menu: at `start` (the preview's `failure`)
    Inside, // the cursor is in the definition that starts at `start`
    Shown, // the menu is complete, its lines formatted with the stored values
    CannotRead, // the definition does not parse: the preview's `failure`, at `failureAt`
};

struct MenuLocation
{
    using Outcome = MenuOutcome;
    Outcome outcome = Outcome::NoMenu;
    qsizetype start = -1; // the opening keyword, for Inside
    // For a definition in a conditional group the build leaves out: the
    // directive of the outermost such group, and the groups to take to read
    // it as the developer edits it.
    qsizetype inactiveGroup = -1;
    QList<qsizetype> takenGroups;
};

// The definition around `offset`: the nearest opening keyword at or before
// it, unless the closing macro that belongs to it ends before the cursor. A
// definition in a group that is not compiled is read with that group taken.
// The cursor counts as inside up to and including the closing macro's ")"; a
// closing macro whose title literal is not terminated yet reaches to the end
// of the text. Keywords count as the compiler sees them. `source` keeps what
// the reading learnt, for parsing the menu found.
MenuLocation locateMenuAt(SourceReading &source, qsizetype offset);

struct KeywordHit;
// The conditional groups to take, outermost first, so that `keyword` (read
// in `source`) is compiled; empty when it cannot be.
QList<qsizetype> groupsToTake(SourceReading &source, const KeywordHit &keyword);

} // namespace VelkoMenuView
