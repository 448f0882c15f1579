// Reading the dialog's controls into the options of one OK, with the checks that may refuse it.
#pragma once

#include <optional>

#include "tool/Widgets.h"
#include "tool/dimension_options.h"

struct TOptionIntake {
    std::optional<TDimensionOptions> Options; // set when every check passed
    TControl* Refused = nullptr;              // else the control that gets the keyboard focus
};

TOptionIntake TakeDimensionOptions(TWindow& window);
