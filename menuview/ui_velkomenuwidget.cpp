// Builds the pane's form in the order its record lists the widgets.
#include "menuview/ui_velkomenuwidget.h"

#include "menuview/menuitems.h"
#include "menuview/statusline.h"

#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace Ui {

namespace {

QToolButton *magnificationButton(QWidget *pane, const char *name, const QFont &font)
{
    auto button = new QToolButton(pane);
    button->setObjectName(name);
    button->setFont(font);
    button->setCheckable(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

void VelkoMenuWidget::setupUi(QWidget *pane)
{
    if (pane->objectName().isEmpty())
        pane->setObjectName("VelkoMenuWidget");
    pane->resize(385, 270);
    formLayout = new QVBoxLayout(pane);
    formLayout->setSpacing(0);
    formLayout->setObjectName("formLayout");
    formLayout->setContentsMargins(0, 0, 0, 0);

    QFont boldNine;
    boldNine.setFamilies({QStringLiteral("Liberation Sans")});
    boldNine.setPointSize(9);
    boldNine.setBold(true);
    multiplier1Button = magnificationButton(pane, "multiplier1Button", boldNine);
    formLayout->addWidget(multiplier1Button);

    QFont bold;
    bold.setFamilies({QStringLiteral("Liberation Sans")});
    bold.setBold(true);
    multiplier2Button = magnificationButton(pane, "multiplier2Button", bold);
    formLayout->addWidget(multiplier2Button);
    multiplier3Button = magnificationButton(pane, "multiplier3Button", bold);
    formLayout->addWidget(multiplier3Button);

    settingsButton = new QToolButton(pane);
    settingsButton->setObjectName("settingsButton");
    formLayout->addWidget(settingsButton);

    scrollArea = new QScrollArea(pane);
    scrollArea->setObjectName("scrollArea");
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    scrollArea->setWidgetResizable(false);
    scrollAreaWidgetContents = new QWidget();
    scrollAreaWidgetContents->setObjectName("scrollAreaWidgetContents");
    scrollAreaWidgetContents->setGeometry(QRect(0, 0, 385, 184));
    scrollAreaWidgetContents->setMaximumSize(QSize(385, 16777215));

    menuItems = new MenuItems(scrollAreaWidgetContents);
    menuItems->setObjectName("menuItems");
    menuItems->setGeometry(QRect(0, 0, 291, 121));
    QSizePolicy policy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    policy.setHeightForWidth(menuItems->sizePolicy().hasHeightForWidth());
    menuItems->setSizePolicy(policy);

    scrollArea->setWidget(scrollAreaWidgetContents);
    formLayout->addWidget(scrollArea);

    statusLine = new StatusLine(menuItems, pane);
    formLayout->addWidget(statusLine);

    retranslateUi(pane);
}

void VelkoMenuWidget::retranslateUi(QWidget *pane)
{
    pane->setWindowTitle(QCoreApplication::translate("VelkoMenuWidget", "VelkoMenuWidget"));
    multiplier1Button->setText(QCoreApplication::translate("VelkoMenuWidget", "1"));
    multiplier2Button->setText(QCoreApplication::translate("VelkoMenuWidget", "2"));
    multiplier3Button->setText(QCoreApplication::translate("VelkoMenuWidget", "3"));
}

} // namespace Ui
