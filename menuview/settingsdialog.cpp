// The settings dialog: presents the five periods, reports OK or Cancel.
#include "menuview/settingsdialog.h"

#include "menuview/ui_settingsdialog.h"

SettingsDialog::SettingsDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::SettingsDialog)
{
    m_ui->setupUi(this);
}

SettingsDialog::~SettingsDialog()
{
    delete m_ui;
}
