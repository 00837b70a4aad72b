// Which variant of the build the screen shows: where the options it was
// read with came from, or where they were looked for in vain.
#pragma once

#include <QString>
#include <QStringList>

namespace VelkoMenuView {

struct BuildVariant
{
    QString database; // the compile_commands.json read; empty when none applied
    QStringList options; // its macros for the file, as a command line gives them
    // The IDE's build configuration the database belongs to ("Debug", kit
    // "Desktop"); empty when it was found by looking on disk.
    QString ideConfiguration;
    QString ideKit;
    // The IDE's build folder when it named one that could not be used: no
    // database there yet, or none with an entry for the file.
    QString ideFolder;
    QStringList places; // where databases were looked for on disk
    QStringList older; // other databases with an entry, written before the one read

    bool operator==(const BuildVariant &other) const
    {
        return database == other.database && options == other.options
                && ideConfiguration == other.ideConfiguration && ideKit == other.ideKit
                && ideFolder == other.ideFolder && places == other.places && older == other.older;
    }
    bool operator!=(const BuildVariant &other) const { return !(*this == other); }
};

} // namespace VelkoMenuView
