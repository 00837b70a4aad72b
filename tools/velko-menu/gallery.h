// velko-menu gallery: every menu of a tree on one page, with what a change
// did to the screens when compared with a gallery or a git revision.
#pragma once

#include "options.h"

class QTextStream;

namespace VelkoMenuView {

// Exit status: 0 written, 1 with --fail-on-change when a menu changed, 2 a
// file could not be read or the folder not written.
int runGallery(const GalleryOptions &options, const BuildOptions &build, QTextStream &out,
               QTextStream &err);

} // namespace VelkoMenuView
