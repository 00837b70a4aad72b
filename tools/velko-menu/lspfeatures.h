// What the language server finds in a document as it stands: the findings of
// `check` and the screen under the cursor, read with the values stored for
// the file and the build's options. Plain results; the dispatcher puts them
// into the protocol's JSON.
#pragma once

#include "diagnostic.h"
#include "lspdocuments.h"
#include "lsphover.h"
#include "options.h"

#include "menuview/params/parameterstore.h"

#include <QTime>

#include <memory>
#include <utility>

class QSettings;

class LspFeatures final
{
public:
    explicit LspFeatures(const LspDocuments &documents);
    ~LspFeatures();

    // The build's options from the command line, then the client's on top.
    void setBuildOptions(const BuildOptions &options) { m_build = options; }
    void addBuildOptions(const InitializeParams &params);
    // The hover screens' clock; an invalid time means the local time.
    void setFixedTime(QTime time) { m_fixedTime = time; }

    QList<Diagnostic> diagnostics(const LspDocument &document);
    // Nothing found past the last line.
    LspHover hover(const LspDocument &document, LspPosition position);
    // Values typed into the pane since the last read.
    void reloadValues();
    // Why the build's options could not be read: once a session, then empty.
    QString takeBuildProblem() { return std::exchange(m_buildProblem, QString()); }

private:
    // How a document is read: its path, the build's options, the drafts of
    // the other open documents.
    VelkoMenuView::SourceContext contextFor(const LspDocument &document);

    const LspDocuments &m_documents;
    std::unique_ptr<QSettings> m_settings;
    VelkoMenuView::ParameterStore m_store;
    BuildOptions m_build;
    QTime m_fixedTime;
    QString m_buildProblem;
    bool m_buildProblemTold = false;
};
