// Form of the menu view pane: magnification and settings buttons over the
// scrollable device screen, and the status line under it.
#pragma once

#include <QCoreApplication>

class MenuItems;
class StatusLine;
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
    StatusLine *statusLine = nullptr;

    void setupUi(QWidget *pane);
    void retranslateUi(QWidget *pane);
};

} // namespace Ui
