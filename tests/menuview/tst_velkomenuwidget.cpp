// The pane: restoring and storing magnification and period, the exclusive
// magnification buttons, the settings round trip, and screen sizing.
#include "dialoganswer.h"
#include "viewfixture.h"

#include "menuview/settingsdialog.h"
#include "menuview/ui_settingsdialog.h"
#include "menuview/ui_velkomenuwidget.h"
#include "menuview/velkomenuwidget.h"
#include "menuview/velkomenuwidgetfactory.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QSettings store()
{
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"), QStringLiteral("VelkoMenuView")};
}

QList<bool> checkedButtons(const VelkoMenuWidget &pane)
{
    return {pane.ui()->multiplier1Button->isChecked(), pane.ui()->multiplier2Button->isChecked(),
            pane.ui()->multiplier3Button->isChecked()};
}

} // namespace

class tst_VelkoMenuWidget : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearStore(); }

    void form();
    void restoresStoredOptions_data();
    void restoresStoredOptions();
    void clickingTheCheckedButtonKeepsIt();
    void magnifyingResizesTheScreen();
    void settingsRoundTrip_data();
    void settingsRoundTrip();
    void factoryMakesIndependentPanes();
};

void tst_VelkoMenuWidget::form()
{
    VelkoMenuWidget pane;
    Ui::VelkoMenuWidget *ui = pane.ui();
    QCOMPARE(pane.objectName(), QStringLiteral("VelkoMenuWidget"));
    QCOMPARE(pane.windowTitle(), QStringLiteral("VelkoMenuWidget"));
    QCOMPARE(pane.toolButtons(), (QList<QToolButton *>{ui->multiplier1Button, ui->multiplier2Button,
                                                       ui->multiplier3Button, ui->settingsButton}));
    QCOMPARE(ui->multiplier1Button->text(), QStringLiteral("1"));
    QCOMPARE(ui->multiplier1Button->font().pointSize(), 9);
    QVERIFY(ui->multiplier2Button->font().bold());
    QCOMPARE(ui->multiplier3Button->text(), QStringLiteral("3"));
    QVERIFY(ui->multiplier3Button->isCheckable());
    QVERIFY(!ui->settingsButton->icon().isNull());
    QCOMPARE(ui->scrollArea->widget(), ui->scrollAreaWidgetContents);
    QCOMPARE(ui->menuItems->parentWidget(), ui->scrollAreaWidgetContents);
    QCOMPARE(ui->menuItems->objectName(), QStringLiteral("menuItems"));
    QCOMPARE(ui->formLayout->spacing(), 0);
    QCOMPARE(ui->scrollAreaWidgetContents->maximumWidth(), 385);
}

void tst_VelkoMenuWidget::restoresStoredOptions_data()
{
    QTest::addColumn<QVariant>("multiplier");
    QTest::addColumn<QVariant>("period");
    QTest::addColumn<int>("expectedMultiplier");
    QTest::addColumn<int>("expectedPeriod");

    QTest::addRow("empty-store") << QVariant() << QVariant() << 2 << 3;
    QTest::addRow("one-and-ten") << QVariant(1) << QVariant(10) << 1 << 10;
    QTest::addRow("three-and-five") << QVariant(3) << QVariant(5) << 3 << 5;
    QTest::addRow("zero-and-four") << QVariant(0) << QVariant(4) << 2 << 3;
    QTest::addRow("four-and-zero") << QVariant(4) << QVariant(0) << 2 << 3;
    QTest::addRow("negative") << QVariant(-1) << QVariant(-5) << 2 << 3;
    QTest::addRow("not-numbers") << QVariant("big") << QVariant("often") << 2 << 3;
}

void tst_VelkoMenuWidget::restoresStoredOptions()
{
    QFETCH(QVariant, multiplier);
    QFETCH(QVariant, period);
    QFETCH(int, expectedMultiplier);
    QFETCH(int, expectedPeriod);
    {
        QSettings s = store();
        if (multiplier.isValid())
            s.setValue(QStringLiteral("Multiplier"), multiplier);
        if (period.isValid())
            s.setValue(QStringLiteral("Period"), period);
    }
    VelkoMenuWidget pane;
    QList<bool> expected{false, false, false};
    expected[expectedMultiplier - 1] = true;
    QCOMPARE(checkedButtons(pane), expected);
    QCOMPARE(pane.ui()->menuItems->multiplier(), expectedMultiplier);
    QCOMPARE(pane.ui()->menuItems->period(), expectedPeriod);
    QSettings s = store();
    QCOMPARE(s.value(QStringLiteral("Multiplier")).toInt(), expectedMultiplier); // written back
    QCOMPARE(s.value(QStringLiteral("Period")), period);                          // untouched
    // No menu yet: the screen takes no height.
    QCOMPARE(pane.ui()->menuItems->height(), 0);
    QCOMPARE(pane.ui()->scrollAreaWidgetContents->height(), 0);
}

void tst_VelkoMenuWidget::clickingTheCheckedButtonKeepsIt()
{
    VelkoMenuWidget pane;
    store().remove(QStringLiteral("Multiplier"));
    QTest::mouseClick(pane.ui()->multiplier2Button, Qt::LeftButton);
    QCOMPARE(checkedButtons(pane), (QList<bool>{false, true, false}));
    QVERIFY(!store().contains(QStringLiteral("Multiplier"))); // nothing written
    QCOMPARE(pane.ui()->menuItems->multiplier(), 2);
}

void tst_VelkoMenuWidget::magnifyingResizesTheScreen()
{
    ViewFixture f; // the host side: a document and an editor
    f.open(QStringLiteral("/tmp/pane.c"), "BEGIN_MENU(M)\nMENU_ITEM(\"A\")\nMENU_ITEM(\"B\")\nEND_MENU(M, \"T\")\n", 2, 1);
    VelkoMenuWidget pane;
    MenuItems *items = pane.ui()->menuItems;
    QMetaObject::invokeMethod(items, "onTimeout");
    QCOMPARE(items->rowCount(), 3);
    QCOMPARE(items->size(), QSize(256, 48)); // sized by the analysis at magnification 2
    QTest::mouseClick(pane.ui()->multiplier3Button, Qt::LeftButton);
    QCOMPARE(checkedButtons(pane), (QList<bool>{false, false, true}));
    QCOMPARE(items->size(), QSize(384, 72));
    QCOMPARE(pane.ui()->scrollAreaWidgetContents->size(), QSize(384, 72));
    QCOMPARE(store().value(QStringLiteral("Multiplier")).toInt(), 3);
    QTest::mouseClick(pane.ui()->multiplier1Button, Qt::LeftButton);
    QCOMPARE(checkedButtons(pane), (QList<bool>{true, false, false}));
    QCOMPARE(items->size(), QSize(128, 24));
}

void tst_VelkoMenuWidget::settingsRoundTrip_data()
{
    QTest::addColumn<int>("storedPeriod");
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("chosenIndex");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("expectedPeriod");

    QTest::addRow("ten-to-five") << 10 << 4 << 3 << true << 5;
    QTest::addRow("one-to-two") << 1 << 0 << 1 << true << 2;
    QTest::addRow("unchanged-still-written") << 3 << 2 << 2 << true << 3;
    QTest::addRow("cancel-keeps-ten") << 10 << 4 << 0 << false << 10;
}

void tst_VelkoMenuWidget::settingsRoundTrip()
{
    QFETCH(int, storedPeriod);
    QFETCH(int, shownIndex);
    QFETCH(int, chosenIndex);
    QFETCH(bool, accept);
    QFETCH(int, expectedPeriod);
    store().setValue(QStringLiteral("Period"), storedPeriod);
    VelkoMenuWidget pane;
    store().remove(QStringLiteral("Period"));
    int shown = -1;
    DialogAnswer answer([&](QDialog *dialog) {
        auto *d = static_cast<SettingsDialog *>(dialog);
        shown = d->ui()->periodComboBox->currentIndex();
        d->ui()->periodComboBox->setCurrentIndex(chosenIndex);
        QTest::mouseClick(d->ui()->buttonBox->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    });
    QTest::mouseClick(pane.ui()->settingsButton, Qt::LeftButton);
    QVERIFY(answer.answered());
    QCOMPARE(shown, shownIndex);
    QCOMPARE(pane.ui()->menuItems->period(), expectedPeriod);
    if (accept)
        QCOMPARE(store().value(QStringLiteral("Period")).toInt(), expectedPeriod);
    else
        QVERIFY(!store().contains(QStringLiteral("Period")));
    QVERIFY(!pane.findChild<SettingsDialog *>()); // deleted after the run
}

void tst_VelkoMenuWidget::factoryMakesIndependentPanes()
{
    VelkoMenuWidgetFactory factory;
    QCOMPARE(factory.displayName(), QStringLiteral("Velko Menu View"));
    QCOMPARE(factory.id().toString(), QStringLiteral("VelkoMenuView"));
    QCOMPARE(factory.priority(), 202);
    const Core::NavigationView a = factory.createWidget();
    const Core::NavigationView b = factory.createWidget();
    QVERIFY(a.widget && b.widget && a.widget != b.widget);
    QCOMPARE(a.dockToolBarWidgets.size(), 4);
    QCOMPARE(b.dockToolBarWidgets.size(), 4);
    for (QToolButton *button : a.dockToolBarWidgets)
        QVERIFY(!b.dockToolBarWidgets.contains(button));
    QCOMPARE(a.dockToolBarWidgets.at(3)->objectName(), QStringLiteral("settingsButton"));
    auto paneA = qobject_cast<VelkoMenuWidget *>(a.widget);
    auto paneB = qobject_cast<VelkoMenuWidget *>(b.widget);
    QVERIFY(paneA->ui()->menuItems != paneB->ui()->menuItems);
    QVERIFY(paneA->ui()->menuItems->settings() != paneB->ui()->menuItems->settings());
    QTest::mouseClick(a.dockToolBarWidgets.at(0), Qt::LeftButton);
    QCOMPARE(paneA->ui()->menuItems->multiplier(), 1);
    QCOMPARE(paneB->ui()->menuItems->multiplier(), 2);
    delete a.widget;
    delete b.widget;
}

QTEST_MAIN(tst_VelkoMenuWidget)
#include "tst_velkomenuwidget.moc"
