// The parameter store: values keyed by document, menu and item text, loaded
// at each analysis and pruned when a document closes, without ever losing the
// values of a menu that still exists.
#include "viewfixture.h"

#include "creader/readcount.h"
#include <QtTest>

namespace {

// Pruning reads the file as saved: the documents live in a folder of the test's own.
QTemporaryDir folder;
const QString path = folder.filePath(QStringLiteral("fw/menu.c"));
const QString docKey = QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));

QByteArray menuText(const QByteArray &name, const QList<QByteArray> &items,
                    const QByteArray &closingName = {})
{
    QByteArray text = "BEGIN_MENU(" + name + ")\n";
    for (const QByteArray &item : items)
        text += "  MENU_ITEM(\"" + item + "\")\n";
    return text + "END_MENU(" + (closingName.isNull() ? name : closingName) + ", \"Title\")\n";
}

// Stores values the way the store itself writes them.
void store(const QString &menu, const QString &itemKey, int paramNo, const QString &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                QStringLiteral("VelkoMenuView"));
    s.setValue(docKey + '/' + menu + '/' + itemKey + "/Param" + QString::number(paramNo), value);
}

QString persisted(const QString &key)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                QStringLiteral("VelkoMenuView"));
    return s.value(key).toString();
}

QStringList storedGroups(const QString &group)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                QStringLiteral("VelkoMenuView"));
    s.beginGroup(group);
    QStringList groups = s.childGroups();
    groups.sort();
    return groups;
}

} // namespace

class tst_ParameterStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void loading_data();
    void loading();
    void savingWritesTheKeyLayout();
    void twinItemsKeepTheirOwnValues();
    void savingNeedsADocumentAndAValidIndex();
    void unnamedMenuHasNoGroup();
    void pruning_data();
    void pruning();
    void pruningOtherDocumentOnly();
    void pruningKeepsPaneOptions();
    void pruningKeepsMenusNamedWithASlash();
    void pruningLeavesKeysOutsideItemGroups();
    void pruningIsLinear();
};

void tst_ParameterStore::loading_data()
{
    QTest::addColumn<QList<QByteArray>>("items");
    QTest::addColumn<QStringList>("storedItemKeys");
    QTest::addColumn<QList<QStringList>>("expected");

    QTest::addRow("first-use") << QList<QByteArray> {"Speed %d", "Exit"} << QStringList()
                               << QList<QStringList> {{}, {}};
    QTest::addRow("three-strings-for-one-param")
            << QList<QByteArray> {"Speed %d"} << QStringList {"Speed %d"}
            << QList<QStringList> {{"v1", "", ""}};
    QTest::addRow("slash-in-item-text")
            << QList<QByteArray> {"On/Off %d"} << QStringList {"On\\Off %d"}
            << QList<QStringList> {{"v1", "", ""}};
    QTest::addRow("equal-texts-first-wins")
            << QList<QByteArray> {"Gain %d", "Gain %d"} << QStringList {"Gain %d"}
            << QList<QStringList> {{"v1", "", ""}, {}};
    QTest::addRow("case-sensitive") << QList<QByteArray> {"speed %d"} << QStringList {"Speed %d"}
                                    << QList<QStringList> {{}};
}

void tst_ParameterStore::loading()
{
    QFETCH(QList<QByteArray>, items);
    QFETCH(QStringList, storedItemKeys);
    QFETCH(QList<QStringList>, expected);
    for (const QString &key : storedItemKeys)
        store(QStringLiteral("Main"), key, 1, QStringLiteral("v1"));
    ViewFixture f;
    f.open(path, menuText("Main", items), 2, 1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    QCOMPARE(f.items->menuDefinition().paramValues, expected);
}

void tst_ParameterStore::savingWritesTheKeyLayout()
{
    ViewFixture f;
    f.open(path, menuText("mainMenu", {"Speed %d", "On/Off %d"}), 2, 1);
    f.tick();
    f.saveParam(0, 1, QStringLiteral(" 42 "));
    f.saveParam(1, 3, QStringLiteral("x"));
    QCOMPARE(f.settings()->value(docKey + "/mainMenu/Speed %d/Param1").toString(),
             QStringLiteral(" 42 "));
    QCOMPARE(f.settings()->value(docKey + "/mainMenu/On\\Off %d/Param3").toString(),
             QStringLiteral("x"));
    // Found again by the next analysis.
    f.moveCursor(3, 1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().paramValues,
             (QList<QStringList> {{" 42 ", "", ""}, {"", "", "x"}}));
}

void tst_ParameterStore::twinItemsKeepTheirOwnValues()
{
    // Two items with one text each keep their own values across sessions;
    // the first stays where older builds read it.
    const QByteArray both = menuText("Main", {"Relay %u", "Relay %u", "Exit"});
    {
        ViewFixture f;
        auto *doc = f.open(path, both, 2, 1);
        f.tick();
        f.saveParam(0, 1, QStringLiteral("1"));
        f.saveParam(1, 1, QStringLiteral("2"));
        f.saveAndClose(doc);
    }
    QCOMPARE(persisted(docKey + "/Main/Relay %u/Param1"), QStringLiteral("1"));
    {
        ViewFixture f;
        auto *doc = f.open(path, both, 2, 1);
        f.tick();
        QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"Relay 1", "Relay 2", "Exit"}));
        // The second twin goes: its values go with it when the file closes.
        doc->setContents(menuText("Main", {"Relay %u", "Exit"}));
        f.saveAndClose(doc);
    }
    QCOMPARE(persisted(docKey + "/Main/Relay %u/Param1"), QStringLiteral("1"));
    QCOMPARE(storedGroups(docKey + "/Main/Relay %u"), QStringList());
}

void tst_ParameterStore::savingNeedsADocumentAndAValidIndex()
{
    ViewFixture f;
    f.saveParam(0, 1, QStringLiteral("nowhere"));
    QVERIFY(f.settings()->allKeys().isEmpty());
    f.open(path, menuText("Main", {"A %d"}), 2, 1);
    f.tick();
    f.saveParam(5, 1, QStringLiteral("x"));
    f.saveParam(-1, 1, QStringLiteral("x"));
    f.saveParam(0, 0, QStringLiteral("x"));
    f.saveParam(0, 4, QStringLiteral("x"));
    QVERIFY(f.settings()->allKeys().isEmpty());
}

void tst_ParameterStore::unnamedMenuHasNoGroup()
{
    // Its item groups would sit in the document group beside the menus:
    // taken for a menu "Speed %d" and pruned at the next close, and read
    // back as items by any unnamed menu whose item text names a menu.
    store(QStringLiteral("Main"), QStringLiteral("Speed %d"), 1, QStringLiteral("5"));
    ViewFixture f;
    f.open(path,
           "BEGIN_MENU()\n  MENU_ITEM(\"Main\")\n  MENU_ITEM(\"Speed %d\")\nEND_MENU(, \"T\")\n", 2,
           1);
    f.tick();
    QVERIFY(f.items->isMenuValid());
    QCOMPARE(f.items->menuDefinition().paramValues, (QList<QStringList> {{}, {}}));
    f.saveParam(1, 1, QStringLiteral("7"));
    QCOMPARE(storedGroups(docKey), QStringList {"Main"});
    QCOMPARE(f.settings()->value(docKey + "/Main/Speed %d/Param1").toString(), QStringLiteral("5"));
}

void tst_ParameterStore::pruning_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("menusLeft");
    QTest::addColumn<QStringList>("mainItemsLeft");

    // Stored before closing: Main/{Speed %d, Old %d, On\Off %d}, Gone/{X %d}.
    const QStringList allMain {"Old %d", "On\\Off %d", "Speed %d"};
    QTest::addRow("prunes-changed-items-and-gone-menus")
            << menuText("Main", {"Speed %d", "On/Off %d"}) << QStringList {"Main"}
            << QStringList {"On\\Off %d", "Speed %d"};
    QTest::addRow("empty-document") << QByteArray() << QStringList() << QStringList();
    QTest::addRow("no-menu-at-all")
            << QByteArray("int main() { return 0; }\n") << QStringList() << QStringList();
    QTest::addRow("commented-out-menu-counts") << "/*\n" + menuText("Main", {"Speed %d"}) + "*/\n"
                                               << QStringList {"Main"} << QStringList {"Speed %d"};
    QTest::addRow("half-typed-item-keeps-everything")
            << QByteArray("BEGIN_MENU(Main)\n  MENU_ITEM(\"Speed %d\"\n  MENU_ITEM(\"Old "
                          "%d\")\nEND_MENU(Main, \"T\")\n")
            << QStringList {"Gone", "Main"} << allMain;
    QTest::addRow("mistyped-closing-name-keeps-everything")
            << menuText("Main", {"Speed %d"}, "Mian") << QStringList {"Gone", "Main"} << allMain;
    QTest::addRow("missing-closing-macro-keeps-everything")
            << QByteArray("BEGIN_MENU(Main)\n  MENU_ITEM(\"Speed %d\")\n")
            << QStringList {"Gone", "Main"} << allMain;
    QTest::addRow("same-name-blocks-pool-their-items")
            << "#if A\n" + menuText("Main", {"Speed %d"}) + "#else\n" + menuText("Main", {"Old %d"})
                    + "#endif\n"
            << QStringList {"Main"} << QStringList {"Old %d", "Speed %d"};
    QTest::addRow("empty-name-block-passed-over")
            << "BEGIN_MENU()\nEND_MENU(, \"x\")\n" + menuText("Main", {"Old %d"})
            << QStringList {"Main"} << QStringList {"Old %d"};
}

void tst_ParameterStore::pruning()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, menusLeft);
    QFETCH(QStringList, mainItemsLeft);
    for (const char *item : {"Speed %d", "Old %d", "On\\Off %d"})
        store(QStringLiteral("Main"), QString::fromLatin1(item), 1, QStringLiteral("1"));
    store(QStringLiteral("Gone"), QStringLiteral("X %d"), 2, QStringLiteral("2"));

    ViewFixture f;
    auto *doc = f.open(path, text, 1, 1);
    f.saveAndClose(doc);
    QCOMPARE(storedGroups(docKey), menusLeft);
    QCOMPARE(storedGroups(docKey + "/Main"), mainItemsLeft);
    for (const QString &item : mainItemsLeft)
        QCOMPARE(f.settings()->value(docKey + "/Main/" + item + "/Param1").toString(),
                 QStringLiteral("1"));
}

void tst_ParameterStore::pruningOtherDocumentOnly()
{
    store(QStringLiteral("Main"), QStringLiteral("Speed %d"), 1, QStringLiteral("1"));
    ViewFixture f;
    f.open(path, menuText("Main", {"Speed %d"}), 2, 1);
    f.tick();
    auto *other = f.open(QStringLiteral("/home/user/fw/other.c"), QByteArray(), 1, 1);
    f.close(other);
    QCOMPARE(storedGroups(docKey + "/Main"), QStringList {"Speed %d"});

    // A document without a path prunes nothing at all.
    auto *unsaved = f.open(QString(), QByteArray(), 1, 1);
    f.close(unsaved);
    QCOMPARE(storedGroups(QString()), QStringList {docKey});
    QMetaObject::invokeMethod(f.items.get(), "deleteUnusedSettings",
                              Q_ARG(Core::IDocument *, nullptr));
    QCOMPARE(storedGroups(QString()), QStringList {docKey});
}

void tst_ParameterStore::pruningKeepsPaneOptions()
{
    ViewFixture f;
    f.settings()->setValue(QStringLiteral("Multiplier"), 2);
    f.settings()->setValue(QStringLiteral("Period"), 5);
    store(QStringLiteral("Main"), QStringLiteral("Speed %d"), 1, QStringLiteral("1"));
    auto *doc = f.open(path, QByteArray(), 1, 1);
    f.saveAndClose(doc);
    QCOMPARE(f.settings()->value(QStringLiteral("Multiplier")).toInt(), 2);
    QCOMPARE(f.settings()->value(QStringLiteral("Period")).toInt(), 5);
    QVERIFY(storedGroups(docKey).isEmpty());
}

void tst_ParameterStore::pruningKeepsMenusNamedWithASlash()
{
    // Such a name is a chain of groups in the store ("a/b" lives under "a"):
    // closing the document must keep its values like any other menu's.
    store(QStringLiteral("a/b"), QStringLiteral("Speed %d"), 1, QStringLiteral("1"));
    store(QStringLiteral("a/b"), QStringLiteral("Old %d"), 1, QStringLiteral("2"));
    store(QStringLiteral("Gone"), QStringLiteral("X %d"), 1, QStringLiteral("3"));
    ViewFixture f;
    auto *doc = f.open(path, menuText("a/b", {"Speed %d"}), 2, 1);
    f.tick();
    QCOMPARE(f.items->menuDefinition().paramValues.value(0).value(0), QStringLiteral("1"));
    f.saveAndClose(doc);
    QCOMPARE(storedGroups(docKey), QStringList {"a"});
    QCOMPARE(storedGroups(docKey + "/a/b"), QStringList {"Speed %d"});
}

void tst_ParameterStore::pruningLeavesKeysOutsideItemGroups()
{
    // Keys the store itself never writes (another tool's, an older
    // version's): one in the document group, one in a menu group beside its
    // item groups. Neither is an item group, so neither is pruned as one;
    // the second goes only with a menu that is gone as a whole.
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                QStringLiteral("VelkoMenuView"));
    s.setValue(docKey + "/Note", QStringLiteral("n"));
    s.setValue(docKey + "/Main/Note", QStringLiteral("m"));
    s.setValue(docKey + "/Gone/Note", QStringLiteral("g"));
    s.sync();
    store(QStringLiteral("Main"), QStringLiteral("Speed %d"), 1, QStringLiteral("1"));
    store(QStringLiteral("Main"), QStringLiteral("Old %d"), 1, QStringLiteral("2"));
    ViewFixture f;
    auto *doc = f.open(path, menuText("Main", {"Speed %d"}), 2, 1);
    f.saveAndClose(doc);
    QCOMPARE(storedGroups(docKey), QStringList {"Main"});
    QCOMPARE(storedGroups(docKey + "/Main"), QStringList {"Speed %d"});
    QCOMPARE(f.settings()->value(docKey + "/Note").toString(), QStringLiteral("n"));
    QCOMPARE(f.settings()->value(docKey + "/Main/Note").toString(), QStringLiteral("m"));
    QVERIFY(!f.settings()->contains(docKey + "/Gone/Note"));
}

void tst_ParameterStore::pruningIsLinear()
{
    // Closing a generated file with many menus: each block is parsed in place,
    // so the cost follows the text, not menus times text.
    auto cost = [](int menus) {
        clearStore();
        QByteArray text;
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                        QStringLiteral("VelkoMenuView"));
            for (int m = 0; m < menus; ++m) {
                const QByteArray name = "Menu" + QByteArray::number(m);
                text += menuText(name, {"Speed %d", "Level %u"});
                text += QByteArray(1000, ' ') + "\n";
                s.setValue(docKey + "/" + name + "/Speed %d/Param1", QStringLiteral("1"));
                s.setValue(docKey + "/" + name + "/Stale %d/Param1", QStringLiteral("1"));
            }
        }
        ViewFixture f;
        auto *doc = f.open(path, text, 1, 1);
        const qint64 before = VelkoMenuView::charactersRead();
        f.saveAndClose(doc);
        const qint64 read = VelkoMenuView::charactersRead() - before;
        if (storedGroups(docKey).size() != menus
            || storedGroups(docKey + "/Menu0") != QStringList {"Speed %d"})
            return qint64(-1);
        return read;
    };
    const qint64 small = cost(250);
    const qint64 large = cost(1000);
    QVERIFY(small > 0 && large > 0);
    // Linear would be 4x, menus times text 16x.
    QVERIFY2(large < 9 * small, qPrintable(QStringLiteral("%1 vs %2").arg(large).arg(small)));
}

QTEST_MAIN(tst_ParameterStore)
#include "tst_parameterstore.moc"
