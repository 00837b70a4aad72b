BEGIN_MENU(Main)
    MENU_ITEM("Start", onStart)
    MENU_ITEM("Stop", onStop)
    MENU_ITEM("Speed %d rpm", onSpeed) // speed in rpm
    /* MENU_ITEM("Debug", onDebug) */
END_MENU(Main, "Main menu")
