// Moving the settings file's values into the dialog's controls and back.
#pragma once

#include "tool/Widgets.h"
#include "tool/settings_file.h"

// Restores the controls; the window position is the caller's. A list index past the items leaves the
// list without a selection, a radio index past the buttons selects the last one.
void ApplySettings(const TSettings& settings, TWindow& window);
// The controls' values, with the given window position.
TSettings CollectSettings(TWindow& window, int32_t windowLeft, int32_t windowTop);
