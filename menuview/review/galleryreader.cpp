// A gallery's menus: the checks walk every menu once and hand each over as
// they read it, so that the screens and the findings come from one reading.
// Stored values are not used: a gallery shows the menus as written, alike on
// every machine, so that two galleries compare.
#include "menuview/review/galleryreader.h"

#include "menuview/checks/menuchecks.h"

#include "menuview/analysis/menupreview.h"
#include "menuview/files/sourcefile.h"
#include "menuview/screen/menurenderer.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <utility>

namespace VelkoMenuView {

namespace {

// One menu as one variant read it, before the variants are put together.
struct ReadMenu
{
    QString name;
    qsizetype begin = 0;
    qsizetype end = 0;
    MenuShot shot;
    QString text;
};

QString mapped(const QString &path, const QString &from, const QString &to)
{
    if (from.isEmpty() || !(path == from || path.startsWith(from + u'/')))
        return path;
    return to + path.mid(from.size());
}

} // namespace

GalleryReader::GalleryReader(qsizetype variants, ContextFor contextFor, bool allBranches,
                             QTime clock)
    : m_variants(variants)
    , m_contextFor(std::move(contextFor))
    , m_allBranches(allBranches)
    , m_clock(clock)
{ }

void GalleryReader::mapFolders(const QString &from, const QString &to)
{
    m_from = QDir::cleanPath(from);
    m_to = QDir::cleanPath(to);
}

bool GalleryReader::read(const GallerySource &source, Gallery *gallery, QString *fatal)
{
    SourceFile file;
    QString reason;
    if (!file.load(source.readPath, &reason)) {
        gallery->unreadable << source.shownPath + QStringLiteral(": ") + reason;
        return false;
    }
    const QString buildPath = QFileInfo(source.buildPath).absoluteFilePath();
    // Menus by key, in the order first met; each with one shot per variant.
    QList<GalleryMenu> menus;
    QHash<QString, qsizetype> byKey;
    FileNotes notes {source.shownPath, {}};
    for (qsizetype v = 0; v < m_variants; ++v) {
        CheckContext context;
        context.lines = &file.lines();
        context.storePath = file.absolutePath();
        context.allBranches = m_allBranches;
        if (!m_contextFor(buildPath, v, &context.source, fatal))
            return false;
        context.source.path = file.absolutePath();
        BuildConfiguration &configuration = context.source.configuration;
        for (QStringList *folders : {&configuration.includeFolders, &configuration.quoteFolders,
                                     &configuration.forcedIncludes}) {
            for (QString &folder : *folders)
                folder = mapped(QDir::cleanPath(folder), m_from, m_to);
        }

        QList<ReadMenu> read;
        context.onMenu = [&](const MenuPreview &preview) {
            ReadMenu menu;
            const MenuDefinition &definition = preview.block.menu;
            menu.name = definition.name;
            menu.begin = preview.begin;
            menu.end = qMax(preview.end, preview.begin + 1);
            menu.shot.present = true;
            menu.shot.line = file.lines().position(preview.begin).line;
            menu.shot.lastLine = file.lines().position(qMax(preview.last, preview.begin)).line;
            menu.shot.title = definition.title;
            menu.shot.items = int(definition.itemTexts.size());
            if (preview.outcome == MenuPreview::Outcome::Shown) {
                menu.shot.screen = renderMenu(definition, m_clock, 1);
                menu.text = QStringList {definition.name, definition.title}.join(u'\n') + u'\n'
                        + definition.itemLines.join(u'\n');
            } else {
                menu.shot.failure = preview.failure;
                menu.text = definition.name;
            }
            read << menu;
        };
        const QList<Diagnostic> diagnostics = checkMenus(file.text(), context);
        for (const Diagnostic &diagnostic : diagnostics) {
            const auto owner = std::find_if(read.begin(), read.end(), [&](const ReadMenu &menu) {
                return diagnostic.begin >= menu.begin && diagnostic.begin < menu.end;
            });
            const PlacedFinding placed = placeFinding(source.shownPath, file.lines(), diagnostic);
            if (owner != read.end())
                owner->shot.findings << placed;
            else if (v == 0
                     || !std::any_of(notes.findings.cbegin(), notes.findings.cend(),
                                     [&](const PlacedFinding &known) {
                                         return known.message == placed.message;
                                     }))
                notes.findings << placed;
        }

        QHash<QString, int> seen;
        for (ReadMenu &menu : read) {
            const int occurrence = ++seen[menu.name];
            const QString key = occurrence == 1
                    ? menu.name
                    : menu.name + QStringLiteral("#") + QString::number(occurrence);
            qsizetype index = byKey.value(key, -1);
            if (index < 0) {
                index = menus.size();
                byKey.insert(key, index);
                GalleryMenu added;
                added.file = source.shownPath;
                added.name = menu.name;
                added.key = key;
                added.shots.resize(m_variants);
                menus << added;
            }
            GalleryMenu &target = menus[index];
            target.shots[v] = menu.shot;
            if (!target.text.contains(menu.text))
                target.text
                        += (target.text.isEmpty() ? QString() : QStringLiteral("\n")) + menu.text;
        }
    }
    gallery->menus << menus;
    if (!notes.findings.isEmpty())
        gallery->notes << notes;
    return true;
}

void sortGallery(Gallery *gallery)
{
    std::stable_sort(gallery->menus.begin(), gallery->menus.end(),
                     [](const GalleryMenu &a, const GalleryMenu &b) {
                         if (a.file != b.file)
                             return a.file < b.file;
                         const MenuShot *first = a.firstShot();
                         const MenuShot *second = b.firstShot();
                         return first && second && first->line < second->line;
                     });
}

} // namespace VelkoMenuView
