// The check command: the findings of every file, in the compiler format.
#include "check.h"

#include "buildcontext.h"
#include "menuchecks.h"

#include "menuview/files/sourcefile.h"
#include "menuview/params/parameterstore.h"

#include <QSettings>
#include <QTextStream>

#include <memory>

using namespace VelkoMenuView;

int runCheck(const CheckOptions &options, const BuildOptions &build, QTextStream &out,
             QTextStream &err)
{
    const std::unique_ptr<QSettings> settings(ParameterStore::openUserStore());
    const ParameterStore store(settings.get());
    if (const QString problem = store.problem(); !problem.isEmpty())
        err << "velko-menu: warning: the stored values cannot be read (" << problem
            << "); items are checked without them" << Qt::endl;
    int errors = 0;
    int warnings = 0;
    bool unreadable = false;
    for (const QString &path : options.files) {
        SourceFile file;
        QString reason;
        if (!file.load(path, &reason)) {
            err << path << ": error: " << reason << Qt::endl;
            unreadable = true;
            continue;
        }
        CheckContext context {&file.lines(),      &store, file.absolutePath(),
                              options.realDigits, {},     build.allBranches};
        BuildOrigin origin;
        if (!sourceContextFor(file.absolutePath(), build, &context.source, &reason, &origin)) {
            err << "velko-menu: " << reason << Qt::endl;
            return 2;
        }
        if (build.verbose)
            err << file.path() << ": " << origin.details() << Qt::endl;
        for (const Diagnostic &diagnostic : checkMenus(file.text(), context)) {
            out << formatDiagnostic(file.path(), file.lines(), diagnostic) << '\n';
            if (diagnostic.severity == Diagnostic::Severity::Error)
                ++errors;
            else
                ++warnings;
        }
        out.flush();
    }
    if (unreadable)
        return 2;
    return errors > 0 || (options.werror && warnings > 0) ? 1 : 0;
}
