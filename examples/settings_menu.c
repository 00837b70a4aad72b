/*
 * TK-12 temperature controller, VELKO-OS firmware: device settings and
 * sensor calibration.
 */
#include "velko/menu.h"
#include "app/settings.h"

#define STR_RESET "Сброс настроек"
#define STR_BACK "Назад"
static const char STR_SOUND[] = "Звук: "
                                "%s";

/* Date and time use narrow conversions so that the row always fits. */
BEGIN_EDITABLE_MENU(SettingsMenu)
    MENU_ITEM("Яркость %u%%", editBrightness)
    MENU_ITEM("Контраст %hhu", editContrast)
    MENU_ITEM(STR_SOUND, editSound)
    MENU_ITEM("Дата %02hhu.%02hhu.%04hu", editDate)
    MENU_ITEM("Время %02hhu:%02hhu", editTime)
    MENU_ITEM("Имя: %s", editDeviceName)
    MENU_ITEM(STR_RESET, resetDefaults)
    MENU_ITEM(STR_BACK, goBack)
END_EDITABLE_MENU(SettingsMenu, "Настройки")

/*
 * Sensor calibration, for the service engineer. Two deliberate warnings of
 * `velko-menu check` here:
 * - the title has 18 characters, more than the 15 that leave room for the
 *   clock, so this screen shows no clock (wanted: the title matters more);
 * - the device font has no Omega: the screen skips it, so the resistance
 *   item reads "R0 100.00 " on the device. It is kept to show how check
 *   reports a character the font lacks (write "Ом" on a real device).
 * The items depend on the sensor the board is built for. The preview reads
 * the branch the build takes: with no SENSOR_TYPE given both names count as
 * 0, so the PT100 items show; build with -DSENSOR_TYPE=2 -DSENSOR_PT100=1
 * (or put the cursor into the other branch) to see the thermocouple's.
 */
BEGIN_EDITABLE_MENU(CalibrationMenu)
#if SENSOR_TYPE == SENSOR_PT100
    MENU_ITEM("R0 %.2f Ω", editR0)
    MENU_ITEM("Ал. %.5f", editAlpha)  // alpha, 1/°C
#else
    MENU_ITEM("Тип ТП: %s", editThermocoupleType)
#endif
    MENU_ITEM("Сдвиг %+.1f°C", editOffset)
    MENU_ITEM("Накл. %.3f", editSlope)
    MENU_ITEM(STR_BACK, goBack)
END_EDITABLE_MENU(CalibrationMenu, "Калибровка датчика")

/* Alarm limits: items with two and three integer parameters. */
BEGIN_EDITABLE_MENU(AlarmMenu)
    MENU_ITEM("Порог %hd..%hd", editAlarmLimits)
    MENU_ITEM("Задержка %hu с", editAlarmDelay)
    MENU_ITEM("Реле %hhu: %hhu/%hhu", editRelayMode)
    MENU_ITEM(STR_BACK, goBack)
END_EDITABLE_MENU(AlarmMenu, "Аварии")
