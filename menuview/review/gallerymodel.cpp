// The gallery's records.
#include "menuview/review/gallerymodel.h"

namespace VelkoMenuView {

const MenuShot *GalleryMenu::firstShot() const
{
    for (const MenuShot &shot : shots) {
        if (shot.present)
            return &shot;
    }
    return nullptr;
}

bool litPixel(const QImage &screen, int x, int y)
{
    // Black and nothing else: the edge's mark reads as unlit, as it only covers unlit pixels.
    return x < screen.width() && y < screen.height() && (screen.pixel(x, y) & 0xFFFFFF) == 0;
}

} // namespace VelkoMenuView
