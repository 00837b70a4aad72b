// The files a command reads: files as named, and the C sources and headers
// under folders, in a stable order.
#pragma once

#include <QStringList>

namespace VelkoMenuView {

// Each folder of `paths` becomes the .c and .h files under it (hidden
// folders and symbolic links to folders left out, so that no walk loops),
// sorted, named as the folder was plus their path below it; anything else
// stays as it is, to be read or refused as a file.
QStringList sourcePaths(const QStringList &paths);

} // namespace VelkoMenuView
