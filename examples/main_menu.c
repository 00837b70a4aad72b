/*
 * TK-12 temperature controller, VELKO-OS firmware: the main menu and the
 * menus reached from it directly.
 *
 * Item texts may hold printf conversions (d and u for integers, f for reals,
 * s for strings); the values come from the handlers on the device and from
 * the parameter dialog in the Velko Menu View pane.
 */
#include "velko/menu.h"
#include "app/handlers.h"

#define STR_BACK "Назад"
static const char STR_SETTINGS[] = "Настройки";
static const char STR_SERVICE[] = "Сервис";

/* Shown after power-up. The title fits 15 characters, so the clock shows. */
BEGIN_MENU(MainMenu)
    MENU_ITEM("Пуск", onStart)
    MENU_ITEM("Стоп", onStop)
    MENU_ITEM("Темп. %d°C", showTemperature)
    MENU_ITEM("Уставки", openSetpoints)
    MENU_ITEM(STR_SETTINGS, openSettings)
    MENU_ITEM("Журнал", openEventLog)
    MENU_ITEM(STR_SERVICE, openService)
END_MENU(MainMenu, "ТК-12")

/* Setpoints are edited in place on the device. */
BEGIN_EDITABLE_MENU(SetpointMenu)
    MENU_ITEM("Уставка %d°C", editSetpoint)
    MENU_ITEM("Гист. %.1f°C", editHysteresis)  // hysteresis, 0.1 degree steps
    MENU_ITEM("Таймер %u мин", editTimer)
    /* MENU_ITEM("Рампа %u°C/ч", editRamp)  -- comes with firmware 2.1 */
    MENU_ITEM(STR_BACK, goBack)
END_EDITABLE_MENU(SetpointMenu, "Уставки")

/* Boards with a radio module talk Wi-Fi, the others RS-485. */
#if defined(HAS_WIFI)
BEGIN_MENU(NetworkMenu)
    MENU_ITEM("Сеть: %s", editSsid)
    MENU_ITEM("Канал %hhu", editChannel)
    MENU_ITEM("IP-адрес", showIpAddress)
    MENU_ITEM(STR_BACK, goBack)
END_MENU(NetworkMenu, "Сеть Wi-Fi")
#else
BEGIN_MENU(NetworkMenu)
    MENU_ITEM("Адрес Modbus %hhu", editModbusAddress)
    MENU_ITEM("%u бод", editBaudRate)
    MENU_ITEM("Чётность: %s", editParity)
    MENU_ITEM(STR_BACK, goBack)
END_MENU(NetworkMenu, "Связь RS-485")
#endif

/*
 * Operating hours are a 64-bit count, whose widest value does not fit the
 * row: `velko-menu check` warns on purpose that this item can overflow. The
 * firmware never counts that far (10^9 hours), so the warning is accepted.
 */
BEGIN_MENU(AboutMenu)
    MENU_ITEM("Версия " "ПО 2.0.3", showVersion)
    MENU_ITEM("Наработка %lu ч", showOperatingHours)
    MENU_ITEM("Зав. № %u", showSerialNumber)
    MENU_ITEM(STR_BACK, goBack)
END_MENU(AboutMenu, "О приборе")
