// Why a menu definition does not parse, in words, for `check`, `render` and
// the language server.
#pragma once

#include "menuview/analysis/menublocks.h"

#include <QString>

namespace VelkoMenuView {
class LineMap;
}

// The message for a block that failed to parse; it belongs at
// block.parse.errorOffset (the block's start when that is -1).
QString parseErrorMessage(QStringView text, const VelkoMenuView::LineMap &lines,
                          const VelkoMenuView::MenuBlock &block);
