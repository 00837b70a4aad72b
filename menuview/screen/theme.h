// Colours of a rendered screen: the pane's own and those of common panels.
#pragma once

#include <QList>
#include <QRgb>
#include <QString>

namespace VelkoMenuView {

struct Theme
{
    QString name;
    QRgb lit;
    QRgb unlit;
    QRgb edge; // marks the screen's lower edge: a colour the panel never shows
    QString description;
};

const QList<Theme> &themes();
// nullptr for an unknown name.
const Theme *findTheme(const QString &name);
const Theme &defaultTheme();

} // namespace VelkoMenuView
