// The menu as the device shows it, drawn by the device graphics library:
// the inverted title bar with its clock, then one row per item line.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QColor>
#include <QImage>
#include <QTime>

namespace VelkoMenuView {

struct ScreenColors
{
    QColor lit = Qt::black;
    QColor unlit = QColor(0xF4, 0xF4, 0xF4); // Qt::transparent lets the background show
};

// The menu's title and item lines at `magnification` (1 to 16; a null image
// otherwise): 128 x 8 device pixels per row, each a square of
// magnification x magnification image pixels. The title row shows `clock`.
QImage renderMenu(const MenuDefinition &menu, QTime clock, int magnification,
                  const ScreenColors &colors = ScreenColors());

// Marks the device screen's lower edge on `screen`, an image renderMenu drew
// at `magnification` with `unlit` for unlit pixels: a dashed line of `mark`
// along the first pixel row below the 64 rows the device shows, over unlit
// pixels only, so that every lit pixel stays and a pixel of any other colour
// than the lit one still reads as unlit. Nothing for a menu that fits.
void markScreenEdge(QImage &screen, int magnification, QColor unlit, QColor mark);
// The mark's place at `magnification`, for pictures drawn otherwise: its
// image row, and whether image column x lies in one of its dashes.
int screenEdgeRow(int magnification);
bool inScreenEdgeDash(int x, int magnification);

// Page 0 of the device frame buffer at magnification 1.
QImage pageImage(const ScreenColors &colors);

// Text art of an image rendered at magnification 1 with the default colours:
// '#' lit, '.' unlit, one line per pixel row.
QString screenArt(const QImage &screen);

} // namespace VelkoMenuView
