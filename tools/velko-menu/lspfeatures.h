// What the language server finds in a draft: the findings of `check` and the
// screen under the cursor, with the values stored for the file and the
// build's options. Plain results; the dispatcher puts them into JSON.
#pragma once

#include "buildcontext.h"
#include "lspdocuments.h"
#include "lsphover.h"
#include "options.h"

#include "menuview/analysis/documentreading.h"
#include "menuview/checks/diagnostic.h"
#include "menuview/files/contextrefresh.h"
#include "menuview/params/parameterstore.h"

#include <QSettings>
#include <QTime>

#include <memory>
#include <unordered_map>
#include <utility>

namespace VelkoMenuView {

class LspFeatures final
{
public:
    explicit LspFeatures(const LspDocuments &documents);

    // The command line's options; the client's initializationOptions add to them.
    BuildOptions &buildOptions()
    {
        m_readings.clear(); // read again with the options as they will be
        return m_build;
    }
    // The hover screens' clock; an invalid time means the local time.
    void setFixedTime(QTime time) { m_fixedTime = time; }
    QList<Diagnostic> diagnostics(const LspDocument &document);
    LspHover hover(const LspDocument &document, LspPosition position);
    // Rereads the values typed into the pane meanwhile.
    void reloadValues() { m_settings->sync(); }
    // The document closed: its reading is no longer kept.
    void forget(const QString &uri) { m_readings.erase(uri); }
    // Why the build's options cannot be read: once a session, then empty.
    QString takeBuildProblem() { return std::exchange(m_buildProblem, QString()); }
    // The open documents whose last reading included the file at `path`.
    QStringList includers(const QString &path) const;
    // The open documents whose build's options or headers on disk changed
    // since they were read; they are read afresh next time.
    QStringList takeOutOfDate();

private:
    // A draft's reading, kept from one of its texts to the next.
    struct Reading
    {
        DocumentReading reading;
        ContextRefresh context;
        quint64 othersRevision = 0; // of the other drafts, when the context was made
        quint64 generation = 0;
        BuildVariant variant;
    };
    // The draft's current text as read, from where its last text differs.
    SourceReading &sourceOf(const LspDocument &document);
    // Makes afresh how a draft is read: its path, the build's options, the other drafts.
    void renew(const LspDocument &document, Reading *reading);

    const LspDocuments &m_documents;
    std::unique_ptr<QSettings> m_settings {ParameterStore::openUserStore()};
    ParameterStore m_store {m_settings.get()};
    BuildOptions m_build;
    QTime m_fixedTime;
    QString m_buildProblem;
    bool m_buildProblemTold = false;
    std::unordered_map<QString, Reading> m_readings; // by URI
};

} // namespace VelkoMenuView
