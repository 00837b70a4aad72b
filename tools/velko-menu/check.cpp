// The check command: the findings of every file, in the compiler format.
#include "check.h"

#include "buildcontext.h"
#include "menuview/checks/findingreport.h"

#include "menuview/checks/menuchecks.h"
#include "menuview/files/sourcefile.h"
#include "menuview/files/sourcepaths.h"
#include "menuview/params/parameterstore.h"

#include <QSettings>
#include <QTextStream>

#include <memory>

namespace VelkoMenuView {
using namespace Qt::StringLiterals;

int runCheck(const CheckOptions &options, const BuildOptions &build, QTextStream &out,
             QTextStream &err)
{
    const std::unique_ptr<QSettings> settings(ParameterStore::openUserStore());
    const ParameterStore store(settings.get());
    if (const QString problem = store.problem(); !problem.isEmpty())
        err << "velko-menu: warning: the stored values cannot be read (" << problem
            << "); items are checked without them" << Qt::endl;
    const bool text = options.format == CheckOptions::Format::Text;
    int errors = 0;
    int warnings = 0;
    QStringList unreadable;
    QList<PlacedFinding> findings;
    for (const QString &path : sourcePaths(options.files)) {
        SourceFile file;
        QString reason;
        if (!file.load(path, &reason)) {
            err << path << ": error: " << reason << Qt::endl;
            unreadable << path + u": "_s + reason;
            continue;
        }
        CheckContext context;
        context.lines = &file.lines();
        context.store = &store;
        context.storePath = file.absolutePath();
        context.realDigits = options.realDigits;
        context.allBranches = build.allBranches;
        BuildVariant variant;
        if (!sourceContextFor(file.absolutePath(), build, &context.source, &reason, &variant)) {
            err << "velko-menu: " << reason << Qt::endl;
            return 2;
        }
        if (build.verbose)
            err << file.path() << ": " << variant.details() << Qt::endl;
        for (const Diagnostic &diagnostic : checkMenus(file.text(), context)) {
            if (text)
                out << formatDiagnostic(file.path(), file.lines(), diagnostic) << '\n';
            else
                findings << placeFinding(file.path(), file.lines(), diagnostic);
            errors += diagnostic.severity == Diagnostic::Severity::Error;
            warnings += diagnostic.severity == Diagnostic::Severity::Warning;
        }
        out.flush();
    }
    if (!text) {
        out << QString::fromUtf8(options.format == CheckOptions::Format::Sarif
                                         ? sarifReport(findings, unreadable)
                                         : jsonReport(findings));
        out.flush();
    }
    if (!unreadable.isEmpty())
        return 2;
    return errors > 0 || (options.werror && warnings > 0) ? 1 : 0;
}

} // namespace VelkoMenuView
