// The variables our host registers: none of its own; tests register the
// IDE's.
#include "utils/macroexpander.h"

#include <QHash>

namespace Utils {

namespace Internal {
class MacroExpanderPrivate
{
public:
    QHash<QByteArray, std::function<QString()>> variables;
};
} // namespace Internal

MacroExpander::MacroExpander()
    : d(new Internal::MacroExpanderPrivate)
{ }

MacroExpander::~MacroExpander()
{
    delete d;
}

QString MacroExpander::value(const QByteArray &variable, bool *found) const
{
    const auto it = d->variables.constFind(variable);
    if (found)
        *found = it != d->variables.cend();
    return it != d->variables.cend() && *it ? (*it)() : QString();
}

void MacroExpander::registerVariable(const QByteArray &variable, const QString &,
                                     const std::function<QString()> &value, bool)
{
    d->variables.insert(variable, value);
}

MacroExpander *globalMacroExpander()
{
    static auto *expander = new MacroExpander; // lives as long as the process, as the IDE's
    return expander;
}

} // namespace Utils
