// MenuItems painting: each row is composed by the device library in page 0 of
// its frame buffer and copied, magnified, into the widget. Row 0 is the
// inverted title bar with its clock; rows 1.. are the item lines.
#include "menuview/analysis/menuitems.h"

#include "devicegfx/gfx.h"
#include "menuview/analysis/itemformat.h"

#include <QBitmap>
#include <QDateTime>
#include <QPainter>

namespace {

// The title row: a title of up to 15 characters is padded and followed by
// the clock in cells 16 to 20; a longer one fills the row and has no clock.
QString titleRow(const QString &title, const QTime &time)
{
    if (title.size() > 15)
        return title.left(21);
    return title.leftJustified(15, QLatin1Char(' '))
            + QStringLiteral(" %1:%2").arg(time.hour(), 2, 10, QLatin1Char('0'))
                      .arg(time.minute(), 2, 10, QLatin1Char('0'));
}

} // namespace

void MenuItems::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    if (!menuValid)
        return;

    const QTime now = m_fixedTime.isValid() ? m_fixedTime : QDateTime::currentDateTime().time();
    // The title is a format on the device ("%%" prints "%"), but no argument
    // follows it: render it here so that a stray conversion shows as written
    // instead of reading one.
    const QByteArray title = formatText(titleRow(menu.title, now).toUtf8(), {}).toUtf8();
    gfxClear();
    gfxPrint(0, 0, "%s", title.constData());
    gfxBox(0, 0, 127, 7, DrawInvert);
    drawString(&p, 0);

    for (qsizetype i = 0; i < menu.itemLines.size(); ++i) {
        gfxClear();
        gfxPrint(0, 0, "%s", menu.itemLines.at(i).toUtf8().constData());
        drawString(&p, int(i) + 1);
    }
}

void MenuItems::drawString(QPainter *g, int row)
{
    // The row is filled with the unlit colour, then the lit pixels are painted
    // as points in one call: a handful of painter calls instead of 1024, and
    // the same bits in the bitmap. The points live on the stack, so painting
    // allocates nothing more than before.
    QPoint lit[128 * 8];
    int count = 0;
    for (int x = 0; x < 128; ++x) {
        for (int y = 0; y < 8; ++y) {
            if (gfxFrameBuffer[x] >> y & 1)
                lit[count++] = QPoint(x, y);
        }
    }
    QPainter q(rowBitmap);
    q.fillRect(rowBitmap->rect(), offPixelBrush.color());
    q.setPen(onPixelBrush.color());
    q.drawPoints(lit, count);
    q.end();
    const int m = m_multiplier;
    g->drawPixmap(QRect(0, 8 * m * row, 128 * m, 8 * m), *rowBitmap, QRect(0, 0, 128, 8));
}
