// The gallery's page: one HTML file with no outside assets, readable without
// scripts, usable by keyboard; the menus file by file, the changes first.
#pragma once

#include "menuview/review/galleryjson.h"

#include <QByteArray>

namespace VelkoMenuView {

QByteArray galleryHtml(const GalleryPage &page);

} // namespace VelkoMenuView
