// The gallery command: read the tree (and the one compared with), pair the
// menus, write the pictures, the page and its JSON twin.
#include "gallery.h"

#include "buildcontext.h"
#include "menuview/review/galleryjson.h"
#include "menuview/review/gallerypage.h"
#include "menuview/review/palettepng.h"
#include "menuview/screen/theme.h"
#include "progressline.h"

#include "menuview/files/menufilenames.h"
#include "menuview/files/sourcepaths.h"
#include "menuview/review/gallerychanges.h"
#include "menuview/review/galleryreader.h"
#include "menuview/review/gitrevision.h"
#include "menuview/screen/menurenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

constexpr int Scale = 2;

// As git names a place in its work tree: links resolved.
QString realPath(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

// The files under `paths`, each read where `readRoot` stands for `path` when
// given (a revision's copy).
QList<GallerySource> sourcesOf(const QStringList &paths, const QString &topLevel = QString(),
                               const QString &copy = QString())
{
    QList<GallerySource> sources;
    for (const QString &path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        QString read = path;
        if (!copy.isEmpty()) {
            read = copy + u'/' + QDir(topLevel).relativeFilePath(realPath(path));
            if (!QFileInfo::exists(read))
                continue; // not in the revision: every menu of it is added
        }
        const QStringList found = sourcePaths({read});
        for (const QString &file : found) {
            const QString below = file.mid(read.size()); // "" for a file, "/sub/x.c" for a folder
            sources.append({path + below, file, absolute + below});
        }
    }
    return sources;
}

bool readAll(GalleryReader &reader, const QList<GallerySource> &sources, Gallery *gallery,
             QTextStream &err)
{
    ProgressLine progress(err, sources.size());
    for (const GallerySource &source : sources) {
        progress.step(source.shownPath);
        QString fatal;
        if (!reader.read(source, gallery, &fatal) && !fatal.isEmpty()) {
            err << "velko-menu: " << fatal << Qt::endl;
            return false;
        }
    }
    sortGallery(gallery);
    return true;
}

class PictureWriter
{
public:
    explicit PictureWriter(const QString &folder)
        : m_folder(folder)
    { }

    // Writes `screen` (magnification 1) under `area`; the path inside the folder.
    QString write(const QString &area, const QString &file, const QString &name,
                  const QImage &screen, bool edge, QString *error)
    {
        auto names = m_names.find(area + u'/' + file);
        if (names == m_names.end()) {
            names = m_names.insert(area + u'/' + file, MenuFileNames());
            m_files[area + u'/' + file] = m_areaFiles[area].take(file);
        }
        const QString path = area + u'/' + m_files.value(area + u'/' + file) + u'/'
                + names->take(name) + u".png"_s;
        const QString target = QDir(m_folder).filePath(path);
        // Screens on the device's colours and the edge's; masks on their own.
        static const PalettePng screens({0xFF000000, defaultTheme().unlit, defaultTheme().edge});
        static const PalettePng masks(
                {0xFFFFFFFF, MaskFadedColor, LitNowColor, UnlitNowColor, MaskAddedRowColor});
        const QByteArray png = edge
                ? screens.encode(screen, Scale, screenEdgeRow(Scale),
                                 [](int x, int index) {
                                     return index == 1 && inScreenEdgeDash(x, Scale) ? 2 : index;
                                 })
                : masks.encode(screen, Scale);
        QFile written(target);
        if (png.isEmpty() || !QDir().mkpath(QFileInfo(target).absolutePath())
            || !written.open(QIODevice::WriteOnly) || written.write(png) != png.size()) {
            *error = u"%1: cannot write the picture: %2"_s.arg(target, written.errorString());
            return QString();
        }
        return path;
    }

private:
    QString m_folder;
    QHash<QString, MenuFileNames> m_areaFiles; // per area: the files' folder names
    QHash<QString, QString> m_files;
    QHash<QString, MenuFileNames> m_names; // per area and file: the menus' names
};

QString pictureName(const QString &key, const QString &variant)
{
    return variant.isEmpty() ? key : key + u"--"_s + variant;
}

// Writes the screens of `gallery` under `area` (of the menus `only` names,
// when given), setting each shot's png.
bool writeScreens(PictureWriter &writer, const QString &area, Gallery *gallery, QString *error,
                  const QSet<qsizetype> *only = nullptr)
{
    for (qsizetype i = 0; i < gallery->menus.size(); ++i) {
        if (only && !only->contains(i))
            continue;
        GalleryMenu &menu = gallery->menus[i];
        for (qsizetype v = 0; v < menu.shots.size(); ++v) {
            MenuShot &shot = menu.shots[v];
            if (shot.screen.isNull())
                continue;
            shot.png = writer.write(area, menu.file,
                                    pictureName(menu.key, gallery->variants.value(v)), shot.screen,
                                    true, error);
            if (shot.png.isEmpty())
                return false;
        }
    }
    return true;
}

bool writeChangePictures(PictureWriter &writer, GalleryPage *page, QString *error)
{
    for (const MenuChange &change : std::as_const(page->changes)) {
        QList<GalleryPage::ChangePictures> pictures;
        for (const ScreenChange &screen : change.screens) {
            GalleryPage::ChangePictures written;
            const qsizetype v = page->after.variants.indexOf(screen.variant);
            const qsizetype w = page->before.variants.indexOf(screen.variant);
            if (change.after >= 0 && v >= 0)
                written.after = page->after.menus.at(change.after).shots.value(v).png;
            if (change.before >= 0 && w >= 0)
                written.before = page->before.menus.at(change.before).shots.value(w).png;
            if (!screen.mask.isNull()) {
                const GalleryMenu &menu = page->after.menus.at(change.after);
                written.mask = writer.write(u"changes"_s, menu.file,
                                            pictureName(menu.key, screen.variant), screen.mask,
                                            false, error);
                if (written.mask.isEmpty())
                    return false;
            }
            pictures << written;
        }
        page->changePictures << pictures;
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    err << path << ": error: cannot write it: " << file.errorString() << Qt::endl;
    return false;
}

} // namespace

int runGallery(const GalleryOptions &options, const BuildOptions &build, QTextStream &out,
               QTextStream &err)
{
    if (QFileInfo(options.output).exists() && !QFileInfo(options.output).isDir()) {
        err << options.output << ": error: not a folder" << Qt::endl;
        return 2;
    }
    const QList<GalleryVariant> variants = options.variants.isEmpty()
            ? QList<GalleryVariant> {GalleryVariant()}
            : options.variants;
    GalleryPage page;
    page.clock = options.time;
    page.scale = Scale;
    for (const GalleryVariant &variant : variants)
        page.after.variants << variant.name;
    page.before.variants = page.after.variants;

    const auto contextFor
            = [&](const QString &path, qsizetype v, ReadOptions *context, QString *error) {
                  BuildOptions variantBuild = build;
                  variantBuild.arguments << variants.at(v).arguments;
                  return sourceContextFor(path, variantBuild, context, error);
              };
    GalleryReader reader(variants.size(), contextFor, build.allBranches, options.time);
    if (!readAll(reader, sourcesOf(options.paths), &page.after, err))
        return 2;
    QString error;
    GitRevision revision;
    if (!options.baseline.isEmpty()) {
        page.before = Gallery();
        if (!readGalleryJson(options.baseline, &page.before, &error)) {
            err << "velko-menu: " << error << Qt::endl;
            return 2;
        }
        page.comparedWith = u"the gallery in "_s + options.baseline;
    } else if (!options.against.isEmpty()) {
        if (!revision.extract(options.paths.first(), options.against, &error)) {
            err << "velko-menu: " << error << Qt::endl;
            return 2;
        }
        for (const QString &path : options.paths) {
            if (QDir(revision.topLevel()).relativeFilePath(realPath(path)).startsWith("../"_L1)) {
                err << "velko-menu: " << path << " is outside the repository in "
                    << revision.topLevel() << Qt::endl;
                return 2;
            }
        }
        GalleryReader earlier(variants.size(), contextFor, build.allBranches, options.time);
        earlier.mapFolders(revision.topLevel(), revision.root());
        if (!readAll(earlier, sourcesOf(options.paths, revision.topLevel(), revision.root()),
                     &page.before, err))
            return 2;
        page.comparedWith = u"%1 (%2)"_s.arg(options.against, revision.commit().left(12));
    }
    if (!page.comparedWith.isEmpty())
        page.changes = compareGalleries(page.before, page.after, &page.unchanged);

    QSet<qsizetype> shownBefore; // only the earlier menus a change shows
    for (const MenuChange &change : std::as_const(page.changes))
        shownBefore.insert(change.before);
    PictureWriter writer(options.output);
    if (!QDir().mkpath(options.output) || !writeScreens(writer, u"menus"_s, &page.after, &error)
        || !writeScreens(writer, u"before"_s, &page.before, &error, &shownBefore)
        || !writeChangePictures(writer, &page, &error)) {
        err << (error.isEmpty() ? options.output + u": error: cannot create the folder"_s : error)
            << Qt::endl;
        return 2;
    }
    const QDir folder(options.output);
    if (!writeFile(folder.filePath(u"index.html"_s), galleryHtml(page), err)
        || !writeFile(folder.filePath(u"changes.json"_s), galleryJson(page), err))
        return 2;

    for (const QString &problem : std::as_const(page.after.unreadable))
        err << problem.section(u": "_s, 0, 0) << ": error: " << problem.section(u": "_s, 1)
            << Qt::endl;
    QSet<QString> files;
    for (const GalleryMenu &menu : std::as_const(page.after.menus))
        files.insert(menu.file);
    out << folder.filePath(u"index.html"_s) << ": " << page.after.menus.size()
        << (page.after.menus.size() == 1 ? " menu in " : " menus in ") << files.size()
        << (files.size() == 1 ? " file" : " files") << '\n';
    for (const MenuChange &change : std::as_const(page.changes)) {
        const GalleryMenu &menu = change.after >= 0 ? page.after.menus.at(change.after)
                                                    : page.before.menus.at(change.before);
        const MenuShot *shot = menu.firstShot();
        out << changeKindName(change.kind) << ": " << menu.file << ':' << (shot ? shot->line : 0)
            << ": " << menu.name << '\n';
    }
    out.flush();
    if (!page.after.unreadable.isEmpty())
        return 2;
    return options.failOnChange && !page.changes.isEmpty() ? 1 : 0;
}

} // namespace VelkoMenuView
