/*
 * DELIBERATELY BROKEN EXAMPLE, kept for `velko-menu check` to find.
 *
 * The closing macro below names "SeviceMenu" (a typo) while the menu opens
 * as "ServiceMenu", so the definition does not parse: the pane shows no menu
 * and `velko-menu check` reports a name mismatch at the closing macro. Fix
 * the name to see the menu.
 */
#include "velko/menu.h"
#include "app/service.h"

BEGIN_MENU(ServiceMenu)
    MENU_ITEM("Тест реле", testRelays)
    MENU_ITEM("Тест дисплея", testDisplay)
    MENU_ITEM("АЦП канал %u", showAdcChannel)
    MENU_ITEM("Назад", goBack)
END_MENU(SeviceMenu, "Сервис")
