// Pairing and pixel masks.
#include "menuview/review/gallerychanges.h"

#include <QHash>
#include <QMultiHash>

namespace VelkoMenuView {

namespace {

// The screens of one variant, both present or not: null when they look alike.
ScreenChange compareShots(const QString &variant, const MenuShot &before, const MenuShot &after)
{
    ScreenChange change {variant, 0, QImage()};
    if (before.present != after.present || before.failure != after.failure) {
        change.changedPixels = qMax(1, after.screen.width() * after.screen.height());
        return change;
    }
    const QImage &a = before.screen;
    const QImage &b = after.screen;
    if (a.isNull() && b.isNull())
        return change;
    const int width = qMax(a.width(), b.width());
    const int height = qMax(a.height(), b.height());
    QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::white);
    for (int y = 0; y < height; ++y) {
        const bool bothHaveRow = y < a.height() && y < b.height();
        for (int x = 0; x < width; ++x) {
            const bool was = litPixel(a, x, y);
            const bool is = litPixel(b, x, y);
            // A row only one side has is changed even where it is blank.
            if (was != is || !bothHaveRow) {
                ++change.changedPixels;
                mask.setPixel(x, y, is ? LitNowColor : was ? UnlitNowColor : MaskAddedRowColor);
            } else if (is) {
                mask.setPixel(x, y, MaskFadedColor); // unchanged lit pixels
            }
        }
    }
    if (change.changedPixels > 0)
        change.mask = mask;
    return change;
}

// Variants are matched by name: a variant the earlier gallery lacks had no menus.
QList<ScreenChange> compareMenus(const Gallery &earlier, const GalleryMenu &before,
                                 const Gallery &later, const GalleryMenu &after)
{
    QList<ScreenChange> changes;
    for (qsizetype v = 0; v < later.variants.size(); ++v) {
        // A shot out of range is a default one: absent.
        const MenuShot was = before.shots.value(earlier.variants.indexOf(later.variants.at(v)));
        ScreenChange change = compareShots(later.variants.at(v), was, after.shots.value(v));
        if (change.changedPixels > 0)
            changes << change;
    }
    return changes;
}

QString pairKey(const GalleryMenu &menu)
{
    return menu.file + QChar(0) + menu.key;
}

} // namespace

const char *changeKindName(MenuChange::Kind kind)
{
    constexpr const char *Names[] = {"added", "removed", "changed", "moved"}; // as Kind runs
    return Names[int(kind)];
}

QList<MenuChange> compareGalleries(const Gallery &before, const Gallery &after,
                                   QList<qsizetype> *unchanged)
{
    QHash<QString, qsizetype> earlier;
    for (qsizetype i = 0; i < before.menus.size(); ++i)
        earlier.insert(pairKey(before.menus.at(i)), i);
    QList<bool> paired(before.menus.size(), false);
    QList<qsizetype> added;
    QList<MenuChange> changes;
    for (qsizetype i = 0; i < after.menus.size(); ++i) {
        const qsizetype match = earlier.value(pairKey(after.menus.at(i)), -1);
        if (match < 0) {
            added << i;
            continue;
        }
        paired[match] = true;
        const QList<ScreenChange> screens
                = compareMenus(before, before.menus.at(match), after, after.menus.at(i));
        if (screens.isEmpty())
            unchanged->append(i);
        else
            changes << MenuChange {MenuChange::Kind::Changed, match, i, screens};
    }
    // A name that left one file and came to another: moved, paired in order.
    QMultiHash<QString, qsizetype> gone;
    for (qsizetype i = before.menus.size() - 1; i >= 0; --i) {
        if (!paired.at(i))
            gone.insert(before.menus.at(i).key, i);
    }
    for (const qsizetype i : added) {
        const GalleryMenu &menu = after.menus.at(i);
        const auto found = gone.find(menu.key);
        if (found == gone.end() || menu.key.isEmpty()) {
            changes << MenuChange {MenuChange::Kind::Added, -1, i, {}};
            continue;
        }
        const qsizetype from = found.value();
        gone.erase(found);
        paired[from] = true;
        changes << MenuChange {MenuChange::Kind::Moved, from, i,
                               compareMenus(before, before.menus.at(from), after, menu)};
    }
    for (qsizetype i = 0; i < before.menus.size(); ++i) {
        if (!paired.at(i))
            changes << MenuChange {MenuChange::Kind::Removed, i, -1, {}};
    }
    return changes;
}

} // namespace VelkoMenuView
