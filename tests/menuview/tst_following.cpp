// Following the cursor: editors with a text widget are followed within the
// coalescing delay, one look per burst of moves; edits take the cursor as it
// stands after them; widgetless editors keep to the timer. The pane's status
// line says what is shown or why nothing is, and hands out the screen's picture.
#include "dialoganswer.h"
#include "viewfixture.h"

#include "codeeditor.h"
#include "studioeditor.h"

#include "menuview/screen/menurenderer.h"
#include "menuview/statusline.h"
#include "menuview/ui_velkomenuwidget.h"
#include "menuview/velkomenuwidget.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

using namespace VelkoMenuView;

namespace {

const QString twoMenus = QStringLiteral("#include \"menu.h\"\n" // 1
                                        "BEGIN_MENU(Main)\n" // 2
                                        "  MENU_ITEM(\"Start\")\n" // 3
                                        "END_MENU(Main, \"Main menu\")\n" // 4
                                        "\n" // 5
                                        "BEGIN_EDITABLE_MENU(Setup)\n" // 6
                                        "  MENU_ITEM(\"Speed %d\")\n" // 7
                                        "END_EDITABLE_MENU(Setup, \"Setup\")\n"); // 8

void moveTo(StudioEditor &editor, int line)
{
    QTextCursor cursor(editor.editorWidget()->document()->findBlockByNumber(line - 1));
    editor.editorWidget()->setTextCursor(cursor);
}

QToolButton *pictureButton(const VelkoMenuWidget &pane)
{
    return pane.findChild<QToolButton *>(QStringLiteral("pictureButton"));
}

QString statusText(const VelkoMenuWidget &pane)
{
    return pane.findChild<QLabel *>(QStringLiteral("statusLabel"))->text();
}

} // namespace

class tst_Following : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }
    void cleanup() { Core::EditorManager::activateEditor(nullptr); }

    void textEditorIsFollowedWithoutTick();
    void widgetlessEditorWaitsForTick();
    void burstOfMovesIsOneLook();
    void editAboveCursorShowsMenuUnderIt();
    void statusLine_data();
    void statusLine();
    void statusAfterClose_data();
    void statusAfterClose();
    void pictureIsTheRenderersImage();
    void headerOpenInAnEditor();
};

void tst_Following::textEditorIsFollowedWithoutTick()
{
    StudioEditor editor(QStringLiteral("/fw/menus.c"), twoMenus);
    moveTo(editor, 3);
    Core::EditorManager::activateEditor(&editor);
    MenuItems items;
    items.setPeriod(100); // no tick during the test
    QTRY_COMPARE_WITH_TIMEOUT(items.menuDefinition().name, QStringLiteral("Main"), 1000);
    // A move after a quiet spell is looked at when the event that made it
    // is done, without waiting out the window of a burst.
    QTest::qWait(2 * MenuItems::FollowDelay);
    moveTo(editor, 7);
    QCoreApplication::processEvents();
    QCOMPARE(items.menuDefinition().name, QStringLiteral("Setup"));
}

void tst_Following::widgetlessEditorWaitsForTick()
{
    ViewFixture f;
    f.items->setPeriod(100);
    f.open(QStringLiteral("/fw/menus.c"), twoMenus.toUtf8(), 3, 1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("Main"));
    f.moveCursor(7, 1);
    QTest::qWait(4 * MenuItems::FollowDelay);
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("Main"));
    f.tick();
    QCOMPARE(f.items->menuDefinition().name, QStringLiteral("Setup"));
}

void tst_Following::burstOfMovesIsOneLook()
{
    StudioEditor editor(QStringLiteral("/fw/menus.c"), twoMenus);
    moveTo(editor, 3);
    Core::EditorManager::activateEditor(&editor);
    MenuItems items;
    items.setPeriod(100);
    QSignalSpy analyzed(&items, &MenuItems::analyzed);
    QTRY_COMPARE_WITH_TIMEOUT(analyzed.count(), 1, 1000);
    for (int i = 0; i < 100; ++i)
        moveTo(editor, i % 2 ? 7 : 3);
    QTest::qWait(4 * MenuItems::FollowDelay);
    // One look, at the last position.
    QCOMPARE(analyzed.count(), 2);
    QCOMPARE(items.menuDefinition().name, QStringLiteral("Setup"));
}

void tst_Following::editAboveCursorShowsMenuUnderIt()
{
    StudioEditor editor(QStringLiteral("/fw/menus.c"), twoMenus);
    moveTo(editor, 7);
    Core::EditorManager::activateEditor(&editor);
    MenuItems items;
    items.setPeriod(100);
    QTRY_COMPARE_WITH_TIMEOUT(items.menuDefinition().name, QStringLiteral("Setup"), 1000);
    // Four lines go in above the cursor: line 7 now lies in Main.
    QTextCursor top(editor.editorWidget()->document());
    top.insertText(QStringLiteral("int a;\nint b;\nint c;\nint d;\n"));
    QCOMPARE(editor.currentLine(), 11);
    QCOMPARE(items.menuDefinition().name, QStringLiteral("Setup"));
}

void tst_Following::statusLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    QTest::addRow("no-document") << QByteArray() << 0 << "Нет документа";
    QTest::addRow("no-menu") << twoMenus.toUtf8() << 1 << "Курсор не в меню";
    QTest::addRow("shown") << twoMenus.toUtf8() << 7 << "Меню Setup, строки 6–8";
    QTest::addRow("name-mismatch")
            << QByteArray("BEGIN_MENU(Main)\n  MENU_ITEM(\"A\")\nEND_MENU(Mian, \"T\")\n") << 2
            << "Строка 3, столбец 1: несовпадение имён: END_MENU(Mian, ...) закрывает "
               "BEGIN_MENU(Main) из 1:1";
    QTest::addRow("missing-closing-macro")
            << QByteArray("int x;\nBEGIN_MENU(Main)\n  MENU_ITEM(\"A\")\n") << 3
            << "Строка 2, столбец 1: нет закрывающего макроса: после BEGIN_MENU(Main) нет END_MENU";
    QTest::addRow("menu-of-another-variant")
            << QByteArray("#ifdef LANG_EN\nBEGIN_MENU(En)\n  MENU_ITEM(\"A\")\nEND_MENU(En, "
                          "\"T\")\n#endif\n")
            << 3 << "Меню En, строки 2–4; ветвь из строки 1 не входит в сборку";
    // The device's 64 pixel rows hold the title and 7 items; "из" takes the
    // genitive singular after 21.
    const auto longMenu = [](int items) {
        QByteArray text = "BEGIN_MENU(Long)\n";
        for (int i = 0; i < items; ++i)
            text += "  MENU_ITEM(\"I\")\n";
        return text + "END_MENU(Long, \"T\")\n";
    };
    QTest::addRow("seven-items") << longMenu(7) << 2 << "Меню Long, строки 1–9";
    QTest::addRow("twelve-items") << longMenu(12) << 2
                                  << "Меню Long, строки 1–14; 7 из 12 пунктов на экране";
    QTest::addRow("twenty-one-items")
            << longMenu(21) << 2 << "Меню Long, строки 1–23; 7 из 21 пункта на экране";
    QTest::addRow("stray-closing-macro")
            << QByteArray("BEGIN_MENU(A)\nEND_MENU(A, \"A\")\nEND_MENU(B, \"B\")\n") << 3
            << "Строка 3, столбец 1: лишний закрывающий макрос: END_MENU(B, ...) не закрывает ни "
               "одного меню; перед ним нет открытого BEGIN_MENU";
}

void tst_Following::statusLine()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    VelkoMenuView::MemoryDocument document(QStringLiteral("/fw/status.c"), text);
    VelkoMenuView::SimpleEditor editor(&document, qMax(line, 1), 3);
    if (line > 0)
        Core::EditorManager::activateEditor(&editor);
    VelkoMenuWidget pane;
    QSignalSpy changed(pane.ui()->menuItems->status(), &VelkoMenuView::ScreenStatus::changed);
    QMetaObject::invokeMethod(pane.ui()->menuItems, "onTimeout");
    QCOMPARE(statusText(pane), expected);
    QCOMPARE(pictureButton(pane)->isEnabled(), expected.startsWith(u"Меню"));

    // Typing that leaves the state as it is changes nothing on the line.
    if (line == 0)
        return;
    changed.clear();
    document.setContents(text + "// more\n");
    QCOMPARE(changed.count(), 0);
    QCOMPARE(statusText(pane), expected);
}

void tst_Following::statusAfterClose_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    QTest::addRow("menu-shown") << twoMenus.toUtf8() << 7
                                << "Меню Setup, строки 6–8; документ status.c закрыт";
    QTest::addRow("no-menu") << twoMenus.toUtf8() << 1 << "Документ status.c закрыт";
    QTest::addRow("cannot-read") << QByteArray(
            "BEGIN_MENU(Main)\n  MENU_ITEM(\"A\")\nEND_MENU(Mian, \"T\")\n")
                                 << 2 << "Документ status.c закрыт";
}

void tst_Following::statusAfterClose()
{
    // The host closes the last document: the screen keeps what it showed,
    // the status line says whose it was, and the next tick finds no editor.
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    VelkoMenuView::MemoryDocument document(QStringLiteral("/fw/status.c"), text);
    VelkoMenuView::SimpleEditor editor(&document, line, 3);
    Core::EditorManager::activateEditor(&editor);
    VelkoMenuWidget pane;
    MenuItems *items = pane.ui()->menuItems;
    QMetaObject::invokeMethod(items, "onTimeout");
    const bool shown = items->isMenuValid();
    Core::EditorManager::activateEditor(nullptr);
    Core::EditorManager::closeDocument(&document);
    QMetaObject::invokeMethod(items, "onTimeout");
    QCOMPARE(statusText(pane), expected);
    QCOMPARE(items->isMenuValid(), shown);
    QCOMPARE(pictureButton(pane)->isEnabled(), shown);
}

void tst_Following::pictureIsTheRenderersImage()
{
    VelkoMenuView::MemoryDocument document(QStringLiteral("/fw/picture.c"), twoMenus.toUtf8());
    VelkoMenuView::SimpleEditor editor(&document, 7, 3);
    Core::EditorManager::activateEditor(&editor);
    VelkoMenuWidget pane;
    MenuItems *items = pane.ui()->menuItems;
    items->setFixedTime(QTime(12, 30));
    pane.ui()->multiplier3Button->click();
    QMetaObject::invokeMethod(items, "onTimeout");
    MenuDefinition formatted = items->menuDefinition();
    const QImage expected = VelkoMenuView::renderMenu(formatted, QTime(12, 30), 3);
    QCOMPARE(expected.size(), QSize(384, 48));

    // Ctrl+C on the focused screen.
    QApplication::clipboard()->clear();
    pane.show();
    items->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    QTest::keyClick(items, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->image().convertToFormat(expected.format()), expected);

    // Save as PNG: the file name offered is the menu's.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Setup.png"));
    DialogAnswer answer([&](QDialog *dialog) {
        auto fileDialog = qobject_cast<QFileDialog *>(dialog);
        QVERIFY(fileDialog);
        QCOMPARE(fileDialog->selectedFiles().value(0).section(u'/', -1),
                 QStringLiteral("Setup.png"));
        fileDialog->setDirectory(dir.path());
        fileDialog->selectFile(path);
        static_cast<QDialog *>(fileDialog)->accept();
    });
    pane.ui()->statusLine->saveImageAs();
    QVERIFY(answer.answered());
    QCOMPARE(QImage(path).convertToFormat(expected.format()), expected);
}

void tst_Following::headerOpenInAnEditor()
{
    // A header changed in an editor counts as it stands there, unsaved.
    QTemporaryDir dir;
    const QString header = dir.filePath(QStringLiteral("strings.h"));
    QFile saved(header);
    QVERIFY(saved.open(QIODevice::WriteOnly));
    saved.write("#define STR_BACK \"saved\"\n");
    saved.close();
    VelkoMenuView::MemoryDocument open(header, "#define STR_BACK \"unsaved\"\n");
    Core::EditorManager::openDocument(&open);
    ViewFixture f;
    f.items->setPeriod(100);
    f.open(dir.filePath(QStringLiteral("menu.c")),
           "#include \"strings.h\"\nBEGIN_MENU(M)\n  MENU_ITEM(STR_BACK)\nEND_MENU(M, \"T\")\n", 3);
    f.tick();
    QCOMPARE(f.items->menuDefinition().itemTexts, QStringList {"unsaved"});
    Core::EditorManager::closeDocument(&open);
    f.documents.back()->setContents(f.documents.back()->contents() + "// edited\n");
    QCOMPARE(f.items->menuDefinition().itemTexts, QStringList {"saved"});
}

QTEST_MAIN(tst_Following)
#include "tst_following.moc"
