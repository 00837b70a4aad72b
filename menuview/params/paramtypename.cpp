// Display names of the parameter kinds.
#include "menuview/params/paramtypename.h"

namespace VelkoMenuView {

QString paramTypeName(ParamType type)
{
    switch (type) {
    case ParamType::Integer:
        return QStringLiteral("Целое число");
    case ParamType::Real:
        return QStringLiteral("Вещественное число");
    case ParamType::String:
        return QStringLiteral("Строка");
    case ParamType::None:
        break;
    }
    return QString();
}

} // namespace VelkoMenuView
