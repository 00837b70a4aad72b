// Branch-and-bound search: a place is dropped as soon as it differs in more
// pixels than the best place found so far.
#include "screenmatch.h"

#include <QList>

namespace {

struct Pixel
{
    int x;
    int y;
    bool lit;
};

QList<Pixel> comparedPixels(const QImage &reference, QRgb litColour, const QRect &ignored)
{
    QList<Pixel> pixels;
    for (int y = 0; y < reference.height(); ++y) {
        const auto line = reinterpret_cast<const QRgb *>(reference.constScanLine(y));
        for (int x = 0; x < reference.width(); ++x) {
            if (!ignored.contains(x, y))
                pixels.append({x, y, (line[x] & RGB_MASK) == litColour});
        }
    }
    // The first unlit pixel fixes the place's unlit colour: put one first.
    for (qsizetype i = 0; i < pixels.size(); ++i) {
        if (!pixels.at(i).lit) {
            pixels.swapItemsAt(0, i);
            break;
        }
    }
    return pixels;
}

QRgb at(const QImage &image, int x, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y))[x] & RGB_MASK;
}

int mismatchesAt(const QImage &shot, const QList<Pixel> &pixels, QRgb litColour, QPoint place,
                 int giveUpAbove)
{
    int count = 0;
    QRgb unlit = litColour;
    for (const Pixel &p : pixels) {
        const QRgb seen = at(shot, place.x() + p.x, place.y() + p.y);
        if (!p.lit && unlit == litColour && seen != litColour)
            unlit = seen;
        const bool same = p.lit ? seen == litColour : seen == unlit && seen != litColour;
        if (!same && ++count > giveUpAbove)
            break;
    }
    return count;
}

} // namespace

ScreenMatch locateScreen(const QImage &shotImage, const QImage &referenceImage, QRgb litColour,
                         const QRect &ignored, int allowed)
{
    const QImage shot = shotImage.convertToFormat(QImage::Format_RGB32);
    const QImage reference = referenceImage.convertToFormat(QImage::Format_RGB32);
    litColour &= RGB_MASK;
    const QList<Pixel> pixels = comparedPixels(reference, litColour, ignored);
    ScreenMatch best;
    best.compared = int(pixels.size());
    for (const Pixel &p : pixels)
        best.lit += p.lit;
    int bound = allowed;
    for (int y = 0; y + reference.height() <= shot.height(); ++y) {
        for (int x = 0; x + reference.width() <= shot.width(); ++x) {
            const int n = mismatchesAt(shot, pixels, litColour, QPoint(x, y), bound);
            if (n > bound)
                continue;
            best.at = QPoint(x, y);
            best.mismatches = n;
            if (n == 0)
                return best;
            bound = n - 1;
        }
    }
    return best;
}
