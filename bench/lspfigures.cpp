// A publication is what the server does once typing stops: checkMenus over
// the whole text with the stored values, the JSON of every finding, framing.
#include "lspfigures.h"

#include "benchdocuments.h"
#include "benchsession.h"
#include "figuretable.h"
#include "lspdispatcher.h"

#include "menuview/params/parameterstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <memory>

using namespace VelkoMenuView;

namespace {

QByteArray rpc(const QJsonObject &message)
{
    QJsonObject full = message;
    full.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    return QJsonDocument(full).toJson(QJsonDocument::Compact);
}

// A session that has opened the document at `path`, whose values are stored;
// `framed` holds the last message it sent.
void openInSession(LspDispatcher &session, QByteArray &framed, const BenchDocument &document,
                   const QString &path)
{
    {
        const std::unique_ptr<QSettings> settings(VelkoMenuView::ParameterStore::openUserStore());
        storeValues(*settings, path, document, true, 0);
    }
    QObject::connect(&session, &LspDispatcher::send, &session,
                     [&framed](const QByteArray &body) { framed = frameMessage(body); });
    session.receive(rpc({{QStringLiteral("id"), 1},
                         {QStringLiteral("method"), QStringLiteral("initialize")},
                         {QStringLiteral("params"), QJsonObject()}}));
    const QJsonObject item {{QStringLiteral("uri"), QUrl::fromLocalFile(path).toString()},
                            {QStringLiteral("version"), 1},
                            {QStringLiteral("text"), QString::fromUtf8(document.text)}};
    session.receive(rpc(
            {{QStringLiteral("method"), QStringLiteral("textDocument/didOpen")},
             {QStringLiteral("params"), QJsonObject {{QStringLiteral("textDocument"), item}}}}));
}

QJsonObject lastMessage(const QByteArray &framed)
{
    return QJsonDocument::fromJson(framed.mid(framed.indexOf('{'))).object();
}

// The baseline: one plain decode of the document's bytes.
FigureTable::Body decodeOf(const std::shared_ptr<BenchDocument> &document)
{
    return [document](benchmark::State &state) {
        for (auto _ : state) {
            QString text = QString::fromUtf8(document->text);
            benchmark::DoNotOptimize(text);
        }
    };
}

// didChange that types a space at the start of `line` (from 0), or takes it away.
QByteArray spaceEdit(const QString &uri, int line, bool typed, int version)
{
    const QJsonObject start {{QStringLiteral("line"), line}, {QStringLiteral("character"), 0}};
    const QJsonObject end {{QStringLiteral("line"), line},
                           {QStringLiteral("character"), typed ? 0 : 1}};
    const QJsonObject change {
            {QStringLiteral("range"),
             QJsonObject {{QStringLiteral("start"), start}, {QStringLiteral("end"), end}}},
            {QStringLiteral("text"), typed ? QStringLiteral(" ") : QString()}};
    return rpc({{QStringLiteral("method"), QStringLiteral("textDocument/didChange")},
                {QStringLiteral("params"),
                 QJsonObject {{QStringLiteral("textDocument"),
                               QJsonObject {{QStringLiteral("uri"), uri},
                                            {QStringLiteral("version"), version}}},
                              {QStringLiteral("contentChanges"), QJsonArray {change}}}}});
}

QByteArray hoverRequest(const QString &uri, LspPosition position)
{
    return rpc({{QStringLiteral("id"), 2},
                {QStringLiteral("method"), QStringLiteral("textDocument/hover")},
                {QStringLiteral("params"),
                 QJsonObject {{QStringLiteral("textDocument"),
                               QJsonObject {{QStringLiteral("uri"), uri}}},
                              {QStringLiteral("position"),
                               QJsonObject {{QStringLiteral("line"), position.line},
                                            {QStringLiteral("character"), position.character}}}}}});
}

// What the server does after each keystroke of a client: the edit, then a
// hover or the findings of the whole text, as editors ask for them.
void afterEditFigures(FigureTable &table)
{
    constexpr qsizetype MiB = 1024 * 1024;
    const auto document = std::make_shared<BenchDocument>(oneMenuDocument(MiB, MenuPlace::End));
    const QString path = QStringLiteral("/bench/lsp-edit.c");
    const FigureTable::Body keystroke = keystrokesIn(document);
    // The edit in the menu, or far above it: diagnostics read the whole
    // text, taking up what was read before beyond the edit.
    const struct
    {
        bool hover;
        bool above;
        const char *name;
        const char *figure;
        const char *scenario;
    } cases[] = {{true, false, "lsp/edit-hover/1MiB", "language server: hover after an edit",
                  "1 MiB, menu at end, a space typed or taken away in it"},
                 {false, false, "lsp/edit-diagnostics/1MiB",
                  "language server: diagnostics after an edit",
                  "1 MiB, menu at end, a space typed or taken away in it"},
                 {false, true, "lsp/edit-diagnostics-above/1MiB",
                  "language server: diagnostics after an edit",
                  "1 MiB, menu at end, a space typed or taken away at the tenth line"}};
    for (const auto &c : cases) {
        const bool hover = c.hover;
        const int line = c.above ? 9 : document->cursorLine - 1;
        const auto measured = [document, path, hover, line](benchmark::State &state) {
            LspDispatcher session;
            QByteArray framed;
            openInSession(session, framed, *document, path);
            const QString uri = QUrl::fromLocalFile(path).toString();
            const QByteArray request = hoverRequest(uri, {document->cursorLine - 1, 8});
            int version = 1;
            for (auto _ : state) {
                ++version;
                session.receive(spaceEdit(uri, line, version % 2 == 0, version));
                if (hover)
                    session.receive(request);
                else
                    session.publishDiagnostics(uri);
                benchmark::DoNotOptimize(framed);
            }
            const QJsonObject last = lastMessage(framed);
            if (hover && !last.value(QLatin1String("result")).isObject())
                state.SkipWithError("the hover found no menu");
            if (!hover && !last.value(QLatin1String("params")).isObject())
                state.SkipWithError("no findings were published");
        };
        table.add(QString::fromLatin1(c.figure), QString::fromLatin1(c.scenario), c.name, measured,
                  QStringLiteral("keystroke"), keystroke, {2.0, 0});
    }
}

} // namespace

void lspFigures(FigureTable &table)
{
    afterEditFigures(table);

    constexpr qsizetype MiB = 1024 * 1024;
    constexpr int Menus = 1000;
    const auto document = std::make_shared<BenchDocument>(manyMenusDocument(MiB, Menus));
    // A character the font lacks in every menu: a finding each to publish.
    document->text.replace("\"Назад\"", "\"Назад Ω\"");
    const QString path = QStringLiteral("/bench/lsp.c");

    const auto measured = [document, path](benchmark::State &state) {
        LspDispatcher session;
        QByteArray framed;
        openInSession(session, framed, *document, path);
        const QString uri = QUrl::fromLocalFile(path).toString();
        for (auto _ : state) {
            session.publishDiagnostics(uri);
            benchmark::DoNotOptimize(framed);
        }
        const QJsonArray diagnostics = lastMessage(framed)
                                               .value(QLatin1String("params"))
                                               .toObject()
                                               .value(QLatin1String("diagnostics"))
                                               .toArray();
        if (diagnostics.size() < Menus)
            state.SkipWithError("the publication lacks the finding of each menu");
        state.counters["findings"] = double(diagnostics.size());
    };
    table.add(QStringLiteral("language server: diagnostics published after the debounce"),
              QStringLiteral("1 MiB, %1 menus with stored values, a finding in each").arg(Menus),
              "lsp/publish/1MiB", measured, QStringLiteral("UTF-8 decode"), decodeOf(document),
              {0, 50});

    // A hover in the last menu of a large file: the whole request, from its
    // JSON to the reply with the PNG and the art.
    const auto large = std::make_shared<BenchDocument>(manyMenusDocument(2 * MiB, 2 * Menus));
    // The hovered menu names a constant defined at the top, as firmware does:
    // the constant's definition is looked for through the whole text before it.
    const qsizetype back = large->text.lastIndexOf("\"Назад\"");
    large->text.replace(back, qstrlen("\"Назад\""), "BACK_TEXT");
    large->text.prepend("#define BACK_TEXT \"Назад\"\n");
    const QString largePath = QStringLiteral("/bench/lsp-hover.c");
    const auto hover = [large, largePath](benchmark::State &state) {
        LspDispatcher session;
        QByteArray framed;
        openInSession(session, framed, *large, largePath);
        const QString uri = QUrl::fromLocalFile(largePath).toString();
        const LspDocument *open = session.document(uri);
        const QByteArray request = hoverRequest(
                uri, open->positionAt(open->text().lastIndexOf(QLatin1String("MENU_ITEM")) + 3));
        for (auto _ : state) {
            session.receive(request);
            benchmark::DoNotOptimize(framed);
        }
        if (!lastMessage(framed).value(QLatin1String("result")).isObject())
            state.SkipWithError("the hover found no menu");
    };
    table.add(QStringLiteral("language server: hover in the last menu"),
              QStringLiteral("2 MiB, %1 menus with stored values, a constant named").arg(2 * Menus),
              "lsp/hover/2MiB", hover, QStringLiteral("UTF-8 decode"), decodeOf(large), {0, 20});
}
