// The gallery's page: one HTML file with no outside assets, readable without
// scripts, usable by keyboard; the menus file by file, the changes first.
#pragma once

#include "galleryjson.h"

#include <QByteArray>

QByteArray galleryHtml(const GalleryPage &page);
