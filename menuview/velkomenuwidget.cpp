// The menu view pane: magnification buttons, settings, and sizing the screen.
#include "menuview/velkomenuwidget.h"

#include "menuview/params/settingskeys.h"

#include "menuview/menuitems.h"
#include "menuview/settingsdialog.h"
#include "menuview/ui_settingsdialog.h"
#include "menuview/ui_velkomenuwidget.h"
#include "utils/utilsicons.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QPointer>
#include <QSettings>
#include <QToolButton>

namespace {

const QString multiplierKey = VelkoMenuView::SettingsKeys::multiplier();
const QString periodKey = VelkoMenuView::SettingsKeys::period();

int periodToIndex(int seconds)
{
    return seconds < 5 ? seconds - 1 : seconds == 5 ? 3 : 4;
}

int indexToPeriod(int index)
{
    return index == 3 ? 5 : index == 4 ? 10 : index + 1;
}

} // namespace

VelkoMenuWidget::VelkoMenuWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::VelkoMenuWidget)
    , m_multipliers(new QButtonGroup(this))
{
    m_ui->setupUi(this);
    // A form makes its widgets with their parent alone.
    m_ui->statusLine->setScreen(m_ui->menuItems);

    // Exclusive: clicking the checked button again leaves it checked.
    m_multipliers->addButton(m_ui->multiplier1Button, 1);
    m_multipliers->addButton(m_ui->multiplier2Button, 2);
    m_multipliers->addButton(m_ui->multiplier3Button, 3);
    connect(m_multipliers, &QButtonGroup::idToggled, this,
            &VelkoMenuWidget::onMultiplierButtonToggled);
    connect(m_ui->settingsButton, &QToolButton::clicked, this,
            &VelkoMenuWidget::settingsButtonClicked);
    connect(m_ui->menuItems, &MenuItems::analyzed, this, &VelkoMenuWidget::onAnalyzed);

    m_ui->settingsButton->setIcon(Utils::Icons::SETTINGS_TOOLBAR.icon());

    QSettings *settings = m_ui->menuItems->settings();
    const int multiplier = settings->value(multiplierKey).toInt();
    m_multipliers->button(multiplier == 1 || multiplier == 3 ? multiplier : 2)->setChecked(true);

    int period = settings->value(periodKey).toInt();
    if (period != 1 && period != 2 && period != 3 && period != 5 && period != 10)
        period = 3;
    m_ui->menuItems->setPeriod(period);
}

VelkoMenuWidget::~VelkoMenuWidget()
{
    delete m_ui;
}

QList<QToolButton *> VelkoMenuWidget::toolButtons() const
{
    return {m_ui->multiplier1Button, m_ui->multiplier2Button, m_ui->multiplier3Button,
            m_ui->settingsButton};
}

void VelkoMenuWidget::onMultiplierButtonToggled(int n, bool checked)
{
    if (!checked)
        return;
    m_ui->menuItems->setMultiplier(n);
    m_ui->menuItems->settings()->setValue(multiplierKey, n);
    onAnalyzed();
}

void VelkoMenuWidget::settingsButtonClicked()
{
    QPointer<SettingsDialog> dialog(new SettingsDialog(this));
    dialog->ui()->periodComboBox->setCurrentIndex(periodToIndex(m_ui->menuItems->period()));
    const int result = dialog->exec();
    if (!dialog)
        return;
    if (result == QDialog::Accepted) {
        const int period = indexToPeriod(dialog->ui()->periodComboBox->currentIndex());
        m_ui->menuItems->setPeriod(period);
        m_ui->menuItems->settings()->setValue(periodKey, period);
    }
    delete dialog;
}

void VelkoMenuWidget::onAnalyzed()
{
    const int m = m_ui->menuItems->multiplier();
    const int rows = m_ui->menuItems->rowCount();
    const QRect screen(0, 0, m * 128, rows * m * 8);
    m_ui->scrollAreaWidgetContents->setGeometry(screen);
    m_ui->menuItems->setGeometry(screen);
}
