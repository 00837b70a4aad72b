// velko_bench: every figure of docs/performance.md, each beside its own
// baseline, then the table of ratios (also written to --ratios=FILE).
// Accepts the usual --benchmark_* options; scripts/bench.sh runs it.
#include "benchdocuments.h"
#include "benchsession.h"
#include "figuretable.h"
#include "followlatency.h"
#include "galleryfigures.h"
#include "lspfigures.h"
#include "peerfigures.h"
#include "ratioreporter.h"

#include "creader/linemap.h"
#include "devicegfx/gfx.h"
#include "menuview/checks/menuchecks.h"
#include "menuview/params/parameterstore.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr qsizetype KiB = 1024;
constexpr qsizetype MiB = 1024 * KiB;

void keystrokeFigures(FigureTable &table)
{
    const struct
    {
        qsizetype bytes;
        const char *name;
        const char *label;
    } sizes[] = {{0, "menu", nullptr},
                 {64 * KiB, "64KiB", "64 KiB"},
                 {MiB, "1MiB", "1 MiB"},
                 {4 * MiB, "4MiB", "4 MiB"}};
    const struct
    {
        MenuPlace place;
        const char *name;
    } places[]
            = {{MenuPlace::Start, "start"}, {MenuPlace::Middle, "middle"}, {MenuPlace::End, "end"}};

    for (const auto &size : sizes) {
        for (const auto &place : places) {
            // The menu alone shows the part of a keystroke that does not grow
            // with the text: loading stored values, formatting the lines.
            const bool alone = size.bytes == 0;
            if (alone && place.place != MenuPlace::Start)
                continue;
            const auto document
                    = std::make_shared<BenchDocument>(oneMenuDocument(size.bytes, place.place));
            const auto measured = [document](benchmark::State &state) {
                BenchSession session(*document);
                if (!session.showsStoredValues()) {
                    state.SkipWithError("the menu under the cursor is not shown with its values");
                    return;
                }
                for (auto _ : state)
                    session.keystroke();
                if (!session.showsStoredValues())
                    state.SkipWithError("the keystroke lost the menu");
            };
            const auto decode = [document](benchmark::State &state) {
                for (auto _ : state) {
                    QString text = QString::fromUtf8(document->text);
                    benchmark::DoNotOptimize(text);
                }
            };
            const QString scenario = alone
                    ? QStringLiteral("the menu alone (%1 bytes): the part that does not grow")
                              .arg(document->text.size())
                    : QStringLiteral("%1, menu at %2")
                              .arg(QString::fromLatin1(size.label),
                                   QString::fromLatin1(place.name));
            table.add(QStringLiteral("keystroke (decode, analyze, stored values)"), scenario,
                      std::string("keystroke/") + size.name + "/" + place.name, measured,
                      QStringLiteral("UTF-8 decode"), decode, {alone ? 0.0 : 2.0, 0});
        }
    }
}

// A keystroke in a file that includes 20 headers of 100 KiB, against the
// same keystroke without the includes: the headers are read once, not per key.
void includeFigures(FigureTable &table)
{
    const auto folder = std::make_shared<QTemporaryDir>();
    const auto plain = std::make_shared<BenchDocument>(oneMenuDocument(64 * KiB, MenuPlace::End));
    const auto included
            = std::make_shared<BenchDocument>(withIncludes(*plain, folder->path(), 20, 100 * KiB));
    const QString path = folder->filePath(QStringLiteral("menus.c"));
    const FigureTable::Body keystroke = keystrokesIn(included, path);
    const FigureTable::Body measured = [folder, keystroke, included](benchmark::State &state) {
        if (!included->text.startsWith("#include")) {
            state.SkipWithError("the headers could not be written");
            return;
        }
        keystroke(state);
    };
    table.add(QStringLiteral("keystroke with included headers"),
              QStringLiteral("64 KiB, menu at end, 20 headers of 100 KiB included"),
              "keystroke/includes", measured, QStringLiteral("keystroke without them"),
              keystrokesIn(plain, path), {2.0, 0});
}

// A keystroke whose menu takes its texts through two levels of function-like
// wrappers from an included string table, against decoding the text once.
void wrapperFigures(FigureTable &table)
{
    for (const qsizetype bytes : {64 * KiB, 4 * MiB}) {
        const auto folder = std::make_shared<QTemporaryDir>();
        const auto document = std::make_shared<BenchDocument>(withWrappedTexts(
                oneMenuDocument(bytes, MenuPlace::End), folder->path(), 100 * KiB));
        const FigureTable::Body keystroke
                = keystrokesIn(document, folder->filePath(QStringLiteral("menus.c")));
        const FigureTable::Body measured = [folder, keystroke, document](benchmark::State &state) {
            if (!document->text.startsWith("#include")) {
                state.SkipWithError("the string table could not be written");
                return;
            }
            keystroke(state);
        };
        const auto decode = [document](benchmark::State &state) {
            for (auto _ : state) {
                QString text = QString::fromUtf8(document->text);
                benchmark::DoNotOptimize(text);
            }
        };
        const QString size = bytes == 4 * MiB ? QStringLiteral("4 MiB") : QStringLiteral("64 KiB");
        table.add(QStringLiteral("keystroke, texts through wrappers"),
                  QStringLiteral("%1, menu at end, texts as UI(MSG_n) from a 100 KiB string table")
                          .arg(size),
                  std::string("keystroke/wrapped/") + (bytes == 4 * MiB ? "4MiB" : "64KiB"),
                  measured, QStringLiteral("UTF-8 decode"), decode, {2.0, 0});
    }
}

void pruningFigures(FigureTable &table)
{
    // removed: item groups per menu that the text no longer has, stored
    // again before each close so that every close has them to remove.
    const struct
    {
        int menus;
        int removed;
    } cases[] = {{10, 0}, {100, 0}, {1000, 0}, {1000, 1}};
    for (const auto &c : cases) {
        const auto document = std::make_shared<BenchDocument>(manyMenusDocument(MiB, c.menus));
        const int removed = c.removed;
        const auto measured = [document, removed](benchmark::State &state) {
            BenchSession session(*document, removed);
            for (auto _ : state) {
                if (removed) {
                    state.PauseTiming();
                    session.storeRemovedItems();
                    state.ResumeTiming();
                }
                session.prune();
            }
            if (!session.storeMatchesText())
                state.SkipWithError("pruning did not leave exactly the items of the text");
        };
        const QString scenario = removed
                ? QStringLiteral("1 MiB, %1 menus, one item per menu to remove").arg(c.menus)
                : QStringLiteral("1 MiB, %1 menus with stored values").arg(c.menus);
        table.add(QStringLiteral("pruning on close"), scenario,
                  "pruning/" + std::to_string(c.menus) + "menus" + (removed ? "/removing" : ""),
                  measured, QStringLiteral("keystroke"), keystrokesIn(document),
                  {removed ? 0.0 : 10.0, 0});
    }
}

// `menus` menus in a row: closed ones with an item each, or opening keywords
// alone, the worst case for a search that runs to the end for each of them.
QString menuRun(int menus, bool closed)
{
    QString text;
    for (int i = 0; i < menus; ++i) {
        const QString name = QStringLiteral("Menu%1").arg(i);
        text += QStringLiteral("BEGIN_MENU(%1)\n").arg(name);
        if (closed)
            text += QStringLiteral("    MENU_ITEM(\"Item %d\", handler)\nEND_MENU(%1, \"Title\")\n")
                            .arg(name);
    }
    return text;
}

void scalingFigures(FigureTable &table)
{
    // Each pass over all menus must stay linear: twice the menus, about
    // twice the time. The baseline is the same pass over half as many.
    const struct
    {
        int menus;
        bool closed;
        const char *name;
    } cases[] = {{10000, true, "closed"}, {30000, false, "unclosed"}};
    for (const auto &c : cases) {
        const auto full = std::make_shared<QString>(menuRun(c.menus, c.closed));
        const auto half = std::make_shared<QString>(menuRun(c.menus / 2, c.closed));
        const auto check = [](std::shared_ptr<QString> text) {
            return [text](benchmark::State &state) {
                const VelkoMenuView::LineMap lines(*text);
                VelkoMenuView::CheckContext context;
                context.lines = &lines;
                for (auto _ : state)
                    benchmark::DoNotOptimize(checkMenus(*text, context));
            };
        };
        const auto prune = [](std::shared_ptr<QString> text) {
            return [text](benchmark::State &state) {
                QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                                   QStringLiteral("Ombrix"), QStringLiteral("VelkoMenuView"));
                VelkoMenuView::ParameterStore store(&settings);
                for (auto _ : state)
                    store.prune(QStringLiteral("/bench/scaling.c"), *text);
            };
        };
        const auto locate = [](std::shared_ptr<QString> text) {
            return [text](benchmark::State &state) {
                BenchDocument document;
                document.text = text->toUtf8();
                document.cursorLine = int(text->count(u'\n'));
                BenchSession session(document);
                for (auto _ : state)
                    session.keystroke();
            };
        };
        const QString scenario = QStringLiteral("%1 %2 menus against %3")
                                         .arg(c.menus)
                                         .arg(QString::fromLatin1(c.name))
                                         .arg(c.menus / 2);
        const std::string suffix = std::string(c.name) + "/" + std::to_string(c.menus);
        table.add(QStringLiteral("scaling: check"), scenario, "scaling/check/" + suffix,
                  check(full), QStringLiteral("half as many"), check(half), {2.3, 0});
        table.add(QStringLiteral("scaling: pruning on close"), scenario, "scaling/prune/" + suffix,
                  prune(full), QStringLiteral("half as many"), prune(half), {2.3, 0});
        table.add(QStringLiteral("scaling: keystroke in the last menu"), scenario,
                  "scaling/keystroke/" + suffix, locate(full), QStringLiteral("half as many"),
                  locate(half), {2.3, 0});
    }
}

void paintingFigures(FigureTable &table)
{
    const auto document = std::make_shared<BenchDocument>(paintDocument());
    for (int m : {1, 3}) {
        const auto measured = [document, m](benchmark::State &state) {
            BenchSession session(*document);
            MenuItems *items = session.items();
            items->setFixedTime(QTime(9, 5));
            items->setMultiplier(m);
            items->resize(128 * m, 8 * m * items->rowCount());
            if (items->rowCount() != 22) {
                state.SkipWithError("the 21-item menu is not shown");
                return;
            }
            QImage target(items->size(), QImage::Format_ARGB32_Premultiplied);
            for (auto _ : state) {
                items->render(&target);
                benchmark::ClobberMemory();
            }
        };
        const auto drawImage = [document, m](benchmark::State &state) {
            // The same picture, prepared once: what copying the finished screen costs.
            BenchSession session(*document);
            MenuItems *items = session.items();
            items->setFixedTime(QTime(9, 5));
            items->setMultiplier(m);
            items->resize(128 * m, 8 * m * items->rowCount());
            QImage prepared(items->size(), QImage::Format_ARGB32_Premultiplied);
            items->render(&prepared);
            QImage target(prepared.size(), QImage::Format_ARGB32_Premultiplied);
            for (auto _ : state) {
                QPainter painter(&target);
                painter.drawImage(0, 0, prepared);
                painter.end();
                benchmark::ClobberMemory();
            }
        };
        table.add(QStringLiteral("painting (title + 21 items)"),
                  QStringLiteral("magnification %1").arg(m), "paint/x" + std::to_string(m),
                  measured, QStringLiteral("drawImage"), drawImage, {0, m == 3 ? 2.0 : 0});
    }
}

void deviceFigures(FigureTable &table)
{
    const struct
    {
        const char *line;
        const char *name;
        const char *scenario;
    } lines[] = {{"Speed 1500 rpm  [OK]>", "ascii", "21 ASCII characters"},
                 {"Скорость 1500 об/мин>", "cyrillic", "21 characters, mostly Cyrillic"}};
    for (const auto &line : lines) {
        const std::string text = line.line;
        const auto general = [text](benchmark::State &state) {
            // Both paths must draw the same pixels, or the comparison means nothing.
            gfxClear();
            gfxPrint(0, 0, "%s", text.c_str());
            uint8_t fast[sizeof gfxFrameBuffer];
            std::memcpy(fast, gfxFrameBuffer, sizeof fast);
            gfxClear();
            gfxDrawText(gfxFont, GfxAlignStart | GfxAlignStart << 2, 0, 0, text.c_str());
            if (std::memcmp(fast, gfxFrameBuffer, sizeof fast) != 0) {
                state.SkipWithError("the general path draws other pixels than the cell path");
                return;
            }
            for (auto _ : state) {
                benchmark::DoNotOptimize(gfxDrawText(gfxFont, GfxAlignStart | GfxAlignStart << 2, 0,
                                                     0, text.c_str()));
                benchmark::ClobberMemory();
            }
        };
        const auto fast = [text](benchmark::State &state) {
            for (auto _ : state) {
                benchmark::DoNotOptimize(gfxPrint(0, 0, "%s", text.c_str()));
                benchmark::ClobberMemory();
            }
        };
        table.add(QStringLiteral("device text, general path against gfxPrint's cell path"),
                  QString::fromLatin1(line.scenario), std::string("devicetext/") + line.name,
                  general, QStringLiteral("gfxPrint, cell path"), fast);
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Never the user's own store: the run gets a home of its own.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    benchmark::Initialize(&argc, argv);
    QString ratiosPath;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--ratios=", 9) == 0)
            ratiosPath = QString::fromLocal8Bit(argv[i] + 9);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    FigureTable table;
    keystrokeFigures(table);
    includeFigures(table);
    wrapperFigures(table);
    pruningFigures(table);
    scalingFigures(table);
    paintingFigures(table);
    deviceFigures(table);
    lspFigures(table);
    galleryFigures(table);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    QString ratios;
    QTextStream stream(&ratios);
    bool allMet = table.write(stream, reporter);
    // A latency is a distribution, not a rate: measured outside the
    // benchmark loop, over many moves.
    const FollowLatency follow = measureFollowLatency(MiB, 200);
    // A display refreshes every 16.7 ms: a move shows in the next frame.
    const double followGoal = 16.0;
    stream << "\n| following the cursor in the studio (1 MiB, 100 menus) | moves | median | 95th "
              "percentile | goal |\n"
           << "|---|---:|---:|---:|---|\n";
    if (follow.error.isEmpty()) {
        const bool met = follow.medianMs <= followGoal;
        allMet = allMet && met;
        stream << "| isolated cursor move to finished repaint | " << follow.moves << " | "
               << QString::number(follow.medianMs, 'f', 1) << " ms | "
               << QString::number(follow.p95Ms, 'f', 1) << " ms | median ≤ " << followGoal << " ms "
               << (met ? "met" : "**missed**") << " |\n";
    } else {
        allMet = false;
        stream << "| cursor move to finished repaint | " << follow.error << " | | | |\n";
    }
    // Whole processes, not operations: a figure of its own, in its own table.
    stream << "\n";
    allMet = writePeerFigures(stream, QStringLiteral(VELKO_MENU_TOOL), 5) && allMet;
    stream.flush();
    QTextStream(stdout) << "\n"
                        << ratios
                        << (allMet ? "\nAll goals met.\n"
                                   : "\nSome goals missed or figures missing.\n");
    if (!ratiosPath.isEmpty()) {
        QFile file(ratiosPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        file.write(ratios.toUtf8());
    }
    return allMet ? 0 : 2;
}
