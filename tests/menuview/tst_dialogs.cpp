// The two dialogs as built: widget tree, texts, sizes, and what OK and Cancel return.
#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"
#include "menuview/settingsdialog.h"
#include "menuview/ui_settingsdialog.h"

#include "dialoganswer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QStringList childNames(const QObject *parent)
{
    QStringList names;
    for (const QObject *child : parent->children())
        if (!child->objectName().isEmpty())
            names << child->objectName();
    return names;
}

} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void paramsDialogForm();
    void paramsDialogLayoutKeepsDisabledRows();
    void settingsDialogForm();
    void results_data();
    void results();
};

void tst_Dialogs::paramsDialogForm()
{
    ParamsDialog dialog;
    Ui::ParamsDialog *ui = dialog.ui();
    QCOMPARE(dialog.objectName(), QStringLiteral("ParamsDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Ввод параметров"));
    QCOMPARE(dialog.size(), QSize(184, 206));
    QVERIFY(dialog.isModal());
    QVERIFY(!dialog.isSizeGripEnabled());
    QCOMPARE(childNames(&dialog), (QStringList{"formVerticalLayout", "param1Label", "param1Edit", "param2Label",
                                               "param2Edit", "param3Label", "param3Edit", "buttonBox"}));
    QCOMPARE(dialog.layout(), ui->formVerticalLayout);
    QCOMPARE(ui->formVerticalLayout->itemAt(0)->layout(), ui->verticalLayout);
    QCOMPARE(ui->verticalLayout->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(ui->formVerticalLayout->itemAt(1)->widget(), ui->buttonBox);
    const QList<QWidget *> rows{ui->param1Label, ui->param1Edit, ui->param2Label, ui->param2Edit, ui->param3Label, ui->param3Edit};
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(ui->verticalLayout->itemAt(i)->widget(), rows[i]);
    QCOMPARE(ui->verticalLayout->itemAt(6)->spacerItem(), ui->verticalSpacer);
    QCOMPARE(ui->verticalSpacer->sizeHint(), QSize(20, 40));
    QCOMPARE(ui->verticalSpacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(ui->param1Label->text(), QStringLiteral(" 1"));
    QCOMPARE(ui->param2Label->text(), QStringLiteral(" 2"));
    QCOMPARE(ui->param3Label->text(), QStringLiteral(" 3"));
    for (QLineEdit *edit : {ui->param1Edit, ui->param2Edit, ui->param3Edit}) {
        QVERIFY(edit->text().isEmpty());
        QVERIFY(edit->isEnabled());
    }
    QCOMPARE(ui->buttonBox->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(ui->buttonBox->orientation(), Qt::Horizontal);
}

void tst_Dialogs::paramsDialogLayoutKeepsDisabledRows()
{
    ParamsDialog dialog;
    Ui::ParamsDialog *ui = dialog.ui();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect before = ui->param3Edit->geometry();
    ui->param3Label->setEnabled(false);
    ui->param3Edit->setEnabled(false);
    QCoreApplication::processEvents();
    QCOMPARE(ui->param3Edit->geometry(), before);
    // The spacer takes the extra height: rows at the top, buttons at the bottom.
    QVERIFY(ui->param1Label->geometry().top() < 30);
    QVERIFY(ui->buttonBox->geometry().bottom() > dialog.height() - 30);
    QVERIFY(ui->buttonBox->geometry().top() - ui->param3Edit->geometry().bottom() > 20);
}

void tst_Dialogs::settingsDialogForm()
{
    SettingsDialog dialog;
    Ui::SettingsDialog *ui = dialog.ui();
    QCOMPARE(dialog.objectName(), QStringLiteral("SettingsDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Настройки"));
    QCOMPARE(dialog.size(), QSize(184, 135));
    QCOMPARE(childNames(&dialog), (QStringList{"formVerticalLayout", "periodLabel", "periodComboBox", "buttonBox"}));
    QCOMPARE(ui->verticalLayout->itemAt(0)->widget(), ui->periodLabel);
    QCOMPARE(ui->verticalLayout->itemAt(1)->widget(), ui->periodComboBox);
    QCOMPARE(ui->verticalLayout->itemAt(2)->spacerItem(), ui->verticalSpacer);
    QCOMPARE(ui->periodLabel->text(), QStringLiteral("Период обновления"));
    QStringList items;
    for (int i = 0; i < ui->periodComboBox->count(); ++i)
        items << ui->periodComboBox->itemText(i);
    QCOMPARE(items, (QStringList{"1 секунда", "2 секунды", "3 секунды", "5 секунд", "10 секунд"}));
    QCOMPARE(ui->periodComboBox->currentText(), QStringLiteral("3 секунды"));
}

void tst_Dialogs::results_data()
{
    QTest::addColumn<bool>("settings");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");

    for (bool settings : {false, true}) {
        const char *name = settings ? "settings" : "params";
        QTest::addRow("%s-ok", name) << settings << "ok" << int(QDialog::Accepted);
        QTest::addRow("%s-cancel", name) << settings << "cancel" << int(QDialog::Rejected);
        QTest::addRow("%s-escape", name) << settings << "escape" << int(QDialog::Rejected);
        QTest::addRow("%s-close", name) << settings << "close" << int(QDialog::Rejected);
    }
}

void tst_Dialogs::results()
{
    QFETCH(bool, settings);
    QFETCH(QString, answer);
    QFETCH(int, result);
    std::unique_ptr<QDialog> dialog(settings ? static_cast<QDialog *>(new SettingsDialog) : new ParamsDialog);
    DialogAnswer answerer([&](QDialog *d) {
        auto box = d->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (settings)
            d->findChild<QComboBox *>()->setCurrentIndex(4);
        if (answer == QLatin1String("ok"))
            QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
        else if (answer == QLatin1String("cancel"))
            QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        else if (answer == QLatin1String("escape"))
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->close();
    });
    QCOMPARE(dialog->exec(), result);
    QVERIFY(answerer.answered());
    if (settings)
        QCOMPARE(static_cast<SettingsDialog *>(dialog.get())->ui()->periodComboBox->currentIndex(), 4);
}

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
