// ContextRefresh: how the followed document is read (its path, the build's
// options, the headers open in editors), made afresh when the document
// changes and now and again. In between, a timer looks whether what it was
// made of changed underneath: another build configuration chosen in the
// IDE, a database written, a header saved by another program; it says so,
// and the screen follows without a keystroke or a cursor move.
#pragma once

#include "creader/sourcereader.h"
#include "menuview/buildvariant.h"
#include "menuview/files/filestamps.h"
#include "menuview/idebuild.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

namespace VelkoMenuView {

class ContextRefresh : public QObject
{
    Q_OBJECT

public:
    explicit ContextRefresh(QObject *parent = nullptr);

    // Makes the context afresh for `path` when the path is another, when
    // the context is older than Lifetime, or when it is out of date; true
    // when it did.
    bool renew(const QString &path);
    const SourceContext &context() const { return m_context; }
    const BuildVariant &variant() const { return m_variant; }

    // How `path` is read now, as renew() would make it, without watching:
    // for a document that closes.
    static SourceContext contextFor(const QString &path);

    static constexpr int Lifetime = 2000; // ms
    // The IDE's choice, the databases and headers read are looked at this
    // often, the search on disk at every SearchEvery-th look: a change shows
    // within 2 s. The databases' folders are watched too, so that the
    // database the IDE writes a second or so after a switch shows at once.
    static constexpr int CheckInterval = 500; // ms
    static constexpr int SearchEvery = 3;

signals:
    // What the context was made of changed: the document should be read again.
    void changed();

private:
    void make(const QString &path);
    static SourceContext compose(const QString &path, BuildVariant *variant, IdeBuild *ide,
                                 FileStamps *databases, const std::shared_ptr<FileStamps> &headers);
    void check();
    void watch(const QString &database);

    QString m_path;
    SourceContext m_context;
    BuildVariant m_variant;
    IdeBuild m_ide;
    QElapsedTimer m_age;
    bool m_outOfDate = false;
    FileStamps m_databases; // the one read, and the IDE's build folder's
    // Headers, noted as the reading asks for them; shared with the
    // context's copies that readings keep.
    std::shared_ptr<FileStamps> m_headers;
    QTimer m_timer;
    int m_ticks = 0;
    QFileSystemWatcher m_watcher;
};

} // namespace VelkoMenuView
