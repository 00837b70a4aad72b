// The checks and the screen of the command line, on the drafts.
#include "lspfeatures.h"

#include "buildcontext.h"
#include "menuchecks.h"

using namespace VelkoMenuView;

LspFeatures::LspFeatures(const LspDocuments &documents)
    : m_documents(documents)
{ }

QList<Diagnostic> LspFeatures::diagnostics(const LspDocument &document)
{
    return checkMenus(
            document.text(),
            {&document.lines(), &m_store, document.path(), 10, contextFor(document), false});
}

LspHover LspFeatures::hover(const LspDocument &document, LspPosition position)
{
    if (position.line >= document.lines().lineCount())
        return LspHover();
    return menuHoverAt(document.text(), document.lines(), document.offsetAt(position), m_store,
                       document.path(), m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime(),
                       contextFor(document));
}

SourceContext LspFeatures::contextFor(const LspDocument &document)
{
    SourceContext context;
    QString problem;
    if (!document.path().isEmpty()
        && !sourceContextFor(document.path(), m_build, &context, &problem)) {
        // Told once: the drafts are still read, without the options.
        if (!std::exchange(m_buildProblemTold, true))
            m_buildProblem = problem;
        context.path = document.path();
    }
    context.openText
            = [this](const QString &path, QString *text) { return m_documents.textAt(path, text); };
    return context;
}
