// Editing parameters through real mouse presses on the screen: which rows
// open the dialog, how it is prepared, and what OK and Cancel leave behind.
#include "itemclick.h"
#include "viewfixture.h"

#include <QtTest>

namespace {

const QString path = QStringLiteral("/fw/edit.c");
const QString menuGroup = QStringLiteral("\\fw\\edit.c/Edit/");

const QByteArray menuText = "BEGIN_EDITABLE_MENU(Edit)\n"
                            "  MENU_ITEM(\"Speed %d\")\n" // item 0: one integer
                            "  MENU_ITEM(\"Exit\")\n" // item 1: no parameter
                            "  MENU_ITEM(\"Gain %.1f dB\")\n" // item 2: one real
                            "  MENU_ITEM(\"%d/%d %d:%d\")\n" // item 3: four integers
                            "  MENU_ITEM(\"Name %s\")\n" // item 4: a string
                            "  MENU_ITEM(\"Win %d %d\")\n" // item 5: two integers
                            "END_EDITABLE_MENU(Edit, \"Edit\")\n";

Seen click(ViewFixture &f, int y, const QStringList &type, bool accept,
           Qt::MouseButton button = Qt::LeftButton)
{
    return clickItem(f.items.get(), y, type, accept, button);
}

ViewFixture *openMenu(ViewFixture &f, int multiplier = 1)
{
    f.open(path, menuText, 2, 1);
    f.tick();
    f.items->setMultiplier(multiplier);
    f.items->resize(128 * multiplier, 8 * multiplier * f.items->rowCount());
    f.items->show();
    return &f;
}

} // namespace

class tst_ParameterEditing : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void rowsByMagnification_data();
    void rowsByMagnification();
    void dialogPreparation_data();
    void dialogPreparation();
    void okStoresExactlyTheEnabledParams();
    void storedValuesPrefillAndThirdStays();
    void cancelChangesNothing();
    void valuesAreNotValidated();
    void typingKeepsToTheKind_data();
    void typingKeepsToTheKind();
    void reanalysisDuringDialog_data();
    void reanalysisDuringDialog();
};

void tst_ParameterEditing::rowsByMagnification_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("opens");

    for (int m : {1, 2, 3}) {
        QTest::addRow("m%d-title-top", m) << m << 0 << false;
        QTest::addRow("m%d-title-bottom", m) << m << 8 * m - 1 << false;
        QTest::addRow("m%d-item0-top", m) << m << 8 * m << true;
        QTest::addRow("m%d-item0-bottom", m) << m << 16 * m - 1 << true;
        QTest::addRow("m%d-item1-no-conversion", m) << m << 16 * m << false;
        QTest::addRow("m%d-below-last-item", m) << m << 8 * m * 7 + 1 << false;
    }
}

void tst_ParameterEditing::rowsByMagnification()
{
    QFETCH(int, m);
    QFETCH(int, y);
    QFETCH(bool, opens);
    ViewFixture f;
    openMenu(f, m);
    f.items->resize(128 * m, 8 * m * 10); // room below the last item
    const Seen seen = click(f, y, {}, false);
    QCOMPARE(seen.opened, opens);
    if (!opens)
        QTRY_VERIFY(!QApplication::activeModalWidget());
}

void tst_ParameterEditing::dialogPreparation_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QList<bool>>("enabled");

    const QString integer = QStringLiteral("Целое число");
    QTest::addRow("one-integer") << 0 << int(Qt::LeftButton)
                                 << QStringList {integer + " 1", integer + " 2", integer + " 3"}
                                 << QList<bool> {true, false, false};
    QTest::addRow("right-button-opens")
            << 0 << int(Qt::RightButton)
            << QStringList {integer + " 1", integer + " 2", integer + " 3"}
            << QList<bool> {true, false, false};
    QTest::addRow("middle-button-opens")
            << 0 << int(Qt::MiddleButton)
            << QStringList {integer + " 1", integer + " 2", integer + " 3"}
            << QList<bool> {true, false, false};
    QTest::addRow("real") << 2 << int(Qt::LeftButton)
                          << QStringList {"Вещественное число 1", "Вещественное число 2",
                                          "Вещественное число 3"}
                          << QList<bool> {true, false, false};
    QTest::addRow("four-conversions")
            << 3 << int(Qt::LeftButton)
            << QStringList {integer + " 1", integer + " 2", integer + " 3"}
            << QList<bool> {true, true, true};
    QTest::addRow("string") << 4 << int(Qt::LeftButton)
                            << QStringList {"Строка 1", "Строка 2", "Строка 3"}
                            << QList<bool> {true, false, false};
    QTest::addRow("two-integers") << 5 << int(Qt::LeftButton)
                                  << QStringList {integer + " 1", integer + " 2", integer + " 3"}
                                  << QList<bool> {true, true, false};
}

void tst_ParameterEditing::dialogPreparation()
{
    QFETCH(int, item);
    QFETCH(int, button);
    QFETCH(QStringList, labels);
    QFETCH(QList<bool>, enabled);
    ViewFixture f;
    openMenu(f);
    const Seen seen = click(f, 8 * (item + 1) + 3, {}, false, Qt::MouseButton(button));
    QVERIFY(seen.opened);
    QCOMPARE(seen.labels, labels);
    QCOMPARE(seen.enabled, enabled);
    QCOMPARE(seen.texts, (QStringList {"", "", ""}));
}

void tst_ParameterEditing::okStoresExactlyTheEnabledParams()
{
    ViewFixture f;
    openMenu(f);
    const int analyzedBefore = f.analyzedSpy.count();
    click(f, 8 * 4 + 1, {"1", "2", "3", "4"}, true); // four conversions: three rows
    QCOMPARE(f.analyzedSpy.count(), analyzedBefore + 1);
    const QString item = menuGroup + "%d\\%d %d:%d/";
    QCOMPARE(f.settings()->value(item + "Param1").toString(), QStringLiteral("1"));
    QCOMPARE(f.settings()->value(item + "Param3").toString(), QStringLiteral("3"));
    QVERIFY(!f.settings()->contains(item + "Param4"));
    QCOMPARE(f.items->menuDefinition().itemLines.at(3),
             QStringLiteral("1/2 3:0")); // the fourth cannot be entered: 0

    click(f, 8 * 1 + 1, {" 42"}, true); // one integer, untrimmed
    QCOMPARE(f.settings()->value(menuGroup + "Speed %d/Param1").toString(), QStringLiteral(" 42"));
    QVERIFY(!f.settings()->contains(menuGroup + "Speed %d/Param2"));
    QCOMPARE(f.items->menuDefinition().paramValues.at(0), QStringList {" 42"});
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 42"));

    click(f, 8 * 5 + 1, {""}, true); // an empty string is stored too
    QVERIFY(f.settings()->contains(menuGroup + "Name %s/Param1"));
    QCOMPARE(f.items->menuDefinition().paramValues.at(4), QStringList {""});
}

void tst_ParameterEditing::storedValuesPrefillAndThirdStays()
{
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
                    QStringLiteral("VelkoMenuView"));
        s.setValue(menuGroup + "Win %d %d/Param1", "640");
        s.setValue(menuGroup + "Win %d %d/Param2", "480");
        s.setValue(menuGroup + "Win %d %d/Param3", "stale");
    }
    ViewFixture f;
    openMenu(f);
    QCOMPARE(f.items->menuDefinition().itemLines.at(5), QStringLiteral("Win 640 480"));
    const Seen seen = click(f, 8 * 6 + 1, {"800", "600"}, true);
    QCOMPARE(seen.texts, (QStringList {"640", "480", ""}));
    QCOMPARE(f.settings()->value(menuGroup + "Win %d %d/Param1").toString(), QStringLiteral("800"));
    QCOMPARE(f.settings()->value(menuGroup + "Win %d %d/Param3").toString(),
             QStringLiteral("stale"));
    QCOMPARE(f.items->menuDefinition().itemLines.at(5), QStringLiteral("Win 800 600"));
}

void tst_ParameterEditing::cancelChangesNothing()
{
    ViewFixture f;
    openMenu(f);
    const MenuDefinition before = f.items->menuDefinition();
    const int analyzedBefore = f.analyzedSpy.count();
    const Seen seen = click(f, 8 * 1 + 1, {"99"}, false);
    QVERIFY(seen.opened);
    QVERIFY(f.settings()->allKeys().isEmpty());
    QCOMPARE(f.items->menuDefinition().itemLines, before.itemLines);
    QCOMPARE(f.items->menuDefinition().paramValues, before.paramValues);
    QCOMPARE(f.analyzedSpy.count(), analyzedBefore);
}

void tst_ParameterEditing::valuesAreNotValidated()
{
    ViewFixture f;
    openMenu(f);
    click(f, 8 * 1 + 1, {"abc"}, true);
    QCOMPARE(f.settings()->value(menuGroup + "Speed %d/Param1").toString(), QStringLiteral("abc"));
    QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 0"));
    click(f, 8 * 3 + 1, {"2,5"}, true);
    QCOMPARE(f.items->menuDefinition().itemLines.at(2), QStringLiteral("Gain 2.5 dB"));
}

void tst_ParameterEditing::typingKeepsToTheKind_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("line");

    QTest::addRow("integer-letters") << 0 << "abc"
                                     << ""
                                     << "Speed 0";
    QTest::addRow("integer-sign-and-digits") << 0 << "-1x2.5"
                                             << "-125"
                                             << "Speed -125";
    QTest::addRow("integer-one-sign-first") << 0 << "+-7-"
                                            << "+7"
                                            << "Speed 7";
    QTest::addRow("integer-beyond-int") << 0 << "3000000000"
                                        << "3000000000"
                                        << "Speed -1294967296";
    QTest::addRow("real-comma-exponent") << 2 << "2,5e-1x"
                                         << "2,5e-1"
                                         << "Gain 0.2 dB";
    QTest::addRow("real-one-point") << 2 << "1.2.3"
                                    << "1.23"
                                    << "Gain 1.2 dB";
    QTest::addRow("real-letters") << 2 << "abc"
                                  << ""
                                  << "Gain 0.0 dB";
    QTest::addRow("string-anything") << 4 << "a-1.x"
                                     << "a-1.x"
                                     << "Name a-1.x";
}

void tst_ParameterEditing::typingKeepsToTheKind()
{
    QFETCH(int, item);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    ViewFixture f;
    openMenu(f);
    DialogAnswer answer([&](QDialog *dialog) {
        Ui::ParamsDialog *ui = static_cast<ParamsDialog *>(dialog)->ui();
        QTest::keyClicks(ui->param1Edit, typed);
        QTest::mouseClick(ui->buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(f.items.get(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(10, 8 * (item + 1) + 1));
    QVERIFY(answer.answered());
    const QString itemKey = menuGroup + f.items->menuDefinition().itemTexts.at(item) + "/Param1";
    QCOMPARE(f.settings()->value(itemKey).toString(), kept);
    QTEST(f.items->menuDefinition().itemLines.at(item), "line");
}

void tst_ParameterEditing::reanalysisDuringDialog_data()
{
    QTest::addColumn<QByteArray>("newText");
    QTest::addColumn<bool>("stored");

    QTest::addRow("same-item-survives") << QByteArray(menuText).replace("Exit", "Quit") << true;
    QTest::addRow("item-moved-away")
            << QByteArray(menuText).replace("  MENU_ITEM(\"Speed %d\")\n", "") << false;
    QTest::addRow("menu-gone") << QByteArray("int x;\n") << false;
}

void tst_ParameterEditing::reanalysisDuringDialog()
{
    // The document changes while the dialog is open (a timer in its event
    // loop): values are stored only if the clicked item is still there.
    QFETCH(QByteArray, newText);
    QFETCH(bool, stored);
    ViewFixture f;
    openMenu(f);
    auto *doc = f.documents.back().get();
    DialogAnswer answer([&](QDialog *dialog) {
        doc->setContents(newText); // re-analyses at once, inside the dialog's loop
        auto *d = static_cast<ParamsDialog *>(dialog);
        d->ui()->param1Edit->setText(QStringLiteral("7"));
        QTest::mouseClick(d->ui()->buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(f.items.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 8 + 1));
    QVERIFY(answer.answered());
    QCOMPARE(f.settings()->contains(menuGroup + "Speed %d/Param1"), stored);
    if (stored)
        QCOMPARE(f.items->menuDefinition().itemLines.at(0), QStringLiteral("Speed 7"));
}

QTEST_MAIN(tst_ParameterEditing)
#include "tst_parameterediting.moc"
