#include "shell/ModeBars.h"

namespace ombrix::shell {

BarVisibility BarsForMode(DisplayMode mode, BarVisibility current) {
    BarVisibility bars = current;
    switch (mode) {
    case DisplayMode::NormalWithKeyboard:
    case DisplayMode::NormalWithoutKeyboard:
        bars.fullscreenToolbar = false;
        bars.statusBar = true;
        bars.mainToolbar = true;
        break;
    case DisplayMode::Fullscreen:
        bars.fullscreenToolbar = true;
        bars.statusBar = false;
        bars.mainToolbar = false;
        break;
    case DisplayMode::Compact:
        bars.statusBar = false;
        bars.fullscreenToolbar = false;
        bars.keyboardBar = false;
        bars.commandsBar = false;
        break;
    }
    return bars;
}

} // namespace ombrix::shell
