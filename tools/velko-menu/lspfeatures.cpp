// The checks and the hover screen of the command line, on the drafts.
#include "lspfeatures.h"

#include "buildcontext.h"
#include "menuchecks.h"

#include <QSettings>

using namespace VelkoMenuView;

LspFeatures::LspFeatures(const LspDocuments &documents)
    : m_documents(documents)
    , m_settings(ParameterStore::openUserStore())
    , m_store(m_settings.get())
{ }

LspFeatures::~LspFeatures() = default;

void LspFeatures::addBuildOptions(const InitializeParams &params)
{
    m_build.arguments << params.buildArguments;
    if (params.compileCommands)
        m_build.compileCommands = *params.compileCommands;
}

QList<Diagnostic> LspFeatures::diagnostics(const LspDocument &document)
{
    const CheckContext context {&document.lines(),    &m_store, document.path(), 10,
                                contextFor(document), false};
    return checkMenus(document.text(), context);
}

LspHover LspFeatures::hover(const LspDocument &document, LspPosition position)
{
    if (position.line >= document.lines().lineCount())
        return LspHover();
    return menuHoverAt(document.text(), document.lines(), document.offsetAt(position), m_store,
                       document.path(), m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime(),
                       contextFor(document));
}

void LspFeatures::reloadValues()
{
    m_settings->sync();
}

SourceContext LspFeatures::contextFor(const LspDocument &document)
{
    SourceContext context;
    QString problem;
    if (!document.path().isEmpty()
        && !sourceContextFor(document.path(), m_build, &context, &problem)) {
        // Told once: the documents are still read, without the options.
        if (!m_buildProblemTold)
            m_buildProblem = problem;
        m_buildProblemTold = true;
        context.path = document.path();
    }
    context.openText
            = [this](const QString &path, QString *text) { return m_documents.textAt(path, text); };
    return context;
}
