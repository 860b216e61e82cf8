#pragma once

#include <QHashFunctions>

// The modifier keys and button of one pointer event, as the canvas reports them.
struct ToolModifiers {
    bool option = false;          // Alt: the temporary eyedropper
    bool shift = false;           // constrains the gesture
    bool command = false;         // Ctrl: read by the canvas only (panning)
    bool secondaryButton = false; // right button: the secondary colour

    friend constexpr bool operator==(ToolModifiers a, ToolModifiers b) = default;
};

inline size_t qHash(ToolModifiers m, size_t seed = 0) {
    return qHashMulti(seed, m.option, m.shift, m.command, m.secondaryButton);
}
