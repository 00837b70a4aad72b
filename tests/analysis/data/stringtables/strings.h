/* UI strings of a small controller, written the ways firmware writes them:
 * storage wrappers, translation wrappers, texts that depend on the width of
 * the display, versions turned into text, a language chosen by the build. */
#ifndef STRINGS_H
#define STRINGS_H

#define STRINGIFY_(x) #x
#define STRINGIFY(x) STRINGIFY_(x)

/* Flash placement, spelt through macros as the toolchain headers do. */
#define FLASH_SECTION __attribute__((section(".rodata.ui")))
#define FLASH_TEXT static const char
#define PSTR(s) (__extension__({ static const char __c[] FLASH_SECTION = (s); &__c[0]; }))
#define F(s) PSTR(s)

/* Translation: a wrapper that is the text, and a lookup that returns it. */
#define _U(a) a
#define _(s) s
const char *ui_translate(const char *text);
#define TX(id) ui_translate(id)

/* Short or long wording by the width of the display, in characters. */
#ifndef UI_COLUMNS
#define UI_COLUMNS 21
#endif
#if UI_COLUMNS < 20
#define PICK(short_text, long_text) short_text
#else
#define PICK(short_text, long_text) long_text
#endif

#define FW_MAJOR 2
#define FW_MINOR 14
#define FW_VERSION FW_MAJOR.FW_MINOR
#define DEVICE_NAME _U("Kiln-7")

/* The language header, named by the build: -DUI_LANG=de. */
#ifndef UI_LANG
#define UI_LANG en
#endif
#define LANG_HEADER_(l) STRINGIFY(lang/l.h)
#define LANG_HEADER(l) LANG_HEADER_(l)
#include LANG_HEADER(UI_LANG)

/* Defaults for what a language leaves out. */
#ifndef MSG_SERVICE
#define MSG_SERVICE _U("Service")
#endif
#ifndef MSG_BACK
#define MSG_BACK _U("Back")
#endif

#endif
