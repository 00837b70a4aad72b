/* Menus that take their texts from the string table. */
#include "strings.h"

FLASH_TEXT kTitleMain[] FLASH_SECTION = "Main";
static const char kSetup[] FLASH_SECTION = _("Setup");
extern const char kAbout[];

const char *ui_translate(const char *text) { return text; }

#define BACK_ITEM MENU_ITEM(MSG_BACK, goBack)
#define YES_NO_MENU(name, question) \
    BEGIN_MENU(name) MENU_ITEM(_U("Yes"), onYes) MENU_ITEM(_U("No"), onNo) END_MENU(name, question)

BEGIN_MENU(Main)
    MENU_ITEM(MSG_WELCOME, 0)
    MENU_ITEM(MSG_HEAT, setHeat)
    MENU_ITEM(F(MSG_HOLD), setHold)
    MENU_ITEM(TX(MSG_COOL), cool)
    MENU_ITEM(kSetup, setup)
    MENU_ITEM(&kAbout[0], about)
END_MENU(Main, kTitleMain)

BEGIN_EDITABLE_MENU(Service)
    MENU_ITEM(PSTR("FW " STRINGIFY(FW_VERSION)), 0)
    MENU_ITEM((const char *)(UI_COLUMNS > 20 ? "Wide screen" : "Narrow"), 0)
    BACK_ITEM
END_EDITABLE_MENU(Service, MSG_SERVICE)

YES_NO_MENU(ConfirmReset, _("Reset all?"))

const char kAbout[] = "About " STRINGIFY(FW_MAJOR);
