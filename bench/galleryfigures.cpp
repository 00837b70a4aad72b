// Both commands run in-process as main() runs them, reading the files from
// disk each time; the gallery writes its pictures, page and JSON into a
// folder of its own on every pass.
#include "galleryfigures.h"

#include "figuretable.h"

#include "check.h"
#include "gallery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <memory>

using namespace VelkoMenuView;

namespace {

constexpr int Files = 20;
constexpr int MenusPerFile = 50;

// Menus of 1 to 12 items, a title, integer items, and now and then a title
// too long for the clock: findings for both commands to report.
QByteArray menuFile(int file)
{
    QByteArray text = "#define STR_BACK \"Назад\"\n\n";
    for (int m = 0; m < MenusPerFile; ++m) {
        const QByteArray name = "Menu" + QByteArray::number(file) + "_" + QByteArray::number(m);
        text += "BEGIN_MENU(" + name + ")\n";
        for (int i = 0; i <= (file + m) % 12; ++i)
            text += "    MENU_ITEM(\"Пункт " + QByteArray::number(i) + " %d\", onItem)\n";
        text += "    MENU_ITEM(STR_BACK, onBack)\n";
        text += "END_MENU(" + name + ", \"" + (m % 7 ? "Меню" : "Очень длинный заголовок")
                + "\")\n\n";
    }
    return text;
}

} // namespace

void galleryFigures(FigureTable &table)
{
    const auto tree = std::make_shared<QTemporaryDir>();
    bool written = tree->isValid();
    for (int f = 0; f < Files && written; ++f) {
        QFile file(tree->filePath(QStringLiteral("src/menus%1.c").arg(f, 2, 10, QLatin1Char('0'))));
        written = (f > 0 || QDir(tree->path()).mkpath(QStringLiteral("src")))
                && file.open(QIODevice::WriteOnly) && file.write(menuFile(f)) > 0;
    }
    const QString sources = tree->filePath(QStringLiteral("src"));
    const auto gallery = [tree, sources, written](benchmark::State &state) {
        GalleryOptions options;
        options.paths = {sources};
        options.output = tree->filePath(QStringLiteral("gallery"));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        for (auto _ : state) {
            if (!written || runGallery(options, BuildOptions(), outStream, errStream) != 0) {
                state.SkipWithError("the gallery was not written");
                return;
            }
        }
        if (!out.contains(QStringLiteral("1000 menus")))
            state.SkipWithError("the gallery did not hold the 1,000 menus");
    };
    const auto check = [sources, written](benchmark::State &state) {
        CheckOptions options;
        options.files = {sources};
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        for (auto _ : state) {
            out.clear();
            if (!written || runCheck(options, BuildOptions(), outStream, errStream) == 2) {
                state.SkipWithError("check could not read the tree");
                return;
            }
        }
    };
    table.add(QStringLiteral("gallery"),
              QStringLiteral("20 files, 1,000 menus of 2 to 13 items: page, PNGs and JSON"),
              "gallery/1000menus", gallery, QStringLiteral("check of the same tree"), check,
              {5.0, 0});
}
