// VelkoMenuWidget: the navigation pane's body. The device screen in a scroll
// area, three magnification buttons and a settings button for the host's
// tool bar; magnification and refresh period persist in the settings store.
#pragma once

#include <QList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace Ui {
class VelkoMenuWidget;
}

class VelkoMenuWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VelkoMenuWidget(QWidget *parent = nullptr);
    ~VelkoMenuWidget() override;

    // multiplier1Button, multiplier2Button, multiplier3Button, settingsButton.
    QList<QToolButton *> toolButtons() const;

    Ui::VelkoMenuWidget *ui() const { return m_ui; }

private slots:
    void onMultiplierButtonToggled(int n, bool checked);
    void settingsButtonClicked();
    void onAnalyzed();

private:
    Ui::VelkoMenuWidget *m_ui;
    QButtonGroup *m_multipliers; // the three buttons, exclusive, ids 1 to 3
};
