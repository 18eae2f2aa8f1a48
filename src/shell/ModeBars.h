#pragma once

#include "shell/DisplayMode.h"

namespace ombrix::shell {

// Which of the frame's bars are shown.
struct BarVisibility {
    bool statusBar = true;
    bool mainToolbar = true;
    bool fullscreenToolbar = false;
    bool keyboardBar = false;
    bool commandsBar = true;

    friend bool operator==(const BarVisibility&, const BarVisibility&) = default;
};

// The bars once `mode` is applied to `current`: the normal modes hide the
// fullscreen toolbar and show the status bar and the main toolbar; fullscreen
// shows the fullscreen toolbar and hides the other two; compact hides the status
// bar, the fullscreen toolbar, the keyboard bar and the commands bar. What a mode
// does not name keeps its state.
BarVisibility BarsForMode(DisplayMode mode, BarVisibility current);

} // namespace ombrix::shell
