// The checks and the screen of the command line, on the drafts.
#include "lspfeatures.h"

#include "buildcontext.h"
#include "menuchecks.h"

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
    return checkMenus(
            source,
            {&document.lines(), &m_store, document.path(), 10, source.facts.context, false, {}});
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
    context.openText
            = [this](const QString &path, QString *text) { return m_documents.textAt(path, text); };
    return context;
}
