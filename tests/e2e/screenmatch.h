// Finding a reference screen inside a screenshot, pixel for pixel: every lit
// pixel of the reference must be lit there, every unlit one unlit. Lit is the
// reference's lit colour exactly; unlit pixels may take any one colour but
// that (the pane shows its background through them), the same for all.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

struct ScreenMatch
{
    QPoint at;           // top-left corner in the screenshot
    int mismatches = -1; // differing pixels there; -1 when no place came within the limit
    int compared = 0;    // pixels compared per place (the reference less `ignored`)
    int lit = 0;         // lit pixels among them
};

// The place where the fewest pixels of `reference` (outside `ignored`, in
// reference coordinates) differ from `shot`, if no more than `allowed` do.
// With allowed == 0 a place is given up at its first differing pixel.
ScreenMatch locateScreen(const QImage &shot, const QImage &reference, QRgb litColour,
                         const QRect &ignored, int allowed);
