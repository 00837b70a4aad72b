// The IDE's variables, checked in the IDE 9.0.2 with the expander itself:
// "ActiveProject:..." name the active (startup) project and its active build
// configuration and kit; "CurrentDocument:Project:FilePath" the project of
// the current editor's document, or the active project when no project
// holds it. No variable names another project's build folder, so a document
// of a project that is not the active one is left to the search on disk.
#include "menuview/idebuild.h"

#include "utils/macroexpander.h"

#include <QDir>

namespace VelkoMenuView {

namespace {

bool isInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString relative = QDir(folder).relativeFilePath(path);
    return !relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative);
}

} // namespace

IdeBuild IdeBuild::forDocument(const QString &path)
{
    const Utils::MacroExpander *ide = Utils::globalMacroExpander();
    const auto variable = [ide](const char *name) { return ide->value(name); };
    IdeBuild build;
    build.folder = variable("ActiveProject:BuildConfig:Path");
    if (path.isEmpty() || build.folder.isEmpty())
        return {};
    const QString activeProject = variable("ActiveProject:FilePath");
    // The current document's project says it for the current document only;
    // any other document counts as the active project's when it lies in its folder.
    const bool current = variable("CurrentDocument:FilePath") == path;
    const bool inActive = current && variable("CurrentDocument:Project:FilePath") == activeProject
            && !activeProject.isEmpty();
    if (!inActive && !isInside(path, variable("ActiveProject:Path")))
        return {};
    build.project = variable("ActiveProject:Name");
    build.configuration = variable("ActiveProject:BuildConfig:Name");
    build.kit = variable("ActiveProject:Kit:Name");
    return build;
}

} // namespace VelkoMenuView
