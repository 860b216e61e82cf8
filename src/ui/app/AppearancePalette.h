#pragma once

#include "AppearanceMode.h"

#include <QPalette>

// The colours of Kestrin's windows for each appearance setting.
namespace AppearancePalette {

QPalette light();
QPalette dark();
// The palette for a mode; the system mode gives back the palette the session chose.
QPalette forMode(AppearanceMode mode, const QPalette& system);

} // namespace AppearancePalette
