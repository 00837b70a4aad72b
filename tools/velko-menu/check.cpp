// The check command. Parse errors come from the parser's reporting variant;
// menus that parse are shown by the view itself with the cursor on their
// opening keyword, so the lines checked carry the values stored for the file.
#include "check.h"

#include "diagnostic.h"
#include "menuchecks.h"
#include "menuhost.h"
#include "menuwalk.h"
#include "parseerrors.h"
#include "sourcefile.h"

#include "menuview/analysis/itemformat.h"

#include <QTextStream>

#include <memory>

namespace {

struct Tally
{
    int errors = 0;
    int warnings = 0;
    bool unreadable = false;
};

// The menu of `block` as the view shows it; formatted here without stored
// values should the view pick another block (it never should).
MenuDefinition shownMenu(MenuHost &host, const SourceFile &file, const MenuBlock &block)
{
    const SourcePosition position = file.position(block.start);
    if (host.showAt(position.line, position.column) == MenuHost::Outcome::Shown) {
        const MenuDefinition &shown = host.view().menuDefinition();
        if (shown.name == block.menu.name && shown.itemTexts == block.menu.itemTexts
            && shown.title == block.menu.title)
            return shown;
    }
    MenuDefinition menu = block.menu;
    menu.paramValues.clear();
    formatItems(menu);
    return menu;
}

QList<Diagnostic> checkFile(const SourceFile &file, int realDigits)
{
    QList<Diagnostic> diagnostics;
    const QList<MenuBlock> blocks = findMenuBlocks(file.text());
    std::unique_ptr<MenuHost> host;
    for (const MenuBlock &block : blocks) {
        if (!block.parsed) {
            diagnostics.append({block.errorOffset >= 0 ? block.errorOffset : block.start,
                                Diagnostic::Severity::Error, parseErrorMessage(file, block)});
            continue;
        }
        if (!host)
            host = std::make_unique<MenuHost>(file.absolutePath(), file.bytes());
        checkMenu(file, block, shownMenu(*host, file, block), realDigits, &diagnostics);
    }
    sortByPosition(diagnostics);
    return diagnostics;
}

} // namespace

int runCheck(const CheckOptions &options, QTextStream &out, QTextStream &err)
{
    Tally tally;
    for (const QString &path : options.files) {
        SourceFile file;
        QString reason;
        if (!file.load(path, &reason)) {
            err << path << ": error: " << reason << Qt::endl;
            tally.unreadable = true;
            continue;
        }
        for (const Diagnostic &diagnostic : checkFile(file, options.realDigits)) {
            out << formatDiagnostic(file, diagnostic) << '\n';
            if (diagnostic.severity == Diagnostic::Severity::Error)
                ++tally.errors;
            else
                ++tally.warnings;
        }
        out.flush();
    }
    if (tally.unreadable)
        return 2;
    if (tally.errors > 0 || (options.werror && tally.warnings > 0))
        return 1;
    return 0;
}
