// Control IDs of the dialog's windows, by position in the design's creation order; the end-to-end
// driver finds the controls by the same rule.
#pragma once

#include <string_view>

#include "tool/dialog_design.h"

// OK and Cancel carry IDOK (1) and IDCANCEL (2): the dialog manager sends those for Enter and Esc.
// Every other row gets 100 + 10 * position; the buttons of a radio group follow their frame's ID.
inline int ControlId(int position) {
    const TControlDesign& row = DialogControls()[static_cast<size_t>(position)];
    if (row.IsDefault) return 1;
    if (row.IsCancel) return 2;
    return 100 + 10 * position;
}

inline int RadioButtonId(int position, int item) {
    return ControlId(position) + 1 + item;
}

// Position of the named row in DialogControls(), or -1.
inline int ControlPosition(std::string_view name) {
    const auto rows = DialogControls();
    for (size_t i = 0; i < rows.size(); ++i)
        if (name == rows[i].Name) return static_cast<int>(i);
    return -1;
}
