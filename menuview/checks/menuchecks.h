// What `check` and the language server find in a text's menus: definitions
// that do not parse, and for those that do, what the device would cut, skip
// or show as written, with the values stored for the file.
#pragma once

#include "menuview/checks/diagnostic.h"

#include "creader/sourcereader.h"
#include "menuview/analysis/textmessages.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace VelkoMenuView {

class LineMap;
class ParameterStore;
struct MenuPreview;
struct SourceReading;

struct CheckContext
{
    const LineMap *lines = nullptr; // of the text, for the lines named in messages
    const ParameterStore *store = nullptr; // stored values; none when null
    QString storePath; // the file's absolute path, as the store keys it
    int realDigits = 10; // integer digits taken for the widest real value
    ReadOptions source; // how the text is read: its path, the build's options
    bool allBranches = false; // menus of conditional groups the build leaves out too
    // The words for texts that cannot be read, with how to declare a text function.
    TextMessageTexts texts = TextMessageTexts::english();
    // How to let the build's compiler run: %1 its path.
    QString allowCompiler = QStringLiteral("add --query-driver '%1'");
    // Called with each menu as it was read, for a caller that shows them too.
    std::function<void(const MenuPreview &)> onMenu;
};

// Every finding for the menus of `text`, in the order of the text.
QList<Diagnostic> checkMenus(QStringView text, const CheckContext &context);
// The same over a reading the caller keeps; `context.source` is the reading's own.
QList<Diagnostic> checkMenus(SourceReading &source, const CheckContext &context);
// The findings of one menu shown, as check has them.
QList<Diagnostic> checkShownMenu(SourceReading &source, const MenuPreview &preview,
                                 const CheckContext &context);

} // namespace VelkoMenuView
