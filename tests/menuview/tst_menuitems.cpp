// MenuItems as the host drives it: construction, which definition the cursor
// selects, and how the view follows editors, cursor moves and edits.
#include "viewfixture.h"

#include "creader/readcount.h"
#include <QCoreApplication>
#include <QTimer>
#include <QtTest>

#include <climits>

namespace {

const QByteArray twoMenus = "#include \"menu.h\"\n" // line 1
                            "BEGIN_MENU(Main)\n" // line 2
                            "  MENU_ITEM(\"Start\")\n" // line 3
                            "  MENU_ITEM(\"Stop\")\n" // line 4
                            "END_MENU(Main, \"Main menu\")\n" // line 5
                            "\n" // line 6
                            "BEGIN_EDITABLE_MENU(Setup)\n" // line 7
                            "  MENU_ITEM(\"Speed %d\")\n" // line 8
                            "END_EDITABLE_MENU(Setup, \"Smile :) ok\")\n" // line 9
                            "int after;\n"; // line 10

} // namespace

class tst_MenuItems : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void freshState();
    void setPeriodAndMultiplier();
    void nonPositivePeriodKeepsThePrevious_data();
    void nonPositivePeriodKeepsThePrevious();
    void leavesHostNamesAlone();
    void settingsStayInTestHome();

    void locator_data();
    void locator();
    void closingKeywordWithoutParenthesisLeavesViewAlone();
    void cursorPastTextWraps();
    void cursorLinesCycle_data();
    void cursorLinesCycle();
    void hugeCursorLineIsCheap();

    void noEditorDoesNothing();
    void switchingDocumentAtSameCursorReanalyses();
    void typingReanalysesAtOnce();
    void cursorMovesAnalyseAtNextTickOnly();
    void closingTrackedDocumentStopsUpdates();
    void openingChangesNothingUntilTick();
    void deletedDocumentIsForgotten();
    void analysisIsLinear();
};

void tst_MenuItems::freshState()
{
    MenuItems items;
    QCOMPARE(items.rowCount(), 0);
    QCOMPARE(items.multiplier(), 1);
    QCOMPARE(items.period(), 3);
    QTimer *timer = items.findChild<QTimer *>();
    QVERIFY(!timer); // the timer is a member, not a child object
    QVERIFY(items.settings());
}

void tst_MenuItems::setPeriodAndMultiplier()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.items->setPeriod(1);
    QTRY_COMPARE_WITH_TIMEOUT(f.items->rowCount(), 3, 3000);
    f.items->setPeriod(10);
    QCOMPARE(f.items->period(), 10);
    f.items->setPeriod(INT_MAX); // no overflow on the way to milliseconds
    f.items->setMultiplier(3);
    QCOMPARE(f.items->multiplier(), 3);
}

void tst_MenuItems::nonPositivePeriodKeepsThePrevious_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addRow("zero") << 0;
    QTest::addRow("negative") << -1;
    QTest::addRow("most-negative") << INT_MIN;
}

void tst_MenuItems::nonPositivePeriodKeepsThePrevious()
{
    // A timer of 0 ms would poll the editor without pause.
    QFETCH(int, seconds);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    f.analyzedSpy.clear();
    f.items->setPeriod(2);
    f.items->setPeriod(seconds);
    QCOMPARE(f.items->period(), 2);
    f.moveCursor(8, 3);
    QTest::qWait(100);
    QCOMPARE(f.analyzedSpy.count(), 0);
}

void tst_MenuItems::leavesHostNamesAlone()
{
    QCoreApplication::setOrganizationName(QStringLiteral("HostOrg"));
    QCoreApplication::setApplicationName(QStringLiteral("HostApp"));
    MenuItems first;
    MenuItems second;
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("HostOrg"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("HostApp"));
    QCOMPARE(first.settings()->organizationName(), QStringLiteral("Ombrix"));
    QCOMPARE(first.settings()->applicationName(), QStringLiteral("VelkoMenuView"));
    QCOMPARE(second.settings()->fileName(), first.settings()->fileName());
}

void tst_MenuItems::settingsStayInTestHome()
{
    MenuItems items;
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!config.isEmpty());
    QVERIFY2(items.settings()->fileName().startsWith(config),
             qPrintable(items.settings()->fileName()));
}

void tst_MenuItems::locator_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("analyzed");
    QTest::addColumn<QString>("name");

    const QByteArray plain = "BEGIN_MENU(Main)\nMENU_ITEM(\"A\")\nEND_MENU(Main, \"T\")\n";
    QTest::addRow("keyword-at-offset-0") << plain << 1 << 1 << true << true << "Main";
    QTest::addRow("before-keyword") << QByteArray("x\n") + plain << 1 << 1 << false << false << "";
    QTest::addRow("inside-closing-arguments") << plain << 3 << 12 << true << true << "Main";
    QTest::addRow("just-before-closing-paren") << plain << 3 << 19 << true << true << "Main";
    QTest::addRow("just-after-closing-paren") << plain << 3 << 20 << false << false << "";
    QTest::addRow("missing-closing-macro") << QByteArray("BEGIN_MENU(Main)\nMENU_ITEM(\"A\")\n")
                                           << 2 << 1 << false << true << "Main";
    QTest::addRow("second-menu-of-other-kind") << twoMenus << 8 << 5 << true << true << "Setup";
    QTest::addRow("first-menu") << twoMenus << 4 << 1 << true << true << "Main";
    QTest::addRow("between-menus") << twoMenus << 6 << 1 << false << false << "";
    QTest::addRow("paren-inside-title-literal") << twoMenus << 9 << 36 << true << true << "Setup";
    QTest::addRow("after-all-menus") << twoMenus << 10 << 3 << false << false << "";
    QTest::addRow("unterminated-title-runs-to-end")
            << QByteArray("BEGIN_MENU(M)\nEND_MENU(M, \"oops)\nint x;\n") << 3 << 4 << true << true
            << "M";
    const QByteArray adjacentTitle
            = "BEGIN_MENU(M)\nMENU_ITEM(\"A\")\nEND_MENU(M, \"a\" \"b)\")\nint x;\n";
    QTest::addRow("adjacent-title-literals-before-paren")
            << adjacentTitle << 3 << 21 << true << true << "M";
    QTest::addRow("adjacent-title-literals-after-paren")
            << adjacentTitle << 3 << 22 << false << false << "";
    QTest::addRow("text-ends-after-title-literal")
            << QByteArray("BEGIN_MENU(M)\nEND_MENU(M, \"a\" ") << 2 << 5 << true << true << "M";
    // A title named by a constant ends at the macro's ")" like any other.
    QTest::addRow("title-constant-ends-at-parenthesis")
            << QByteArray("BEGIN_MENU(M)\nEND_MENU(M, TITLE)\nint x;\n") << 3 << 2 << false << false
            << "";
    // Keywords count as the compiler sees them.
    QTest::addRow("opening-keyword-in-comment-ignored") << plain + "int x; // BEGIN_MENU(B)\n"
                                                        << 4 << 24 << false << false << "";
    QTest::addRow("closing-keyword-in-comment-ignored")
            << QByteArray("BEGIN_MENU(Main)\n/* END_MENU(Main, \"x\") "
                          "*/\nMENU_ITEM(\"A\")\nEND_MENU(Main, \"T\")\n")
            << 3 << 1 << true << true << "Main";
    QTest::addRow("helper-named-like-opening-keyword") << QByteArray(
            "BEGIN_MENU(Main)\nMY_BEGIN_MENU_HELPER(x)\nMENU_ITEM(\"A\")\nEND_MENU(Main, \"T\")\n")
                                                       << 3 << 1 << true << true << "Main";
    QTest::addRow("other-begin-words-passed-over")
            << QByteArray("BEGIN_MENU(Main)\nMENU_ITEM(\"A\")\n// BEGIN_CRITICAL "
                          "BEGIN_\nMENU_ITEM(\"B\")\nEND_MENU(Main, \"T\")\n")
            << 4 << 1 << true << true << "Main";
    QTest::addRow("in-keyword-joined-by-splice-after-cursor")
            << QByteArray("BEGIN_M\\\nENU(Main)\nMENU_ITEM(\"A\")\nEND_MENU(Main, \"T\")\n") << 1
            << 3 << true << true << "Main";
    QTest::addRow("column-zero-before-text") << plain << 1 << 0 << false << false << "";
    QTest::addRow("negative-column") << plain << 2 << -100 << false << false << "";
    QTest::addRow("no-keyword-at-all")
            << QByteArray("int main() {}\n") << 1 << 5 << false << false << "";
    QTest::addRow("empty-document") << QByteArray() << 1 << 1 << false << false << "";
}

void tst_MenuItems::locator()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(bool, valid);
    QFETCH(bool, analyzed);
    QFETCH(QString, name);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/locator.c"), text, line, column);
    f.tick();
    QCOMPARE(f.items->isMenuValid(), valid);
    QCOMPARE(f.analyzedSpy.count(), analyzed ? 1 : 0);
    if (valid)
        QCOMPARE(f.items->menuDefinition().name, name);
    QCOMPARE(f.items->rowCount(), valid ? int(f.items->menuDefinition().itemLines.size()) + 1 : 0);
}

void tst_MenuItems::closingKeywordWithoutParenthesisLeavesViewAlone()
{
    ViewFixture f;
    auto *doc = f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    QCOMPARE(f.analyzedSpy.count(), 1);
    doc->setContents("BEGIN_MENU(Main)\n  MENU_ITEM(\"X\")\nEND_MENU");
    QVERIFY(f.items->isMenuValid()); // nothing changed, not even the validity
    QCOMPARE(f.items->menuDefinition().itemTexts, QStringList({"Start", "Stop"}));
    QCOMPARE(f.analyzedSpy.count(), 1);
}

void tst_MenuItems::cursorPastTextWraps()
{
    // Lines past the last one wrap to the start of the text: line 4 of a
    // three-line text is line 1 again.
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), "BEGIN_MENU(M)\nMENU_ITEM(\"A\")\nEND_MENU(M, \"T\")", 4, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    f.moveCursor(3, 500); // beyond the end: searches start from the text's end
    f.tick();
    QVERIFY(!f.items->isMenuValid());
}

void tst_MenuItems::cursorLinesCycle_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("shown"); // menu name, empty for none

    // Three lines, two line feeds: line n is line (n - 1) % 3 + 1.
    for (int line : {1, 4, 7, 3001})
        QTest::addRow("line-%d", line) << line << "A";
    for (int line : {2, 5, 3002})
        QTest::addRow("line-%d", line) << line << "";
    for (int line : {3, 6, 3003})
        QTest::addRow("line-%d", line) << line << "B";
}

void tst_MenuItems::cursorLinesCycle()
{
    QFETCH(int, line);
    QFETCH(QString, shown);
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"),
           "BEGIN_MENU(A) MENU_ITEM(\"a\") END_MENU(A, \"a\")\nint x;\n"
           "BEGIN_MENU(B) MENU_ITEM(\"b\") END_MENU(B, \"b\")",
           line, 3);
    f.tick();
    QCOMPARE(f.items->isMenuValid(), !shown.isEmpty());
    if (!shown.isEmpty())
        QCOMPARE(f.items->menuDefinition().name, shown);
}

void tst_MenuItems::hugeCursorLineIsCheap()
{
    // Four line feeds: lines cycle with period five, and INT_MAX - 1 steps
    // leave the cursor at the start of line 2, inside the menu.
    const QByteArray text = "BEGIN_MENU(M)\nMENU_ITEM(\"A\")\nEND_MENU(M, \"T\")\n\n";
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), text, INT_MAX, 1);
    const qint64 before = VelkoMenuView::charactersRead();
    f.tick();
    // Lines are not walked two thousand million times.
    QVERIFY2(VelkoMenuView::charactersRead() - before < 100 * text.size(),
             qPrintable(QString::number(VelkoMenuView::charactersRead() - before)));
    QVERIFY(f.items->isMenuValid());
}

void tst_MenuItems::noEditorDoesNothing()
{
    ViewFixture f;
    Core::EditorManager::activateEditor(nullptr);
    f.tick();
    f.tick();
    QCOMPARE(f.analyzedSpy.count(), 0);
    QCOMPARE(f.items->rowCount(), 0);

    // An editor without a document neither crashes nor shows anything.
    VelkoMenuView::SimpleEditor orphan(nullptr, 1, 1);
    Core::EditorManager::activateEditor(&orphan);
    f.tick();
    QCOMPARE(f.analyzedSpy.count(), 0);
    Core::EditorManager::activateEditor(nullptr);
}

void tst_MenuItems::switchingDocumentAtSameCursorReanalyses()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), "BEGIN_MENU(A)\nMENU_ITEM(\"x\")\nEND_MENU(A, \"a\")\n", 2,
           1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("A"));
    f.open(QStringLiteral("/tmp/b.c"), "BEGIN_MENU(B)\nMENU_ITEM(\"y\")\nEND_MENU(B, \"b\")\n", 2,
           1);
    f.tick();
    QCOMPARE(f.analyzedSpy.count(), 2);
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("B"));
}

void tst_MenuItems::typingReanalysesAtOnce()
{
    ViewFixture f;
    auto *doc = f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    QCOMPARE(f.items->menuDefinition().itemTexts.size(), 2);
    QByteArray edited = twoMenus;
    edited.replace("  MENU_ITEM(\"Stop\")\n", "  MENU_ITEM(\"Stop\")\n  MENU_ITEM(\"Pause\")\n");
    f.moveCursor(20, 1); // not seen before the next tick
    doc->setContents(edited);
    QCOMPARE(f.analyzedSpy.count(), 2);
    QCOMPARE(f.items->menuDefinition().itemTexts, QStringList({"Start", "Stop", "Pause"}));
    QCOMPARE(f.items->rowCount(), 4);
}

void tst_MenuItems::cursorMovesAnalyseAtNextTickOnly()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    f.tick();
    QCOMPARE(f.analyzedSpy.count(), 1);
    f.moveCursor(8, 3);
    QCOMPARE(f.analyzedSpy.count(), 1);
    f.tick();
    QCOMPARE(f.analyzedSpy.count(), 2);
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("Setup"));
}

void tst_MenuItems::closingTrackedDocumentStopsUpdates()
{
    ViewFixture f;
    auto *doc = f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    f.close(doc);
    QVERIFY(f.items->isMenuValid()); // the view keeps what it shows
    doc->setContents("BEGIN_MENU(Other)\nEND_MENU(Other, \"x\")\n");
    QCOMPARE(f.analyzedSpy.count(), 1);
    f.moveCursor(1, 1);
    f.tick(); // the same editor is still current: it is tracked again
    QCOMPARE(f.analyzedSpy.count(), 2);
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("Other"));
}

void tst_MenuItems::openingChangesNothingUntilTick()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    QCOMPARE(f.analyzedSpy.count(), 0);
    QCOMPARE(f.items->rowCount(), 0);
    f.tick();
    QCOMPARE(f.items->rowCount(), 3);
}

void tst_MenuItems::deletedDocumentIsForgotten()
{
    ViewFixture f;
    f.open(QStringLiteral("/tmp/a.c"), twoMenus, 3, 3);
    f.tick();
    Core::EditorManager::activateEditor(nullptr);
    f.documents.back().reset(); // gone without a documentClosed
    f.tick();
    QMetaObject::invokeMethod(f.items.get(), "contentsChanged");
    QMetaObject::invokeMethod(f.items.get(), "loadSettingsParams");
    f.saveParam(0, 1, QStringLiteral("x"));
    QCOMPARE(f.analyzedSpy.count(), 1);
}

void tst_MenuItems::analysisIsLinear()
{
    // Typing in a large file re-reads and re-analyses the whole text: the
    // cost per keystroke must grow with the text, not faster.
    auto document = [](int mebibytes) {
        QByteArray filler;
        const QByteArray line
                = "static const int table_entry_with_a_long_name = 12345; // filler\n";
        while (filler.size() < mebibytes * 1024 * 1024)
            filler += line;
        return filler + "BEGIN_MENU(Big)\n  MENU_ITEM(\"Speed %d\")\nEND_MENU(Big, \"Big\")\n";
    };
    auto costOf = [](const QByteArray &text) {
        ViewFixture f;
        auto *doc = f.open(QStringLiteral("/tmp/big.c"), text, text.count('\n') - 1, 3);
        f.tick();
        if (!f.items->isMenuValid())
            return qint64(-1);
        const qint64 before = VelkoMenuView::charactersRead();
        for (int i = 0; i < 3; ++i)
            doc->setContents(text);
        return (VelkoMenuView::charactersRead() - before) / 3;
    };
    const qint64 one = costOf(document(1));
    const qint64 four = costOf(document(4));
    QVERIFY(one > 0 && four > 0);
    // Linear would be 4x; quadratic 16x.
    QVERIFY2(four < 5 * one, qPrintable(QStringLiteral("%1 vs %2").arg(four).arg(one)));
}

QTEST_MAIN(tst_MenuItems)
#include "tst_menuitems.moc"
