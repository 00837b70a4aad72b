// The text of velko-menu --help.
#pragma once

#include <QString>

namespace VelkoMenuView {

QString usageText();

} // namespace VelkoMenuView
