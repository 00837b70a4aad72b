// velko-menu check: reports, file by file, the menu definitions that do not
// parse and what the screen would cut, skip or show as written.
#pragma once

#include "options.h"

class QTextStream;

namespace VelkoMenuView {

// Exit status: 0 clean, 1 errors (or warnings with --werror), 2 a file
// could not be read.
int runCheck(const CheckOptions &options, const BuildOptions &build, QTextStream &out,
             QTextStream &err);

} // namespace VelkoMenuView
