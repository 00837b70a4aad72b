// The checks and the screen of the command line, on the drafts.
#include "lspfeatures.h"

#include "buildcontext.h"
#include "menuchecks.h"

#include "menuview/analysis/compilerquery.h"

using namespace VelkoMenuView;

LspFeatures::LspFeatures(const LspDocuments &documents)
    : m_documents(documents)
{ }

namespace {

// Headers on disk are looked at again after this long, as the pane does.
constexpr qint64 ContextLifetime = 2000; // ms

} // namespace

QList<Diagnostic> LspFeatures::diagnostics(const LspDocument &document)
{
    SourceText &source = sourceOf(document);
    CheckContext context {&document.lines(), &m_store, document.path(), 10, source.facts.context,
                          false};
    // What an editor's user changes is the client's initializationOptions.
    context.texts.declareTextFunction
            = QStringLiteral("add \"%1\" to initializationOptions.textFunctions");
    context.allowCompiler = QStringLiteral("add \"%1\" to initializationOptions.queryDriver");
    return checkMenus(source, context);
}

LspHover LspFeatures::hover(const LspDocument &document, LspPosition position)
{
    if (position.line >= document.lines().lineCount())
        return LspHover();
    return menuHoverAt(sourceOf(document), document.lines(), document.offsetAt(position), m_store,
                       document.path(), m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime());
}

SourceText &LspFeatures::sourceOf(const LspDocument &document)
{
    Reading &kept = m_readings[document.uri()];
    const quint64 others = m_documents.othersRevision(document.uri());
    if (!kept.contextAge.isValid() || kept.contextAge.hasExpired(ContextLifetime)
        || kept.othersRevision != others) {
        kept.context = contextFor(document);
        kept.contextAge.start();
        kept.othersRevision = others;
        ++kept.generation;
    }
    return kept.reading.read(document.text(), kept.context, kept.generation);
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
    if (document.path().isEmpty()) {
        CompilerQuery::apply(&context.configuration, m_build.allowedCompilers);
        context.textFunctions = m_build.textFunctions;
    }
    context.openText
            = [this](const QString &path, QString *text) { return m_documents.textAt(path, text); };
    return context;
}
