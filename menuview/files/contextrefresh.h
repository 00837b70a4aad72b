// ContextRefresh: how a document is read (its path, the build's options,
// the texts of headers open in editors), kept from one reading to the next
// and made afresh now and again: when it is older than Lifetime, and when
// what it was made of changed underneath (a database or a header on disk
// written, another database found). The program makes the context and
// says how often to look; the pane and the language server keep theirs so.
#pragma once

#include "creader/sourcereader.h"
#include "menuview/files/filestamps.h"

#include <QElapsedTimer>
#include <QSet>

#include <memory>

namespace VelkoMenuView {

class ContextRefresh
{
public:
    static constexpr int Lifetime = 2000; // ms

    // Whether the context is to be made afresh: never made, older than
    // Lifetime, or out of date.
    bool due() const;
    // Keeps `context`, made now from `database` (empty when none applied)
    // and the files in `read` (stamped before they were read, so that a write
    // meanwhile shows); `searched` when the search on disk chose the database,
    // so that another search may choose another. Headers the readings ask for
    // are read from `openText` when an editor holds them, else noted as they
    // stand on disk.
    void renew(ReadOptions context, const QString &database, bool searched,
               const IncludeFiles::OpenText &openText, FileStamps read = {});
    const ReadOptions &context() const { return m_context; }
    // Whether the readings of the context asked for the file, open or not.
    bool asked(const QString &path) const { return m_read->asked.contains(path); }

    // Whether what the context was made of changed since: a file noted, or,
    // with `search`, another database found on disk (the search lists
    // folders up to the root: callers say when). Told once: the context is
    // then out of date until renewed.
    bool takeOutOfDate(bool search = true);
    bool outOfDate() const { return m_outOfDate; }
    void setOutOfDate() { m_outOfDate = true; }

private:
    // Shared with the context's copies that readings keep.
    struct Read
    {
        FileStamps onDisk; // the database, the headers read from disk
        QSet<QString> asked; // every header asked for
    };

    ReadOptions m_context;
    QString m_database;
    bool m_searched = false;
    QElapsedTimer m_age;
    bool m_outOfDate = false;
    std::shared_ptr<Read> m_read = std::make_shared<Read>();
};

} // namespace VelkoMenuView
