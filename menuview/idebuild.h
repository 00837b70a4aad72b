// What the IDE builds for a document: the build folder of the active build
// configuration of the IDE's project that holds it, as the IDE's own
// variables name it. A host without those variables (the studio) names none.
#pragma once

#include <QString>

namespace VelkoMenuView {

struct IdeBuild
{
    QString folder; // empty when the IDE names no build folder for the document
    QString project; // "fw"
    QString configuration; // "Debug"
    QString kit; // "Desktop"

    static IdeBuild forDocument(const QString &path);

    bool operator==(const IdeBuild &other) const
    {
        return folder == other.folder && project == other.project
                && configuration == other.configuration && kit == other.kit;
    }
    bool operator!=(const IdeBuild &other) const { return !(*this == other); }
};

} // namespace VelkoMenuView
