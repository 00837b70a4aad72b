// The names of the parameter kinds, as the entry dialog shows them.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QString>

namespace VelkoMenuView {

// The label the parameter dialog puts before each value; empty for None.
QString paramTypeName(ParamType type);

} // namespace VelkoMenuView
