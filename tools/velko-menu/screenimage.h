// The pane's screen as an image or as text art: exactly the pixels that
// MenuItems paints, lit where it paints and unlit where it leaves the
// background showing through.
#pragma once

#include "theme.h"

#include <QImage>
#include <QString>

class MenuItems;

// 128 x scale pixels wide, 8 x scale per screen row.
QImage screenImage(MenuItems &view, int scale, const Theme &theme);

// At scale 1: one line per pixel row, '#' lit and '.' unlit.
QString screenArt(MenuItems &view);
