// Values the user typed are never lost: not by a close that discards edits,
// a header's constant, a text the reader cannot follow, a variant of the
// build, a twin item, a second view or process, nor a rename.
#include "itemclick.h"
#include "viewfixture.h"

#include "menuview/params/parameterstore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>

using namespace VelkoMenuView;

namespace {

QSettings userStore()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
            QStringLiteral("VelkoMenuView")};
}

// The build's options for every file of `folder`, as CMake would write them.
void writeDatabase(const QString &folder, const QString &options)
{
    const QByteArray entry = "[{\"directory\": \"" + folder.toUtf8() + "\", \"file\": \"menu.c\", "
            + "\"command\": \"cc " + options.toUtf8() + " -c menu.c\"}]\n";
    ViewFixture::writeFile(folder + QStringLiteral("/compile_commands.json"), entry);
}

// A source as saved a while ago, before anything was typed.
void writeSaved(const QString &path, const QByteArray &text)
{
    ViewFixture::writeFile(path, text, QDateTime::currentDateTime().addSecs(-60));
}

// The line of each item of the menu shown with the cursor at `line`.
QStringList shownLines(const QString &path, const QByteArray &text, int line)
{
    ViewFixture f;
    f.open(path, text, line, 1);
    f.tick();
    return f.items->isMenuValid() ? f.items->menuDefinition().itemLines : QStringList();
}

const QByteArray header = "#ifdef LANG_EN\n#define S_TEMP \"Temp %d C\"\n#else\n"
                          "#define S_TEMP \"Temp. %d C\"\n#endif\n";

} // namespace

class tst_ValuesKept : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void keptOnClose_data();
    void keptOnClose();
    void unreadTextKeepsItsValue();
    void twinsFollowTheirItem();
    void textsAlikeButForSlashes();
    void twoViewsDoNotRevertEachOther();
    void anotherProcessShowsWithinRefresh_data();
    void anotherProcessShowsWithinRefresh();
    void valuesFollowThePath_data();
    void valuesFollowThePath();
    void randomSessionsLoseNothing();

private:
    QString m_folder;
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ValuesKept::init()
{
    clearStore();
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->path();
    m_path = m_folder + QStringLiteral("/menu.c");
}

void tst_ValuesKept::keptOnClose_data()
{
    QTest::addColumn<QByteArray>("saved"); // the file before and after
    QTest::addColumn<QByteArray>("typedIn"); // the editor's text while the value is typed
    QTest::addColumn<QByteArray>("closed"); // its text when it closes without saving
    QTest::addColumn<QString>("typedVariant");
    QTest::addColumn<QString>("closedVariant");
    QTest::addColumn<QByteArray>("savedLater"); // written before reopening; empty: none
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("expected");

    const QByteArray constant = "#include \"strings.h\"\nBEGIN_MENU(M)\n  MENU_ITEM(S_TEMP, a)\n"
                                "  MENU_ITEM(\"Plain %d\", b)\nEND_MENU(M, \"T\")\n";
    QTest::addRow("header-constant") << constant << constant << constant << "-DLANG_EN"
                                     << "-DLANG_EN" << QByteArray() << 0 << "Temp 42 C";
    QTest::addRow("variant-switched-before-close")
            << constant << constant << constant << "-DLANG_EN"
            << "-DLANG_DE" << QByteArray() << 0 << "Temp 42 C";
    const QByteArray inBody = "BEGIN_MENU(M)\n#ifdef LANG_EN\n  MENU_ITEM(\"Temp %d C\", a)\n"
                              "#else\n  MENU_ITEM(\"Temp. %d C\", a)\n#endif\nEND_MENU(M, \"T\")\n";
    QTest::addRow("variant-in-the-body") << inBody << inBody << inBody << "-DLANG_EN"
                                         << "-DLANG_DE" << QByteArray() << 0 << "Temp 42 C";
    const QByteArray two = "BEGIN_MENU(Alpha)\n  MENU_ITEM(\"A %d\")\nEND_MENU(Alpha, \"A\")\n"
                           "BEGIN_MENU(Beta)\n  MENU_ITEM(\"B %d\")\nEND_MENU(Beta, \"B\")\n";
    const QByteArray betaLast
            = two.mid(two.indexOf("BEGIN_MENU(Beta)")) + two.left(two.indexOf("BEGIN_MENU(Beta)"));
    QTest::addRow("menu-deleted-then-discarded")
            << betaLast << betaLast << two.left(two.indexOf("BEGIN_MENU(Beta)")) << ""
            << "" << QByteArray() << 0 << "B 42";
    QByteArray renamed = betaLast;
    renamed.replace("\"B %d\"", "\"Bee %d\"");
    QTest::addRow("item-renamed-then-discarded") << betaLast << betaLast << renamed << ""
                                                 << "" << QByteArray() << 0 << "B 42";
    QByteArray menuRenamed = betaLast;
    menuRenamed.replace("Beta", "Gamma");
    QTest::addRow("menu-renamed-then-discarded") << betaLast << betaLast << menuRenamed << ""
                                                 << "" << QByteArray() << 0 << "B 42";
    // Another editor's item, not saved yet when this one closes.
    QByteArray added = betaLast;
    added.replace("  MENU_ITEM(\"B %d\")\n", "  MENU_ITEM(\"B %d\")\n  MENU_ITEM(\"New %d\")\n");
    QTest::addRow("item-not-saved-yet") << betaLast << added << betaLast << ""
                                        << "" << added << 1 << "New 42";
    // A menu a macro writes: no text of it is found where the file spells it.
    const QByteArray written
            = "#define YN(n, t) BEGIN_MENU(n) MENU_ITEM(\"Yes %d\", y) END_MENU(n, t)\n"
              "YN(Confirm, \"Sure?\")\n";
    QTest::addRow("menu-written-by-a-macro") << written << written << written << ""
                                             << "" << QByteArray() << 0 << "Yes 42";
}

void tst_ValuesKept::keptOnClose()
{
    QFETCH(QByteArray, saved);
    QFETCH(QByteArray, typedIn);
    QFETCH(QByteArray, closed);
    QFETCH(QString, typedVariant);
    QFETCH(QString, closedVariant);
    QFETCH(QByteArray, savedLater);
    QFETCH(int, item);
    QFETCH(QString, expected);

    writeSaved(m_path, saved);
    writeSaved(m_folder + QStringLiteral("/strings.h"), header);
    writeDatabase(m_folder, typedVariant);
    {
        ViewFixture f;
        auto *doc = f.open(m_path, typedIn, 2, 3);
        f.tick();
        QVERIFY(f.items->isMenuValid());
        f.saveParam(item, 1, QStringLiteral("42"));
        // Saved after the typing: only what the pruning reads keeps the
        // value, not the time it was typed.
        if (savedLater.isEmpty())
            ViewFixture::writeFile(m_path, saved);
        writeDatabase(m_folder, closedVariant);
        doc->setContents(closed);
        f.close(doc);
    }
    if (!savedLater.isEmpty())
        ViewFixture::writeFile(m_path, savedLater);
    writeDatabase(m_folder, typedVariant);
    QCOMPARE(shownLines(m_path, savedLater.isEmpty() ? saved : savedLater, 2).value(item),
             expected);
}

void tst_ValuesKept::unreadTextKeepsItsValue()
{
    // Stored when the text was read; whether the wrapper is read or not, the
    // close must not take the value.
    const QString key = ParameterStore::documentKey(m_path) + QStringLiteral("/M/Text %d/Param1");
    userStore().setValue(key, QStringLiteral("42"));
    writeSaved(m_path,
               "#define _(s) s\nBEGIN_MENU(M)\n  MENU_ITEM(_(\"Text %d\"), a)\n"
               "  MENU_ITEM(lookup(3), b)\nEND_MENU(M, \"T\")\n");
    ViewFixture f;
    f.close(f.open(m_path, {}));
    QCOMPARE(userStore().value(key).toString(), QStringLiteral("42"));
}

void tst_ValuesKept::twinsFollowTheirItem()
{
    const QByteArray three = "BEGIN_MENU(M)\n  MENU_ITEM(\"Speed %d\", a)\n"
                             "  MENU_ITEM(\"Speed %d\", b)\n  MENU_ITEM(\"Speed %d\", c)\n"
                             "END_MENU(M, \"T\")\n";
    QByteArray withoutA = three;
    withoutA.replace("  MENU_ITEM(\"Speed %d\", a)\n", "");
    writeSaved(m_path, three);
    {
        ViewFixture f;
        auto *doc = f.open(m_path, three, 2, 1);
        f.tick();
        for (int i = 0; i < 3; ++i)
            f.saveParam(i, 1, QString::number(100 * (i + 1)));
        doc->setContents(withoutA);
        QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"Speed 200", "Speed 300"}));
        f.saveAndClose(doc);
    }
    QCOMPARE(shownLines(m_path, withoutA, 2), (QStringList {"Speed 200", "Speed 300"}));
    // A's value went with its item: a new "a" starts empty.
    QCOMPARE(shownLines(m_path, three, 2), (QStringList {"Speed 0", "Speed 200", "Speed 300"}));

    // An older store numbered twins by their place: still read so.
    clearStore();
    const QString menu = ParameterStore::documentKey(m_path) + QStringLiteral("/M/Speed %d/");
    userStore().setValue(menu + QStringLiteral("Param1"), QStringLiteral("1"));
    userStore().setValue(menu + QStringLiteral("2/Param1"), QStringLiteral("2"));
    QCOMPARE(shownLines(m_path, three, 2), (QStringList {"Speed 1", "Speed 2", "Speed 0"}));
}

void tst_ValuesKept::textsAlikeButForSlashes()
{
    const QByteArray both = "BEGIN_MENU(M)\n  MENU_ITEM(\"v/%d\")\n  MENU_ITEM(\"v\\\\%d\")\n"
                            "END_MENU(M, \"T\")\n";
    QByteArray second = both;
    second.replace("  MENU_ITEM(\"v/%d\")\n", "");
    writeSaved(m_path, both);
    {
        ViewFixture f;
        auto *doc = f.open(m_path, both, 2, 1);
        f.tick();
        QCOMPARE(f.items->menuDefinition().itemTexts, (QStringList {"v/%d", "v\\%d"}));
        f.saveParam(0, 1, QStringLiteral("11"));
        f.saveParam(1, 1, QStringLiteral("22"));
        f.tick();
        f.moveCursor(3, 1);
        f.tick();
        QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"v/11", "v\\22"}));
        doc->setContents(second);
        QCOMPARE(f.items->menuDefinition().itemLines, (QStringList {"v\\22"}));
        f.saveAndClose(doc);
    }
    QCOMPARE(shownLines(m_path, second, 2), (QStringList {"v\\22"}));

    // An older store's shared group: the first of the two texts owns it.
    clearStore();
    userStore().setValue(ParameterStore::documentKey(m_path) + QStringLiteral("/M/v\\%d/Param1"),
                         QStringLiteral("11"));
    QCOMPARE(shownLines(m_path, both, 2), (QStringList {"v/11", "v\\0"}));
    QCOMPARE(shownLines(m_path, second, 2), (QStringList {"v\\0"}));
}

void tst_ValuesKept::twoViewsDoNotRevertEachOther()
{
    const QByteArray text = "BEGIN_MENU(M)\n  MENU_ITEM(\"Win %d %d\")\nEND_MENU(M, \"T\")\n";
    writeSaved(m_path, text);
    ViewFixture f;
    f.open(m_path, text, 2, 1);
    f.tick();
    f.saveParam(0, 1, QStringLiteral("10"));
    f.saveParam(0, 2, QStringLiteral("20"));
    MenuItems second;
    QMetaObject::invokeMethod(&second, "onTimeout");
    for (MenuItems *view : {f.items.get(), &second}) {
        view->resize(128, 16);
        view->show();
    }
    // A view of this process shows the other's write at once.
    clickItem(&second, 12, {"11"}, true);
    QTRY_COMPARE_WITH_TIMEOUT(f.items->menuDefinition().itemLines, QStringList {"Win 11 20"}, 500);

    // Another process writes the second value; this view has not looked yet,
    // but its dialog opens with what the store holds, and OK writes only the
    // field changed.
    const QString key = ParameterStore::documentKey(m_path) + QStringLiteral("/M/Win %d %d/Param");
    QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--store"), key + '2', QStringLiteral("21")}),
             0);
    const Seen seen = clickItem(f.items.get(), 12, {"12"}, true);
    QCOMPARE(seen.texts.mid(0, 2), (QStringList {"11", "21"}));
    QCOMPARE(userStore().value(key + '1').toString(), QStringLiteral("12"));
    QCOMPARE(userStore().value(key + '2').toString(), QStringLiteral("21"));
    QTRY_COMPARE_WITH_TIMEOUT(second.menuDefinition().itemLines, QStringList {"Win 12 21"}, 500);
}

void tst_ValuesKept::anotherProcessShowsWithinRefresh_data()
{
    QTest::addColumn<bool>("storeMadeMeanwhile");
    QTest::addRow("store-written-here-first") << false;
    // No store file while the view starts: the one another process makes counts too.
    QTest::addRow("store-made-meanwhile") << true;
}

void tst_ValuesKept::anotherProcessShowsWithinRefresh()
{
    QFETCH(bool, storeMadeMeanwhile);
    const QByteArray text = "BEGIN_MENU(M)\n  MENU_ITEM(\"Speed %d\")\nEND_MENU(M, \"T\")\n";
    writeSaved(m_path, text);
    if (storeMadeMeanwhile) {
        QFile::remove(userStore().fileName());
        QVERIFY(!QFile::exists(userStore().fileName()));
    }
    ViewFixture f;
    f.open(m_path, text, 2, 1);
    f.tick();
    if (!storeMadeMeanwhile) {
        f.saveParam(0, 1, QStringLiteral("1"));
        QTRY_COMPARE(f.items->menuDefinition().itemLines, QStringList {"Speed 1"});
    }
    // This test's own program, run again, writes as another view's process would.
    const QString key = ParameterStore::documentKey(m_path) + QStringLiteral("/M/Speed %d/Param1");
    QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                               {QStringLiteral("--store"), key, QStringLiteral("77")}),
             0);
    // The cursor stays where it is.
    QTRY_COMPARE_WITH_TIMEOUT(f.items->menuDefinition().itemLines, QStringList {"Speed 77"},
                              DocumentValues::RefreshInterval + 1500);
}

void tst_ValuesKept::valuesFollowThePath_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::addRow("rename") << false;
    QTest::addRow("save-as") << true;
}

void tst_ValuesKept::valuesFollowThePath()
{
    QFETCH(bool, saveAs);
    const QByteArray text = "BEGIN_MENU(M)\n  MENU_ITEM(\"Speed %d\")\nEND_MENU(M, \"T\")\n";
    const QString renamed = m_folder + QStringLiteral("/renamed.c");
    writeSaved(m_path, text);
    {
        ViewFixture f;
        auto *doc = f.open(m_path, text, 2, 1);
        f.tick();
        f.saveParam(0, 1, QStringLiteral("5"));
        QVERIFY(saveAs ? QFile::copy(m_path, renamed) : QFile::rename(m_path, renamed));
        doc->setFilePath(Utils::FilePath::fromString(renamed));
        QTRY_COMPARE(f.items->menuDefinition().itemLines, QStringList {"Speed 5"});
        f.close(doc);
    }
    QCOMPARE(shownLines(renamed, text, 2), QStringList {"Speed 5"});
    QCOMPARE(shownLines(m_path, text, 2), QStringList {saveAs ? "Speed 5" : "Speed 0"});
}

void tst_ValuesKept::randomSessionsLoseNothing()
{
    // Sessions of random edits, saves, discards, closes and variant switches
    // over a file of twins, header constants and variants; every value typed
    // for an item that the file as saved still has, or that was typed since
    // the last save, must still be in the store after every close.
    const quint32 seed = qEnvironmentVariableIsSet("VELKO_SEED")
            ? qEnvironmentVariable("VELKO_SEED").toUInt()
            : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    const QStringList pool {"\"Speed %d\", a",  "\"Speed %d\", b", "S_TEMP, t",
                            "\"On/Off %d\", o", "\"Level %u\"",    "\"Level %u\""};
    writeSaved(m_folder + QStringLiteral("/strings.h"), header);
    const auto source = [](const QList<QStringList> &menus) {
        QByteArray text = "#include \"strings.h\"\n";
        for (qsizetype m = 0; m < menus.size(); ++m) {
            const QByteArray name = "Menu" + QByteArray::number(m);
            text += "BEGIN_MENU(" + name + ")\n";
            for (const QString &item : menus.at(m))
                text += "  MENU_ITEM(" + item.toUtf8() + ")\n";
            text += "END_MENU(" + name + ", \"T\")\n";
        }
        return text;
    };
    QList<QStringList> saved {{pool.at(0), pool.at(1)}, {pool.at(2), pool.at(3)}};
    writeSaved(m_path, source(saved));
    writeDatabase(m_folder, QStringLiteral("-DLANG_EN"));
    // The value of each item typed, by menu and item as written.
    QHash<QString, QString> typed;
    QSet<QString> typedSinceSave;
    // An item whose text stands alone in its menu keeps its values by the
    // text: a value typed then replaces the one any item of that text typed
    // while alone, whatever else the two items say.
    QHash<QString, QString> keyOfGroup;
    int serial = 0;
    for (int session = 0; session < 12; ++session) {
        ViewFixture f;
        QList<QStringList> menus = saved;
        auto *doc = f.open(m_path, source(menus), 2, 1);
        for (int step = 0; step < 8; ++step) {
            const int m = random.bounded(2);
            const int action = random.bounded(5);
            QStringList &items = menus[m];
            if (action == 0 && !items.isEmpty()) {
                items.removeAt(random.bounded(int(items.size())));
            } else if (action == 1) {
                items.insert(random.bounded(int(items.size()) + 1),
                             pool.at(random.bounded(int(pool.size()))));
            } else if (action == 2) {
                writeDatabase(m_folder,
                              random.bounded(2) ? QStringLiteral("-DLANG_EN")
                                                : QStringLiteral("-DLANG_DE"));
            } else if (action == 3) {
                saved = menus;
                ViewFixture::writeFile(m_path, source(saved));
                typedSinceSave.clear();
            }
            doc->setContents(source(menus));
            // The cursor in menu m: its opening keyword's line.
            const QByteArray text = source(menus);
            const int line = int(text.left(text.indexOf("BEGIN_MENU(Menu" + QByteArray::number(m)))
                                         .count('\n'))
                    + 1;
            f.moveCursor(line, 1);
            f.tick();
            if (!items.isEmpty() && f.items->isMenuValid()) {
                const int i = random.bounded(int(items.size()));
                const QString value = QStringLiteral("v%1").arg(++serial);
                f.saveParam(i, 1, value);
                const QString key = QString::number(m) + '/' + items.at(i) + '/'
                        + QString::number(items.first(i).count(items.at(i)));
                const QString text = items.at(i).section(u',', 0, 0);
                const auto sameText
                        = [&](const QString &item) { return item.section(u',', 0, 0) == text; };
                const bool alone = std::count_if(items.cbegin(), items.cend(), sameText) == 1;
                const QString group = QString::number(m) + '/' + (alone ? text : key);
                const QString replaced = keyOfGroup.value(group);
                if (!replaced.isEmpty() && replaced != key) {
                    typed.remove(replaced);
                    typedSinceSave.remove(replaced);
                }
                keyOfGroup.insert(group, key);
                typed.insert(key, value);
                typedSinceSave.insert(key);
            }
        }
        if (random.bounded(2)) {
            saved = menus;
            f.saveAndClose(doc);
            typedSinceSave.clear();
        } else {
            f.close(doc);
        }
        // What must be there: values of items the saved file has (an item
        // of a text with a variant counts whichever variant is built), and
        // those typed since the last save.
        const QSettings store = userStore();
        QSet<QString> present;
        for (const QString &key : store.allKeys())
            present.insert(store.value(key).toString());
        for (auto it = typed.begin(); it != typed.end();) {
            const QStringList parts = it.key().split('/');
            const QStringList &items = saved.at(parts.at(0).toInt());
            const bool onDisk = items.count(parts.at(1)) > parts.at(2).toInt();
            if (!onDisk && !typedSinceSave.contains(it.key())) {
                it = typed.erase(it); // it may have gone, rightly
                continue;
            }
            QVERIFY2(present.contains(it.value()),
                     qPrintable(QStringLiteral("seed %1, session %2: %3 lost")
                                        .arg(seed)
                                        .arg(session)
                                        .arg(it.key())));
            ++it;
        }
    }
}

int main(int argc, char **argv)
{
    // Run again by the test as another process that writes the store.
    if (argc == 4 && qstrcmp(argv[1], "--store") == 0) {
        QCoreApplication app(argc, argv);
        QSettings store = userStore();
        store.setValue(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]));
        store.sync();
        return store.status() == QSettings::NoError ? 0 : 1;
    }
    QApplication app(argc, argv);
    tst_ValuesKept test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_valueskept.moc"
