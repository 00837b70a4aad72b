// Form of the menu view pane: magnification and settings buttons over the
// scrollable device screen.
#pragma once

#include <QCoreApplication>

class MenuItems;
class QScrollArea;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace Ui {

class VelkoMenuWidget
{
public:
    QVBoxLayout *formLayout = nullptr;
    QToolButton *multiplier1Button = nullptr;
    QToolButton *multiplier2Button = nullptr;
    QToolButton *multiplier3Button = nullptr;
    QToolButton *settingsButton = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *scrollAreaWidgetContents = nullptr;
    MenuItems *menuItems = nullptr;

    void setupUi(QWidget *pane);
    void retranslateUi(QWidget *pane);
};

} // namespace Ui
