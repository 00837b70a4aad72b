// Writing and reading changes.json. Pictures are named relative to the
// gallery's folder; a name that would leave the folder is not read.
#include "menuview/review/galleryjson.h"

#include "menuview/checks/findingreport.h"

#include "menuview/analysis/devicescreen.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

constexpr auto Format = "velko-menu gallery 1";

QJsonArray findingsJson(const QList<PlacedFinding> &findings)
{
    QJsonArray array;
    for (const PlacedFinding &finding : findings)
        array.append(findingJson(finding));
    return array;
}

QJsonObject menuJson(const Gallery &gallery, const GalleryMenu &menu)
{
    QJsonArray variants;
    for (qsizetype v = 0; v < menu.shots.size(); ++v) {
        const MenuShot &shot = menu.shots.at(v);
        QJsonObject object {{u"variant"_s, gallery.variants.value(v)},
                            {u"present"_s, shot.present}};
        if (shot.present) {
            object.insert(u"line"_s, shot.line);
            object.insert(u"lastLine"_s, shot.lastLine);
            object.insert(u"title"_s, shot.title);
            object.insert(u"items"_s, shot.items);
            object.insert(u"itemsOnScreen"_s,
                          qMin(shot.items, VelkoMenuView::DeviceScreen::ItemsOnScreen));
            object.insert(u"findings"_s, findingsJson(shot.findings));
            if (shot.failure.isEmpty())
                object.insert(u"png"_s, shot.png);
            else
                object.insert(u"failure"_s, shot.failure);
        }
        variants.append(object);
    }
    return {{u"file"_s, menu.file},
            {u"menu"_s, menu.name},
            {u"key"_s, menu.key},
            {u"variants"_s, variants}};
}

QJsonObject changeJson(const GalleryPage &page, qsizetype index)
{
    const MenuChange &change = page.changes.at(index);
    const GalleryMenu *after = change.after >= 0 ? &page.after.menus.at(change.after) : nullptr;
    const GalleryMenu *before = change.before >= 0 ? &page.before.menus.at(change.before) : nullptr;
    const GalleryMenu &menu = after ? *after : *before;
    QJsonObject object {{u"kind"_s, QString::fromLatin1(changeKindName(change.kind))},
                        {u"file"_s, menu.file},
                        {u"menu"_s, menu.name}};
    if (after && after->firstShot())
        object.insert(u"line"_s, after->firstShot()->line);
    if (before) {
        object.insert(u"beforeFile"_s, before->file);
        if (before->firstShot())
            object.insert(u"beforeLine"_s, before->firstShot()->line);
    }
    QJsonArray screens;
    for (qsizetype s = 0; s < change.screens.size(); ++s) {
        const ScreenChange &screen = change.screens.at(s);
        const GalleryPage::ChangePictures pictures = page.changePictures.value(index).value(s);
        QJsonObject object {{u"variant"_s, screen.variant},
                            {u"changedPixels"_s, screen.changedPixels}};
        if (!pictures.before.isEmpty())
            object.insert(u"before"_s, pictures.before);
        if (!pictures.after.isEmpty())
            object.insert(u"after"_s, pictures.after);
        if (!pictures.mask.isEmpty())
            object.insert(u"mask"_s, pictures.mask);
        screens.append(object);
    }
    object.insert(u"screens"_s, screens);
    return object;
}

// The device pixels of a picture written at `scale`: its lit pixels are black.
QImage deviceScreen(const QImage &picture, int scale)
{
    if (picture.isNull() || scale < 1)
        return QImage();
    QImage screen(picture.width() / scale, picture.height() / scale,
                  QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x)
            screen.setPixel(x, y,
                            litPixel(picture, x * scale, y * scale) ? 0xFF000000 : 0xFFF4F4F4);
    }
    return screen;
}

bool insideFolder(const QString &path)
{
    return !path.isEmpty() && !QDir::isAbsolutePath(path)
            && !QDir::cleanPath(path).startsWith("../"_L1) && QDir::cleanPath(path) != ".."_L1;
}

} // namespace

QByteArray galleryJson(const GalleryPage &page)
{
    QJsonArray changes;
    for (qsizetype i = 0; i < page.changes.size(); ++i)
        changes.append(changeJson(page, i));
    QJsonArray menus;
    for (const GalleryMenu &menu : page.after.menus)
        menus.append(menuJson(page.after, menu));
    QJsonArray others;
    for (const FileNotes &notes : page.after.notes) {
        for (const QJsonValue finding : findingsJson(notes.findings))
            others.append(finding);
    }
    QJsonObject root {{u"format"_s, QString::fromLatin1(Format)},
                      {u"tool"_s,
                       QJsonObject {{u"name"_s, u"velko-menu"_s},
                                    {u"version"_s, QStringLiteral(VELKO_VERSION)}}},
                      {u"scale"_s, page.scale},
                      {u"time"_s, page.clock.toString(u"HH:mm"_s)},
                      {u"variants"_s, QJsonArray::fromStringList(page.after.variants)},
                      {u"changes"_s, changes},
                      {u"menus"_s, menus},
                      {u"otherFindings"_s, others},
                      {u"unreadable"_s, QJsonArray::fromStringList(page.after.unreadable)}};
    if (!page.comparedWith.isEmpty())
        root.insert(u"comparedWith"_s, page.comparedWith);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool readGalleryJson(const QString &folder, Gallery *gallery, QString *error)
{
    const QDir dir(folder);
    QFile file(dir.filePath(u"changes.json"_s));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"%1: cannot read it (%2): --baseline takes a folder a gallery was written into"_s
                         .arg(file.fileName(), file.errorString());
        return false;
    }
    QJsonParseError parse;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &parse).object();
    if (parse.error != QJsonParseError::NoError
        || root[u"format"_s].toString() != QLatin1String(Format)) {
        *error = u"%1: not a gallery's changes.json"_s.arg(file.fileName());
        return false;
    }
    const int scale = root[u"scale"_s].toInt();
    for (const QJsonValue variant : root[u"variants"_s].toArray())
        gallery->variants << variant.toString();
    for (const QJsonValue value : root[u"menus"_s].toArray()) {
        GalleryMenu menu;
        menu.file = value[u"file"_s].toString();
        menu.name = value[u"menu"_s].toString();
        menu.key = value[u"key"_s].toString();
        for (const QJsonValue variant : value[u"variants"_s].toArray()) {
            MenuShot shot;
            shot.present = variant[u"present"_s].toBool();
            shot.line = variant[u"line"_s].toInt();
            shot.lastLine = variant[u"lastLine"_s].toInt();
            shot.title = variant[u"title"_s].toString();
            shot.items = variant[u"items"_s].toInt();
            shot.failure = variant[u"failure"_s].toString();
            const QString png = variant[u"png"_s].toString();
            if (shot.present && shot.failure.isEmpty()) {
                QImageReader reader(insideFolder(png) ? dir.filePath(png) : QString());
                shot.screen = deviceScreen(reader.read(), scale);
                if (shot.screen.isNull()) {
                    *error = u"%1: cannot read the picture of %2 in %3"_s.arg(dir.filePath(png),
                                                                              menu.name, menu.file);
                    return false;
                }
            }
            menu.shots << shot;
        }
        gallery->menus << menu;
    }
    return true;
}

} // namespace VelkoMenuView
