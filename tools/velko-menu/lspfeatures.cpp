// The checks and the screen of the command line, on the drafts.
#include "lspfeatures.h"

#include "buildcontext.h"

#include "creader/compilerquery.h"
#include "menuview/checks/menuchecks.h"

namespace VelkoMenuView {

LspFeatures::LspFeatures(const LspDocuments &documents)
    : m_documents(documents)
{ }

QList<Diagnostic> LspFeatures::diagnostics(const LspDocument &document)
{
    SourceReading &source = sourceOf(document);
    CheckContext context;
    context.lines = &document.lines();
    context.store = &m_store;
    context.storePath = document.path();
    context.source = source.facts.context;
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
    LspHover hover = menuHoverAt(sourceOf(document), document.lines(), document.offsetAt(position),
                                 m_store, document.path(),
                                 m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime());
    // The last line says which variant of the build the screen is.
    if (hover.found) {
        const QString phrase = m_readings[document.uri()].variant.phrase();
        hover.plainText += u'\n' + phrase;
        hover.markdown += QStringLiteral("\n*%1*\n").arg(phrase);
    }
    return hover;
}

QStringList LspFeatures::includers(const QString &path) const
{
    QStringList uris;
    for (const auto &[uri, reading] : m_readings) {
        if (!path.isEmpty() && reading.context.asked(path))
            uris << uri;
    }
    return uris;
}

QStringList LspFeatures::takeOutOfDate()
{
    QStringList uris;
    for (auto &[uri, reading] : m_readings) {
        if (m_documents.find(uri) && reading.context.takeOutOfDate())
            uris << uri;
    }
    return uris;
}

SourceReading &LspFeatures::sourceOf(const LspDocument &document)
{
    Reading &kept = m_readings[document.uri()];
    const quint64 others = m_documents.othersRevision(document.uri());
    if (kept.context.due() || kept.othersRevision != others) {
        renew(document, &kept);
        kept.othersRevision = others;
        ++kept.generation;
    }
    return kept.reading.read(document.text(), kept.context.context(), kept.generation);
}

void LspFeatures::renew(const LspDocument &document, Reading *reading)
{
    ReadOptions context;
    QString problem;
    reading->variant = BuildVariant();
    if (!document.path().isEmpty()
        && !sourceContextFor(document.path(), m_build, &context, &problem, &reading->variant)) {
        // Told once: the drafts are still read, without the options.
        if (!std::exchange(m_buildProblemTold, true))
            m_buildProblem = problem;
        context.path = document.path();
    }
    if (document.path().isEmpty()) {
        CompilerQuery::apply(&context.configuration, m_build.allowedCompilers);
        context.textFunctions = m_build.textFunctions;
    }
    // Drafts are read as they stand in the editor.
    reading->context.renew(
            std::move(context), reading->variant.database, !reading->variant.given,
            [this](const QString &path, QString *text) { return m_documents.textAt(path, text); });
}

} // namespace VelkoMenuView
