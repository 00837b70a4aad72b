// Reads the menus of source files into a gallery: every variant of the build
// in turn, each menu drawn and checked in one walk, as `check` reads it.
#pragma once

#include "menuview/review/gallerymodel.h"

#include <QTime>

#include <functional>

namespace VelkoMenuView {

struct ReadOptions;

// A file to read: how it is named, where its bytes are, and whose build
// options apply to it.
struct GallerySource
{
    QString shownPath; // as the user named it
    QString readPath; // where it is read: the same, or its copy from a revision
    QString buildPath; // the work tree's file whose compile_commands.json entry applies
};

class GalleryReader
{
public:
    // How variant `variant` reads a file whose build options are those of
    // `buildPath`; false, with a one-line reason, when a given
    // compile_commands.json cannot be read.
    using ContextFor = std::function<bool(const QString &buildPath, qsizetype variant,
                                          ReadOptions *context, QString *error)>;

    // `allBranches`: menus of conditional groups the build leaves out too.
    GalleryReader(qsizetype variants, ContextFor contextFor, bool allBranches, QTime clock);

    // Folders of the build's options under `from` are taken under `to`: the
    // headers of a revision, read from its copy.
    void mapFolders(const QString &from, const QString &to);

    // Adds the menus of `source`; false, with a one-line reason in the
    // gallery's `unreadable`, for a file that cannot be read, and false with
    // *fatal set when a given compile_commands.json cannot be.
    bool read(const GallerySource &source, Gallery *gallery, QString *fatal);

private:
    qsizetype m_variants = 0;
    ContextFor m_contextFor;
    bool m_allBranches = false;
    QTime m_clock;
    QString m_from;
    QString m_to;
};

// Orders the menus by file as named and position, so that galleries compare.
void sortGallery(Gallery *gallery);

} // namespace VelkoMenuView
