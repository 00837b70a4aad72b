// Which variant of the build a file is read in: where the options it was
// read with came from, or where they were looked for in vain. The pane
// shows it beside the screen; the tools say it in words.
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
    bool given = false; // named by the tools' --compile-commands
    QStringList places; // where databases were looked for on disk
    QStringList older; // other databases with an entry, written before the one read
    QStringList commandLine; // the tools' -D, -U and -I, on top of the database's

    // Takes the database a search on disk finds for the file at `path`.
    void search(const QString &path);
    // One line, for the end of a hover: "variant: build-fw-Desktop-Debug, -DLANG_DE".
    QString phrase() const;
    // For --verbose: the database's path, why it was taken, or where none was found.
    QString details() const;

    bool operator==(const BuildVariant &other) const
    {
        return database == other.database && options == other.options
                && ideConfiguration == other.ideConfiguration && ideKit == other.ideKit
                && ideFolder == other.ideFolder && given == other.given && places == other.places
                && older == other.older && commandLine == other.commandLine;
    }
    bool operator!=(const BuildVariant &other) const { return !(*this == other); }
};

} // namespace VelkoMenuView
