// The theme table; the first entry is the device's own look.
#include "menuview/screen/theme.h"

namespace VelkoMenuView {

const QList<Theme> &themes()
{
    static const QList<Theme> all = {
            {QStringLiteral("default"), qRgb(0x00, 0x00, 0x00), qRgb(0xF4, 0xF4, 0xF4),
             qRgb(0xE0, 0x30, 0x1E),
             QStringLiteral("black on light grey (#F4F4F4), the device's own colours")},
            {QStringLiteral("white-on-black"), qRgb(0xFF, 0xFF, 0xFF), qRgb(0x00, 0x00, 0x00),
             qRgb(0xFF, 0x50, 0x40), QStringLiteral("white on black")},
            {QStringLiteral("blue-oled"), qRgb(0x4C, 0xC9, 0xFF), qRgb(0x05, 0x0A, 0x14),
             qRgb(0xFF, 0x9F, 0x1C), QStringLiteral("light blue on near-black, a blue OLED panel")},
            {QStringLiteral("green-lcd"), qRgb(0x23, 0x31, 0x17), qRgb(0xA6, 0xC2, 0x4A),
             qRgb(0xC0, 0x20, 0x90),
             QStringLiteral("dark olive on yellow-green, a backlit STN LCD")},
    };
    return all;
}

const Theme *findTheme(const QString &name)
{
    for (const Theme &theme : themes()) {
        if (theme.name == name)
            return &theme;
    }
    return nullptr;
}

const Theme &defaultTheme()
{
    return themes().first();
}

} // namespace VelkoMenuView
