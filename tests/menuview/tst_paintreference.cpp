// The screen as painted must be, pixel for pixel, what painting every device
// pixel as its own point gives: the row bitmap is filled in a few calls,
// and this holds it to the plain rendering on varied rows and magnifications.
#include "viewfixture.h"

#include "devicegfx/gfx.h"
#include "menuview/screen/menurenderer.h"

#include <QBitmap>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// The plain rendering of the device row now in the frame buffer's page 0.
void paintRowPointByPoint(QPainter &target, QBitmap &bitmap, int row, int m)
{
    QPainter q(&bitmap);
    for (int x = 0; x < 128; ++x) {
        for (int y = 0; y < 8; ++y) {
            q.setPen(gfxFrameBuffer[x] >> y & 1 ? QColor(Qt::black) : QColor(0xF4, 0xF4, 0xF4));
            q.drawPoint(x, y);
        }
    }
    q.end();
    target.drawPixmap(QRect(0, 8 * m * row, 128 * m, 8 * m), bitmap, QRect(0, 0, 128, 8));
}

// Item texts that light few pixels, many, whole runs and none at all.
QList<QByteArray> itemTexts(quint32 seed)
{
    QList<QByteArray> items {"",
                             "Start",
                             "Скорость %d об/мин",
                             "||||||||||||||||||||||||",
                             "########################",
                             "Load 50%%",
                             "  .  :  .  "};
    QRandomGenerator random(seed);
    const QString pool = QStringLiteral("AZaz09#%|/_-=ЖЫЩёюЪ[]{}@$ \u00E9\u2588");
    for (int i = 0; i < 8; ++i) {
        QString text;
        const int length = int(random.bounded(30));
        for (int k = 0; k < length; ++k) {
            const QChar c = pool.at(int(random.bounded(pool.size())));
            text += c;
            if (c == u'%') // a lone conversion would take a value: keep it literal
                text += u'%';
        }
        items << text.toUtf8();
    }
    return items;
}

} // namespace

class tst_PaintReference : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void samePixelsAsPointByPoint_data();
    void samePixelsAsPointByPoint();
};

void tst_PaintReference::samePixelsAsPointByPoint_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QByteArray>("title");

    for (int m : {1, 2, 3}) {
        QTest::addRow("x%d-plain", m) << m << 1u << QByteArray("Main");
        QTest::addRow("x%d-random-a", m) << m << 7u << QByteArray("Настройки");
        QTest::addRow("x%d-random-b", m) << m << 99u << QByteArray("");
    }
}

void tst_PaintReference::samePixelsAsPointByPoint()
{
    QFETCH(int, m);
    QFETCH(quint32, seed);
    QFETCH(QByteArray, title);
    const QList<QByteArray> items = itemTexts(seed);
    QByteArray text = "BEGIN_MENU(Main)\n";
    for (const QByteArray &item : items)
        text += "  MENU_ITEM(\"" + item + "\")\n";
    text += "END_MENU(Main, \"" + title + "\")\n";

    ViewFixture f;
    f.open(QStringLiteral("/tmp/reference.c"), text, 2, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    const MenuDefinition &menu = f.items->menuDefinition();
    QCOMPARE(menu.itemLines.size(), items.size());
    f.items->setFixedTime(QTime(9, 5));
    f.items->setMultiplier(m);
    f.items->resize(128 * m, 8 * m * f.items->rowCount());

    // Both pictures start from the same colour, so unlit pixels compare too.
    const QColor ground(0x12, 0x34, 0x56);
    QImage painted(f.items->size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(ground);
    f.items->render(&painted, QPoint(), QRegion(), QWidget::DrawChildren);

    QImage expected(painted.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(ground);
    QPainter target(&expected);
    QBitmap bitmap(128, 8);
    const QString titleRow
            = QString::fromUtf8(title).leftJustified(15, u' ') + QStringLiteral(" 09:05");
    gfxClear();
    gfxPrint(0, 0, "%s", titleRow.toUtf8().constData());
    gfxBox(0, 0, 127, 7, DrawInvert);
    paintRowPointByPoint(target, bitmap, 0, m);
    for (qsizetype i = 0; i < menu.itemLines.size(); ++i) {
        gfxClear();
        gfxPrint(0, 0, "%s", menu.itemLines.at(i).toUtf8().constData());
        paintRowPointByPoint(target, bitmap, int(i) + 1, m);
    }
    target.end();

    int lit = 0;
    // Below the device's 64 rows the pane marks the screen's edge through unlit pixels.
    const QRgb edge = f.items->palette().color(QPalette::Highlight).rgb();
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const bool marked = y == VelkoMenuView::screenEdgeRow(m)
                    && VelkoMenuView::inScreenEdgeDash(x, m) && expected.pixel(x, y) == ground.rgb()
                    && painted.pixel(x, y) == edge;
            if (painted.pixel(x, y) != expected.pixel(x, y) && !marked)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
            lit += painted.pixel(x, y) == qRgb(0, 0, 0);
        }
    }
    QVERIFY(lit > 0); // a blank picture on both sides would prove nothing
}

QTEST_MAIN(tst_PaintReference)
#include "tst_paintreference.moc"
