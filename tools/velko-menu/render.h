// velko-menu render: the menu around a cursor position as a PNG and/or text
// art, or every menu of a file as PNG files.
#pragma once

#include "options.h"

class QTextStream;

namespace VelkoMenuView {

// Exit status: 0 done, 1 no menu there (or a menu that does not parse),
// 2 a file could not be read or written.
int runRender(const RenderOptions &options, const BuildOptions &build, QTextStream &out,
              QTextStream &err);

} // namespace VelkoMenuView
