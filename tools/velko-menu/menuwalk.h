// Every menu definition of a text: one block per occurrence of an opening
// keyword, in text order, parsed as the pane would parse it with the cursor
// there, with the parser's own report of why a block does not parse.
#pragma once

#include "menuview/analysis/menudefinition.h"
#include "menuview/analysis/menuparser.h"

#include <QList>
#include <QStringView>

struct MenuBlock
{
    qsizetype start = -1; // offset of the opening keyword
    bool editable = false; // BEGIN_EDITABLE_MENU rather than BEGIN_MENU
    bool parsed = false;
    ParseError error = ParseError::None;
    qsizetype errorOffset = -1; // offset of the keyword at fault, -1 when parsed
    MenuDefinition menu; // name, title and itemTexts
};

QList<MenuBlock> findMenuBlocks(QStringView text);

// The block the pane picks for a cursor just before `offset`: the last one
// starting at or before it; nullptr when there is none.
const MenuBlock *blockAround(const QList<MenuBlock> &blocks, qsizetype offset);
