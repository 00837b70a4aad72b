// Painting: the grabbed widget, read back into device pixels, must show the
// inverted title bar with its clock and one row per item, magnified.
#include "screenart.h"
#include "viewfixture.h"
#include "widgetscreen.h"

#include "devicegfx/gfx.h"
#include "menuview/screen/menurenderer.h"

#include <QtTest>

namespace {

QByteArray menuWithTitle(const QByteArray &title, const QList<QByteArray> &items)
{
    QByteArray text = "BEGIN_MENU(Main)\n";
    for (const QByteArray &item : items)
        text += "  MENU_ITEM(\"" + item + "\")\n";
    return text + "END_MENU(Main, \"" + title + "\")\n";
}

using ScreenArt::deviceRow;
using Shot = WidgetScreen;

Shot shoot(ViewFixture &f, int m)
{
    f.items->setMultiplier(m);
    f.items->resize(128 * m, 8 * m * f.items->rowCount());
    return Shot {f.items->grab().toImage(), m};
}

// Collects the regions of the paint events a widget gets.
class PaintRecorder : public QObject
{
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

class tst_MenuScreen : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void titleRow_data();
    void titleRow();
    void itemRowsMagnified_data();
    void itemRowsMagnified();
    void tallMenuIsNotCut();
    void unlitPixelsShowTheBackground();
    void invalidMenuPaintsNothing();
    void changesRepaintTheirRows_data();
    void changesRepaintTheirRows();
    void othersTextSettingsNeitherMatterNorChange_data();
    void othersTextSettingsNeitherMatterNorChange();
};

void tst_MenuScreen::titleRow_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("shown");

    QTest::addRow("short-title-with-clock")
            << QByteArray("Main menu") << QTime(9, 5) << "Main menu       09:05";
    QTest::addRow("fifteen-characters")
            << QByteArray("ABCDEFGHIJKLMNO") << QTime(9, 5) << "ABCDEFGHIJKLMNO 09:05";
    QTest::addRow("sixteen-characters-no-clock")
            << QByteArray("ABCDEFGHIJKLMNOP") << QTime(9, 5) << "ABCDEFGHIJKLMNOP";
    QTest::addRow("thirty-characters-cut") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")
                                           << QTime(9, 5) << "ABCDEFGHIJKLMNOPQRSTU";
    QTest::addRow("empty-title") << QByteArray() << QTime(9, 5) << "                09:05";
    QTest::addRow("midnight") << QByteArray("T") << QTime(0, 0) << "T               00:00";
    QTest::addRow("last-minute") << QByteArray("T") << QTime(23, 59) << "T               23:59";
    QTest::addRow("percent-percent")
            << QByteArray("Load 50%%") << QTime(9, 5) << "Load 50%       09:05";
    QTest::addRow("conversion-shown-as-written")
            << QByteArray("Val %d %s") << QTime(9, 5) << "Val %d %s       09:05";
    QTest::addRow("cyrillic") << QByteArray("Меню") << QTime(12, 30) << "Меню            12:30";
}

void tst_MenuScreen::titleRow()
{
    QFETCH(QByteArray, title);
    QFETCH(QTime, time);
    QFETCH(QString, shown);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/t.c"), menuWithTitle(title, {"Item"}), 2, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    f.items->setFixedTime(time);
    const Shot shot = shoot(f, 1);
    COMPARE_ART(shot.row(0), deviceRow(shown, true));
}

void tst_MenuScreen::itemRowsMagnified_data()
{
    QTest::addColumn<int>("m");
    QTest::addRow("x1") << 1;
    QTest::addRow("x2") << 2;
    QTest::addRow("x3") << 3;
}

void tst_MenuScreen::itemRowsMagnified()
{
    QFETCH(int, m);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("Main", {"Start", "Load 50%%", "Скорость"}), 2,
           1);
    f.tick();
    f.items->setFixedTime(QTime(9, 5));
    QCOMPARE(f.items->rowCount(), 4);
    const Shot shot = shoot(f, m);
    QCOMPARE(shot.image.size(), QSize(128 * m, 32 * m));
    COMPARE_ART(shot.row(0), deviceRow(QStringLiteral("Main            09:05"), true));
    COMPARE_ART(shot.row(1), deviceRow(QStringLiteral("Start"), false));
    COMPARE_ART(shot.row(2), deviceRow(QStringLiteral("Load 50%"), false));
    COMPARE_ART(shot.row(3), deviceRow(QStringLiteral("Скорость"), false));
}

void tst_MenuScreen::tallMenuIsNotCut()
{
    QList<QByteArray> items;
    for (int i = 1; i <= 12; ++i)
        items << "Item " + QByteArray::number(i);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("Long", items), 2, 1);
    f.tick();
    QCOMPARE(f.items->rowCount(), 13);
    const Shot shot = shoot(f, 1);
    QCOMPARE(shot.image.height(), 13 * 8);
    for (int i = 1; i <= 12; ++i)
        COMPARE_ART(shot.row(i), deviceRow(QStringLiteral("Item %1").arg(i), false));

    // The screen's lower edge: a dashed line of the theme's highlight through
    // the unlit pixels of the first row below it, never over a lit one, and
    // not in the picture copied.
    const QRgb highlight = f.items->palette().color(QPalette::Highlight).rgb();
    for (const int m : {1, 3}) {
        const QImage image = shoot(f, m).image;
        int marked = 0;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (image.pixel(x, y) == highlight) {
                    QCOMPARE(y, 64 * m);
                    ++marked;
                }
            }
        }
        QVERIFY2(marked > image.width() / 3 && marked < image.width(),
                 qPrintable(QString::number(marked)));
        const QImage copied = f.items->screenImage();
        QCOMPARE(copied.size(), QSize(128 * m, 104 * m));
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32).pixel(0, 64 * m),
                 qRgb(0xF4, 0xF4, 0xF4));
    }
    // Seven items fill the screen: no edge to mark.
    f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("Long", items.mid(0, 7)), 2, 1);
    f.tick();
    const QImage seven = shoot(f, 2).image;
    QCOMPARE(seven.height(), 128);
    for (int x = 0; x < seven.width(); ++x)
        QVERIFY(seven.pixel(x, 127) != highlight);
}

void tst_MenuScreen::unlitPixelsShowTheBackground()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("T", {"A"}), 2, 1);
    f.tick();
    QPalette palette = f.items->palette();
    palette.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    f.items->setPalette(palette);
    f.items->setAutoFillBackground(true);
    const Shot shot = shoot(f, 1);
    // Row 1 column 0 is the blank spacing column of "A": unlit.
    QCOMPARE(shot.image.pixel(0, 8), qRgb(0x12, 0x34, 0x56));
    // Title bar columns 126 and 127 are lit by the inversion.
    QCOMPARE(shot.image.pixel(127, 0), qRgb(0, 0, 0));
}

void tst_MenuScreen::invalidMenuPaintsNothing()
{
    ViewFixture f;
    auto *doc = f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("T", {"A"}), 2, 1);
    f.tick();
    QVERIFY(shoot(f, 1).litPixels() > 0);
    doc->setContents(menuWithTitle("T", {"A"}) + "\nint x;\n");
    f.moveCursor(6, 1);
    f.tick();
    QVERIFY(!f.items->isMenuValid());
    f.items->resize(128, 16); // the pane would keep the last size
    QCOMPARE((Shot {f.items->grab().toImage(), 1}).litPixels(), 0);
}

void tst_MenuScreen::changesRepaintTheirRows_data()
{
    QTest::addColumn<QByteArray>("after"); // the text after the edit
    QTest::addColumn<QTime>("clock"); // the clock after the edit
    QTest::addColumn<QList<int>>("rows"); // painted again: 0 the title row

    const QTime noon(12, 0);
    QTest::addRow("an item's text")
            << menuWithTitle("T", {"A", "Bx", "C"}) << noon << QList<int> {2};
    QTest::addRow("the title") << menuWithTitle("T2", {"A", "B", "C"}) << noon << QList<int> {0};
    QTest::addRow("the clock") << menuWithTitle("T", {"A", "B", "C"}) << QTime(12, 1)
                               << QList<int> {0};
    QTest::addRow("an item added")
            << menuWithTitle("T", {"A", "B", "C", "D"}) << noon << QList<int> {4};
    QTest::addRow("an item taken away, the ones after it move up")
            << menuWithTitle("T", {"B", "C"}) << noon << QList<int> {1, 2, 3};
    QTest::addRow("an edit that shows the same") << menuWithTitle("T", {"A", "B", "C"}) + "\n"
                                                 << noon << QList<int> {};
    QTest::addRow("the menu gone") << QByteArray("BEGIN_MENU(") << noon << QList<int> {0, 1, 2, 3};
}

void tst_MenuScreen::changesRepaintTheirRows()
{
    QFETCH(QByteArray, after);
    QFETCH(QTime, clock);
    QFETCH(QList<int>, rows);

    ViewFixture f;
    auto *doc = f.open(QStringLiteral("/tmp/t.c"), menuWithTitle("T", {"A", "B", "C"}), 2, 1);
    const int m = 2;
    f.items->setFixedTime(QTime(12, 0));
    f.items->setMultiplier(m);
    f.tick();
    f.items->resize(128 * m, 8 * m * 6);
    f.items->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.items.get()));
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    f.items->installEventFilter(&recorder);

    doc->setContents(after);
    f.items->setFixedTime(clock);
    QRegion expected;
    for (const int row : rows)
        expected += QRect(0, 8 * m * row, 128 * m, 8 * m);
    QTRY_COMPARE_WITH_TIMEOUT(recorder.painted, expected, 1000);
    QTest::qWait(50); // and nothing more
    QCOMPARE(recorder.painted, expected);

    // Painted a row at a time, the screen is the one painted whole.
    const QImage whole = f.items->grab().toImage();
    QImage byRows(whole.size(), whole.format());
    byRows.fill(Qt::red);
    for (int row = 0; row * 8 * m < whole.height(); ++row) {
        const QRect rect(0, 8 * m * row, 128 * m, 8 * m);
        f.items->render(&byRows, rect.topLeft(), QRegion(rect));
    }
    QCOMPARE(byRows, whole);
}

void tst_MenuScreen::othersTextSettingsNeitherMatterNorChange_data()
{
    QTest::addColumn<int>("font");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<bool>("inverse");
    QTest::addColumn<bool>("clipWhole");
    QTest::addColumn<int>("align");

    QTest::addRow("other-font") << 13 << true << false << false << 0;
    QTest::addRow("transparent") << 3 << false << false << false << 0;
    QTest::addRow("inverse") << 3 << true << true << false << 0;
    QTest::addRow("clip-whole-glyphs") << 0 << true << false << true << 0;
    QTest::addRow("aligned-to-the-end") << 7 << false << true << true << int(GfxAlignEnd);
}

void tst_MenuScreen::othersTextSettingsNeitherMatterNorChange()
{
    QFETCH(int, font);
    QFETCH(bool, opaque);
    QFETCH(bool, inverse);
    QFETCH(bool, clipWhole);
    QFETCH(int, align);
    MenuDefinition menu;
    menu.title = QStringLiteral("Настройки");
    menu.itemLines = {QStringLiteral("Скорость 42"), QStringLiteral("Load 50%")};
    const QTime clock(9, 5);
    const QImage expected = VelkoMenuView::renderMenu(menu, clock, 1);

    // What some other drawing left the device library with.
    gfxFont = &gfxFonts[font];
    gfxOpaque = opaque;
    gfxInverse = inverse;
    gfxClipWhole = clipWhole;
    gfxAlign = align;
    const QImage drawn = VelkoMenuView::renderMenu(menu, clock, 1);
    const bool restored = gfxFont == &gfxFonts[font] && gfxOpaque == opaque && gfxInverse == inverse
            && gfxClipWhole == clipWhole && gfxAlign == align;
    gfxFont = &gfxFonts[3];
    gfxOpaque = true;
    gfxInverse = gfxClipWhole = false;
    gfxAlign = 0;
    QCOMPARE(drawn, expected);
    QVERIFY(restored);
}

QTEST_MAIN(tst_MenuScreen)
#include "tst_menuscreen.moc"
