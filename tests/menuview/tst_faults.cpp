// Faults of the environment while the pane runs: a store that cannot be
// written, or whose file is corrupted or deleted; documents that are not
// UTF-8; a document closed while the entry dialog is open; the pane deleted
// with a timer tick pending. Every case has a defined outcome: no crash, the
// values typed in the session shown from memory, nothing else lost. All of
// it happens inside the test's own HOME and XDG_CONFIG_HOME.
#include "dialoganswer.h"
#include "viewfixture.h"

#include "menuview/statusline.h"

#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"
#include "menuview/ui_velkomenuwidget.h"
#include "menuview/velkomenuwidget.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>

namespace {

const QString path = QStringLiteral("/fw/menu.c");
const QString docKey = QStringLiteral("\\fw\\menu.c");
const QString otherKey = QStringLiteral("\\fw\\other.c");

const QByteArray menuText = "BEGIN_MENU(Main)\n"
                            "  MENU_ITEM(\"Speed %d\")\n"
                            "  MENU_ITEM(\"Gain %.1f dB\")\n"
                            "END_MENU(Main, \"Main\")\n";

QSettings *newStore()
{
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                         QStringLiteral("VelkoMenuView"));
}

QString storeFile()
{
    const std::unique_ptr<QSettings> store(newStore());
    return store->fileName();
}

// What a fresh settings object (a later session) finds under `key`.
QString persisted(const QString &key)
{
    const std::unique_ptr<QSettings> store(newStore());
    return store->value(key).toString();
}

// Re-reads the view from the store: the cursor moves, a tick analyses.
void reanalyse(ViewFixture &f)
{
    f.moveCursor(f.editor()->currentLine() == 2 ? 3 : 2, 1);
    f.tick();
}

// Clicks item 0 and answers its dialog with `value` and OK; `meanwhile` runs
// while the dialog is open, in its event loop, as host events would.
void editItem0(ViewFixture &f, const QString &value, const std::function<void()> &meanwhile)
{
    f.items->setMultiplier(1);
    f.items->resize(128, 8 * f.items->rowCount());
    f.items->show();
    DialogAnswer answer([&](QDialog *dialog) {
        const QPointer<QDialog> open = dialog;
        meanwhile();
        if (!open)
            return; // went with the pane
        auto *d = static_cast<ParamsDialog *>(dialog);
        d->ui()->param1Edit->setText(value);
        QTest::mouseClick(d->ui()->buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    const QPointer<MenuItems> pane = f.items.get();
    QTest::mousePress(pane, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8 + 1));
    if (pane)
        QTest::mouseRelease(pane, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8 + 1));
    QVERIFY(answer.answered());
}

} // namespace

class tst_Faults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storeThatCannotBeWritten();
    void storeFileCorrupted_data();
    void storeFileCorrupted();
    void storeFileDeleted();
    void documentNotUtf8_data();
    void documentNotUtf8();
    void documentBytesReadAsTheUtf8Codec_data();
    void documentBytesReadAsTheUtf8Codec();
    void documentClosedWhileDialogOpen_data();
    void documentClosedWhileDialogOpen();
    void editAfterDocumentClosed();
    void paneDeletedWithTickPending_data();
    void paneDeletedWithTickPending();
    void paneDeletedWhileDialogOpen_data();
    void paneDeletedWhileDialogOpen();
};

void tst_Faults::init()
{
    cleanup();
    clearStore();
}

void tst_Faults::cleanup()
{
    // Undo what a case did to the store's folder, inside the test's own home.
    const QFileInfo folder(QFileInfo(storeFile()).path());
    if (folder.isFile())
        QFile::remove(folder.filePath());
    if (QFileInfo(storeFile()).isDir())
        QDir(storeFile()).removeRecursively();
}

void tst_Faults::storeThatCannotBeWritten()
{
    // The store's folder cannot be made: a file stands where it belongs. A
    // read-only folder would not stop the root user the suite may run as.
    const QString folder = QFileInfo(storeFile()).path();
    QVERIFY(folder.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    QDir(folder).removeRecursively();
    {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }

    ViewFixture f;
    f.open(path, menuText, 2, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    f.saveParam(0, 1, QStringLiteral("42"));
    f.saveParam(1, 1, QStringLiteral("2,5"));
    f.settings()->sync();
    QCOMPARE(f.settings()->status(), QSettings::AccessError);

    // Shown from memory, at every later analysis.
    reanalyse(f);
    QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"Speed 42", "Gain 2.5 dB"}));
    f.saveParam(0, 1, QStringLiteral("43"));
    reanalyse(f);
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 43"));

    // The status line says so, until a write succeeds again.
    QCOMPARE(f.items->status()->storeFailure(), f.settings()->fileName());
    VelkoMenuView::StatusLine line(f.items.get());
    const QLabel *said = line.findChild<QLabel *>(QStringLiteral("statusLabel"));
    QVERIFY2(said->text().endsWith("\nНе удалось записать значения в " + f.settings()->fileName()),
             qPrintable(said->text()));

    // Once the store can be written again, nothing typed is lost.
    QVERIFY(QFile::remove(folder));
    f.saveParam(1, 1, QStringLiteral("2,5"));
    QCOMPARE(f.items->status()->storeFailure(), QString());
    QVERIFY(!said->text().contains(u'\n'));
    f.items.reset();
    QCOMPARE(persisted(docKey + "/Main/Speed %d/Param1"), QStringLiteral("43"));
    QCOMPARE(persisted(docKey + "/Main/Gain %.1f dB/Param1"), QStringLiteral("2,5"));
}

void tst_Faults::storeFileCorrupted_data()
{
    QTest::addColumn<QByteArray>("contents");

    QByteArray binary;
    for (int i = 0; i < 512; ++i)
        binary += char((i * 73 + 11) % 256);
    QTest::addRow("binary-garbage") << binary;
    QTest::addRow("empty") << QByteArray();
    QTest::addRow("cut-in-a-value")
            << QByteArray("[%5Cfw%5Cmenu.c]\nMain\\Speed%20%25d\\Param1=@Variant(\\0\\0\\0\\x7f");
    QTest::addRow("unbalanced-sections")
            << QByteArray("[[[\n]]]=\n[General\nMultiplier=@ByteArray(\n\\\\\\\n");
    QTest::addRow("invalid-utf8") << QByteArray("[\xff\xfe]\n\xc3=\xe2\x82\n");
}

void tst_Faults::storeFileCorrupted()
{
    QFETCH(QByteArray, contents);
    {
        const std::unique_ptr<QSettings> store(newStore());
        store->setValue(docKey + "/Main/Speed %d/Param1", QStringLiteral("5"));
        store->setValue(otherKey + "/Other/X %d/Param1", QStringLiteral("9"));
    }
    ViewFixture f;
    f.open(path, menuText, 2, 1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 5"));

    QFile file(f.settings()->fileName());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.close();

    // Typed after the damage: kept in memory, shown, and written back.
    f.saveParam(1, 1, QStringLiteral("7,5"));
    f.settings()->sync();
    reanalyse(f);
    QVERIFY(f.items->isMenuValid());
    QCOMPARE(f.items->rowCount(), 3);
    QCOMPARE(f.items->menuDefinition().itemLines.at(1), QStringLiteral("Gain 7.5 dB"));
    f.items.reset();
    QCOMPARE(persisted(docKey + "/Main/Gain %.1f dB/Param1"), QStringLiteral("7,5"));
}

void tst_Faults::storeFileDeleted()
{
    {
        const std::unique_ptr<QSettings> store(newStore());
        store->setValue(docKey + "/Main/Speed %d/Param1", QStringLiteral("5"));
    }
    ViewFixture f;
    f.open(path, menuText, 2, 1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 5"));

    QVERIFY(QFile::remove(f.settings()->fileName()));
    // The screen keeps what it shows; the next write makes the file again
    // with what the session typed. What the deleted file held is gone with it.
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 5"));
    f.saveParam(1, 1, QStringLiteral("1,5"));
    f.settings()->sync();
    QCOMPARE(f.settings()->status(), QSettings::NoError);
    QVERIFY(QFileInfo::exists(f.settings()->fileName()));
    reanalyse(f);
    QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"Speed 0", "Gain 1.5 dB"}));
    QCOMPARE(persisted(docKey + "/Main/Gain %.1f dB/Param1"), QStringLiteral("1,5"));
    QVERIFY(persisted(docKey + "/Main/Speed %d/Param1").isEmpty());
}

void tst_Faults::documentNotUtf8_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("line0"); // with 42 stored for item 0

    QTextCodec *cp1251 = QTextCodec::codecForName("Windows-1251");
    QVERIFY(cp1251);
    const QByteArray legacy = "BEGIN_MENU(Main)\n  MENU_ITEM(\""
            + cp1251->fromUnicode(u"Скорость %d") + "\")\n  MENU_ITEM(\"Exit\")\nEND_MENU(Main, \""
            + cp1251->fromUnicode(u"Меню") + "\")\n";
    // Each byte of the legacy text is malformed UTF-8: one replacement
    // character apiece, which the device font does not have.
    QTest::addRow("windows-1251") << legacy << true << 2 << QString(8, QChar(0xFFFD)) + " 42";

    QString utf16 = QString::fromUtf8(menuText);
    const QByteArray utf16le(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);
    QTest::addRow("utf-16le") << utf16le << false << 0 << QString();

    QTest::addRow("zero-byte-in-item") << "BEGIN_MENU(Main)\n  MENU_ITEM(\"A" + QByteArray(1, '\0')
                    + "B %d\")\nEND_MENU(Main, \"T\")\n"
                                       << true << 1 << "A";
    QTest::addRow("stray-and-cut-sequences")
            << QByteArray("BEGIN_MENU(Main)\n  MENU_ITEM(\"\x80Pa\xc3 %d\")\n  "
                          "MENU_ITEM(\"\xed\xa0\x80\")\nEND_MENU(Main, \"\xf0\x9f\")\n")
            << true << 2 << QString(QChar(0xFFFD)) + "Pa" + QChar(0xFFFD) + " 42";
    QTest::addRow("byte-order-mark") << "\xef\xbb\xbf" + menuText << true << 2 << "Speed 42";
}

void tst_Faults::documentNotUtf8()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, valid);
    QFETCH(int, items);
    QFETCH(QString, line0);
    ViewFixture f;
    auto *doc = f.open(path, contents, 2, 1);
    f.tick();
    QCOMPARE(f.items->isMenuValid(), valid);
    QCOMPARE(f.items->rowCount(), valid ? items + 1 : 0);
    // Painting such a menu draws what the font has and skips the rest.
    f.items->resize(128, 8 * qMax(1, f.items->rowCount()));
    QVERIFY(!f.items->grab().isNull());
    if (!valid)
        return;

    // A value stored for such an item comes back, and survives the close.
    f.saveParam(0, 1, QStringLiteral("42"));
    reanalyse(f);
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), line0);
    f.close(doc);
    const QString itemKey = f.items->menuDefinition().itemTexts.at(0);
    f.settings()->sync();
    QCOMPARE(persisted(docKey + "/Main/" + itemKey + "/Param1"), QStringLiteral("42"));
}

void tst_Faults::documentBytesReadAsTheUtf8Codec_data()
{
    QTest::addColumn<QByteArray>("itemBytes");
    QTest::addColumn<QByteArray>("titleBytes");

    QTest::addRow("byte-order-mark-inside") << QByteArray("A\xef\xbb\xbf"
                                                          "B")
                                            << QByteArray("\xef\xbb\xbf");
    QTest::addRow("overlong-and-surrogates")
            << QByteArray("\xc0\xaf\xe0\x80\xaf\xed\xa0\x80\xed\xbf\xbf")
            << QByteArray("\xf8\x88\x80\x80\x80");
    QTest::addRow("four-byte-and-beyond") << QByteArray("\xf0\x9f\x98\x80 \xf4\x90\x80\x80")
                                          << QByteArray("\xef\xbf\xbe\xef\xbf\xbf");
    QTest::addRow("stray-continuations") << QByteArray("\x80\x81\xbf"
                                                       "%d\xfe\xff")
                                         << QByteArray("\xc3");
    QTest::addRow("cut-before-quote") << QByteArray("\xe2\x82") << QByteArray("\xf0\x9f\x98");
    QRandomGenerator random(5);
    for (int row = 0; row < 6; ++row) {
        QByteArray item, title;
        for (int i = 0; i < 40; ++i) {
            const char c = char(0x80 + random.bounded(0x80));
            item += random.bounded(3) ? c : char(0x20 + random.bounded(0x5e));
            title += char(0x80 + random.bounded(0x80));
        }
        // Keep the literal's own quotes and escapes out of the way.
        item.replace('"', 'q').replace('\\', 's');
        QTest::addRow("random-%d", row) << item << title;
    }
}

void tst_Faults::documentBytesReadAsTheUtf8Codec()
{
    // The view reads the bytes exactly as the text codec named "UTF-8"
    // does: a second view given the codec's text, re-encoded, sees the same.
    QFETCH(QByteArray, itemBytes);
    QFETCH(QByteArray, titleBytes);
    const QByteArray raw = "BEGIN_MENU(Main)\n  MENU_ITEM(\"" + itemBytes + "\")\n  MENU_ITEM(\"%d "
            + itemBytes + "\")\nEND_MENU(Main, \"" + titleBytes + "\")\n";
    const QByteArray clean = QTextCodec::codecForName("UTF-8")->toUnicode(raw).toUtf8();
    ViewFixture rawView;
    rawView.open(path, raw, 2, 1);
    rawView.tick();
    ViewFixture cleanView;
    cleanView.open(QStringLiteral("/fw/clean.c"), clean, 2, 1);
    cleanView.tick();
    QVERIFY(cleanView.items->isMenuValid());
    QCOMPARE(rawView.items->isMenuValid(), true);
    QCOMPARE(rawView.items->menuDefinition().title, cleanView.items->menuDefinition().title);
    QCOMPARE(rawView.items->menuDefinition().itemTexts,
             cleanView.items->menuDefinition().itemTexts);
    QCOMPARE(rawView.items->menuDefinition().itemLines,
             cleanView.items->menuDefinition().itemLines);
}

void tst_Faults::documentClosedWhileDialogOpen_data()
{
    QTest::addColumn<QString>("meanwhile");

    QTest::addRow("closed") << "close";
    QTest::addRow("closed-then-same-menu-in-another-document") << "close-open-other";
    QTest::addRow("closed-and-deleted") << "close-delete";
    QTest::addRow("another-document-with-the-same-menu-current") << "open-other";
}

void tst_Faults::documentClosedWhileDialogOpen()
{
    // The item clicked belongs to the document the dialog was opened for:
    // its values go there or nowhere, never into a document shown meanwhile.
    QFETCH(QString, meanwhile);
    ViewFixture f;
    auto *doc = f.open(path, menuText, 2, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    const QStringList linesBefore = f.items->menuDefinition().itemLines;

    editItem0(f, QStringLiteral("77"), [&] {
        if (meanwhile.startsWith(QLatin1String("close"))) {
            if (meanwhile == QLatin1String("close-delete"))
                Core::EditorManager::activateEditor(nullptr);
            f.close(doc);
            if (meanwhile == QLatin1String("close-delete"))
                f.documents.front().reset();
        }
        if (meanwhile.endsWith(QLatin1String("open-other"))) {
            f.open(QStringLiteral("/fw/other.c"), menuText, 2, 1);
            f.tick();
        }
    });

    // Nothing stored anywhere, and the screen does not show a value that
    // was not stored.
    f.settings()->sync();
    QVERIFY2(f.settings()->allKeys().isEmpty(), qPrintable(f.settings()->allKeys().join(u' ')));
    QCOMPARE(f.items->menuDefinition().itemLines, linesBefore);
}

void tst_Faults::editAfterDocumentClosed()
{
    // The menu of a closed document stays on the screen; editing it shows
    // the value at once and stores nothing.
    ViewFixture f;
    auto *doc = f.open(path, menuText, 2, 1);
    f.tick();
    Core::EditorManager::activateEditor(nullptr);
    f.close(doc);
    f.analyzedSpy.clear();
    editItem0(f, QStringLiteral("77"), [] {});
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 77"));
    QCOMPARE(f.analyzedSpy.count(), 1);
    f.settings()->sync();
    QVERIFY2(f.settings()->allKeys().isEmpty(), qPrintable(f.settings()->allKeys().join(u' ')));
}

void tst_Faults::paneDeletedWithTickPending_data()
{
    QTest::addColumn<QString>("how");

    QTest::addRow("queued-tick") << "queued";
    QTest::addRow("zero-period-timer") << "timer";
    QTest::addRow("deleted-later-from-its-own-analysis") << "later";
}

void tst_Faults::paneDeletedWithTickPending()
{
    QFETCH(QString, how);
    ViewFixture f;
    auto *doc = f.open(path, menuText, 2, 1);
    f.tick();
    f.saveParam(0, 1, QStringLiteral("12"));
    f.moveCursor(3, 1); // the next tick would analyse again
    QPointer<MenuItems> pane = f.items.get();

    if (how == QLatin1String("queued")) {
        QMetaObject::invokeMethod(pane, "onTimeout", Qt::QueuedConnection);
        f.items.reset();
    } else if (how == QLatin1String("timer")) {
        pane->setPeriod(0);
        f.items.reset();
    } else {
        QObject::connect(pane, &MenuItems::analyzed, pane, &QObject::deleteLater);
        f.items.release(); // deleteLater owns it now
        doc->setContents(menuText + "\n");
        QVERIFY(pane); // still there until the event loop runs
    }
    QCoreApplication::processEvents();
    QTest::qWait(20);
    QVERIFY(!pane);

    // The host goes on with its documents; nothing reaches the deleted pane.
    doc->setContents(menuText + "\n\n");
    f.close(doc);
    QCOMPARE(persisted(docKey + "/Main/Speed %d/Param1"), QStringLiteral("12"));
}

void tst_Faults::paneDeletedWhileDialogOpen_data()
{
    QTest::addColumn<bool>("settingsDialog");

    QTest::addRow("entry-dialog") << false;
    QTest::addRow("settings-dialog") << true;
}

void tst_Faults::paneDeletedWhileDialogOpen()
{
    // The host may close the pane while one of its modal dialogs runs: the
    // dialog goes with it and the click's handler stops without a trace.
    QFETCH(bool, settingsDialog);
    ViewFixture f;
    f.open(path, menuText, 2, 1);
    if (!settingsDialog) {
        f.tick();
        QPointer<MenuItems> pane = f.items.get();
        editItem0(f, QStringLiteral("5"), [&] { f.items.reset(); });
        QVERIFY(!pane);
    } else {
        auto *widget = new VelkoMenuWidget;
        QPointer<VelkoMenuWidget> pane = widget;
        DialogAnswer answer([&](QDialog *) { delete widget; });
        QTest::mouseClick(widget->ui()->settingsButton, Qt::LeftButton);
        QVERIFY(answer.answered());
        QVERIFY(!pane);
    }
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(persisted(docKey + "/Main/Speed %d/Param1").isEmpty());
}

QTEST_MAIN(tst_Faults)
#include "tst_faults.moc"
