// Where the parts of a parsed menu definition stand in the text, so that
// diagnostics can point at them: the closing keyword, the title literal and
// each item's MENU_ITEM keyword with its argument list.
#pragma once

#include "menuwalk.h"

#include <QList>
#include <QStringView>

struct ItemSpan
{
    qsizetype keyword = -1; // MENU_ITEM
    qsizetype open = -1; // its "("
    qsizetype close = -1; // the ")" that ends its arguments
};

struct BlockLayout
{
    qsizetype closing = -1; // END_MENU or END_EDITABLE_MENU
    qsizetype title = -1; // opening quote of the title; -1 when there is none
    // One span per item text of the block; empty when the items found here
    // do not match the parser's item texts one by one.
    QList<ItemSpan> items;
};

BlockLayout layoutOf(QStringView text, const MenuBlock &block);
