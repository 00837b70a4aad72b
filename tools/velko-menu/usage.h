// The text of velko-menu --help.
#pragma once

#include <QString>

QString usageText();
