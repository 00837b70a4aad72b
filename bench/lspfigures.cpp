// A publication is what the server does once typing stops: checkMenus over
// the whole text with the stored values, the JSON of every finding, framing.
#include "lspfigures.h"

#include "benchdocuments.h"
#include "figuretable.h"
#include "lspsession.h"

#include "menuview/params/parameterstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <memory>

void lspFigures(FigureTable &table)
{
    constexpr qsizetype MiB = 1024 * 1024;
    constexpr int Menus = 1000;
    const auto document = std::make_shared<BenchDocument>(manyMenusDocument(MiB, Menus));
    // A character the font lacks in every menu: a finding each to publish.
    document->text.replace("\"Назад\"", "\"Назад Ω\"");
    const QString path = QStringLiteral("/bench/lsp.c");

    const auto measured = [document, path](benchmark::State &state) {
        {
            const std::unique_ptr<QSettings> settings(
                    VelkoMenuView::ParameterStore::openUserStore());
            storeValues(*settings, path, *document, true, 0);
        }
        LspSession session;
        QByteArray framed;
        QObject::connect(&session, &LspSession::send, &session,
                         [&framed](const QByteArray &body) { framed = frameMessage(body); });
        const QString uri = QUrl::fromLocalFile(path).toString();
        session.receive(
                QJsonDocument(QJsonObject {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                                           {QStringLiteral("id"), 1},
                                           {QStringLiteral("method"), QStringLiteral("initialize")},
                                           {QStringLiteral("params"), QJsonObject()}})
                        .toJson());
        const QJsonObject item {{QStringLiteral("uri"), uri},
                                {QStringLiteral("version"), 1},
                                {QStringLiteral("text"), QString::fromUtf8(document->text)}};
        session.receive(
                QJsonDocument(QJsonObject {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                                           {QStringLiteral("method"),
                                            QStringLiteral("textDocument/didOpen")},
                                           {QStringLiteral("params"),
                                            QJsonObject {{QStringLiteral("textDocument"), item}}}})
                        .toJson());
        for (auto _ : state) {
            session.publishDiagnostics(uri);
            benchmark::DoNotOptimize(framed);
        }
        const QJsonArray diagnostics = QJsonDocument::fromJson(framed.mid(framed.indexOf('{')))
                                               .object()
                                               .value(QLatin1String("params"))
                                               .toObject()
                                               .value(QLatin1String("diagnostics"))
                                               .toArray();
        if (diagnostics.size() < Menus)
            state.SkipWithError("the publication lacks the finding of each menu");
        state.counters["findings"] = double(diagnostics.size());
    };
    const auto decode = [document](benchmark::State &state) {
        for (auto _ : state) {
            QString text = QString::fromUtf8(document->text);
            benchmark::DoNotOptimize(text);
        }
    };
    table.add(QStringLiteral("language server: diagnostics published after the debounce"),
              QStringLiteral("1 MiB, %1 menus with stored values, a finding in each").arg(Menus),
              "lsp/publish/1MiB", measured, QStringLiteral("UTF-8 decode"), decode, {0, 50});
}
