// What a gallery holds: every menu of a tree, file by file, as each variant
// of the build reads it, with its screen and its findings.
#pragma once

#include "menuview/checks/diagnostic.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace VelkoMenuView {

// A menu as one variant reads it.
struct MenuShot
{
    bool present = false; // false: the variant compiles no menu of this name here
    int line = 0; // the opening keyword's line
    int lastLine = 0;
    QString title;
    int items = 0;
    QString failure; // why the definition does not parse; empty when it is shown
    QList<PlacedFinding> findings;
    QImage screen; // at magnification 1, lit black on unlit white; null when not shown
    QString png; // the picture's path inside the gallery's folder
};

struct GalleryMenu
{
    QString file; // as the user named it (for a revision: as the work tree names it)
    QString name;
    QString key; // the name, with "#2", "#3", ... for a name met again in the same file
    QList<MenuShot> shots; // one per variant, in the gallery's order
    QString text; // name, title and item texts of every variant, for the filter

    const MenuShot *firstShot() const;
};

// A file's findings that belong to no menu (a closing macro that closes none).
struct FileNotes
{
    QString file;
    QList<PlacedFinding> findings;
};

struct Gallery
{
    QStringList variants; // names; one empty name without --variant
    QList<GalleryMenu> menus; // by file as named, then by position
    QList<FileNotes> notes;
    QStringList unreadable; // "FILE: reason"
};

// Device pixels of a screen: lit or not.
bool litPixel(const QImage &screen, int x, int y);

} // namespace VelkoMenuView
