// A git revision's files, copied out of the repository into a temporary
// folder without touching the work tree, the index or the repository. Only
// `git` from PATH runs, and only commands that run nothing the repository
// configures (no filters, hooks or text conversions).
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace VelkoMenuView {

class GitRevision
{
public:
    // Copies the files of `revision` of the repository around `path` (a file
    // or folder inside its work tree). Files over 64 MiB are left out. False,
    // with a one-line reason, when there is no git, no repository or no such
    // revision.
    bool extract(const QString &path, const QString &revision, QString *error);

    QString topLevel() const { return m_topLevel; } // the work tree's top folder
    QString root() const; // the folder holding the revision's copy
    QString commit() const { return m_commit; }

private:
    QString m_topLevel;
    QString m_commit;
    std::unique_ptr<QTemporaryDir> m_copy;
};

} // namespace VelkoMenuView
