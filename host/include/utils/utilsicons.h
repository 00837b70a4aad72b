// The host's standard icons used by the plug-in.
#pragma once

#include "utils/icon.h"

namespace Utils {
namespace Icons {

extern const Icon SETTINGS_TOOLBAR;

} // namespace Icons
} // namespace Utils
