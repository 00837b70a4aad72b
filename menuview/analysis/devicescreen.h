// The device screen's rules, as the firmware lays out a menu: one place for
// every number that the formatter, the renderer and the checks share.
#pragma once

#include <QString>
#include <QTime>

namespace VelkoMenuView::DeviceScreen {

constexpr int Width = 128; // pixels
constexpr int RowHeight = 8; // pixels: one text row of the 6 x 8 font
constexpr int Height = 64; // pixels: the title row and 7 item rows at once
constexpr int ItemsOnScreen = Height / RowHeight - 1;
constexpr int MenuFont = 3; // the 6 x 8 font of the device library
constexpr int Cells = 21; // character cells in a row (6 pixels each)
constexpr int ClockTitleLength = 15; // the longest title that keeps its clock
constexpr int StringLineLength = Cells; // a string item's line is cut to this many characters
constexpr int MaxIntegers = 8; // values an integer item receives
constexpr int MaxReals = 3; // values a real item receives
constexpr int DialogParameters = 3; // values the parameter dialog enters
constexpr qsizetype FormatBytes = 127; // output of the device's 128-byte format buffer

// The title row: a title of up to 15 characters padded to 15, a space and
// the clock "HH:MM" in cells 16 to 20; a longer one fills the row and has no clock.
QString titleRow(const QString &title, QTime clock);

} // namespace VelkoMenuView::DeviceScreen
