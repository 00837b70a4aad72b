// What a document's text says of the menus whose values the store keeps:
// the items of each menu that was read completely, and the menus that keep
// all their values because they were not (a definition that does not parse,
// a text or title the reader cannot follow, texts another variant of the
// build may give).
#pragma once

#include "creader/sourcereader.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QStringView>

namespace VelkoMenuView {

struct MenuClaims
{
    struct Block
    {
        QStringList texts;
        QStringList tags;
    };

    // Blocks read completely, by menu name; blocks of one name pool their items.
    QHash<QString, QList<Block>> menus;
    // Menus that keep every value.
    QSet<QString> keepAll;
    // False when a definition did not parse: then no menu of the document
    // counts as gone.
    bool complete = true;
};

// Reads every menu of `text`, also those in comments and in conditional
// groups the build leaves out, as `context` says the file is built.
MenuClaims readMenuClaims(QStringView text, const ReadOptions &context = {});

} // namespace VelkoMenuView
