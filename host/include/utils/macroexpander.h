// Utils::MacroExpander: the IDE's named variables ("ActiveProject:BuildConfig:Path",
// "CurrentDocument:Project:FilePath", ...), through which the plug-in learns
// what the IDE builds without touching the IDE's project classes, whose
// layout we do not know. Only Qt types cross: a QByteArray name in, a
// QString out.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace Utils {

namespace Internal {
class MacroExpanderPrivate;
}

class MacroExpander
{
public:
    // The plug-in never constructs, copies or destroys an expander of the
    // IDE: it calls the two members below on the pointer the IDE hands out.
    // (Our layout is the stand-in's own.)
    MacroExpander();
    ~MacroExpander();
    MacroExpander(const MacroExpander &) = delete;
    MacroExpander &operator=(const MacroExpander &) = delete;

    // libUtils.so.9, _ZNK5Utils13MacroExpander5valueERK10QByteArrayPb
    // (nm -D, IDE 9.0.2): non-virtual, so called by name on the IDE's
    // object; *found is false for a name nobody registered.
    QString value(const QByteArray &variable, bool *found = nullptr) const;

    // libUtils.so.9,
    // _ZN5Utils13MacroExpander16registerVariableERK10QByteArrayRK7QStringRKSt8functionIFS4_vEEb:
    // the plug-in does not call it; the stand-in host and the tests register
    // what the IDE would.
    void registerVariable(const QByteArray &variable, const QString &description,
                          const std::function<QString()> &value, bool visibleInChooser = true);

private:
    Internal::MacroExpanderPrivate *d;
};

// libUtils.so.9, _ZN5Utils19globalMacroExpanderEv: the IDE's one expander,
// alive for the whole session; never null.
MacroExpander *globalMacroExpander();

} // namespace Utils
