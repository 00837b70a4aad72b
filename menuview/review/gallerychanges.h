// What a change did to the screens: the menus of two galleries paired by file
// and name, and the device pixels that differ.
#pragma once

#include "menuview/review/gallerymodel.h"

namespace VelkoMenuView {

struct ScreenChange
{
    QString variant;
    int changedPixels = 0; // device pixels that differ, rows only one side has included
    QImage mask; // at magnification 1: the after screen, changed pixels marked; null if none
};

struct MenuChange
{
    enum class Kind { Added, Removed, Changed, Moved };
    Kind kind = Kind::Changed;
    qsizetype before = -1; // index into the earlier gallery's menus; -1 when added
    qsizetype after = -1; // index into the later gallery's; -1 when removed
    QList<ScreenChange> screens; // the variants whose screen differs
};

// The changes from `before` to `after`: the changed ones in the order of
// `after`, then the added and moved, then the removed. A menu whose name leaves one file and
// appears in another counts as moved; a moved menu lists the screens that differ too. `unchanged`
// gets the indexes into `after` of the menus that stayed as they were.
QList<MenuChange> compareGalleries(const Gallery &before, const Gallery &after,
                                   QList<qsizetype> *unchanged);

const char *changeKindName(MenuChange::Kind kind); // "added", "removed", ...

// The mask's colours: pixels lit only after, lit only before, unlit in a row
// only one side has, and lit alike (faded) on white.
constexpr QRgb LitNowColor = 0xFFE0301E;
constexpr QRgb UnlitNowColor = 0xFF1E78E0;
constexpr QRgb MaskAddedRowColor = 0xFFFFD8A8;
constexpr QRgb MaskFadedColor = 0xFFB0B0B0;

} // namespace VelkoMenuView
