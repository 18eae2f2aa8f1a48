#pragma once

#include "shell/CommandId.h"
#include "shell/DisplayMode.h"

namespace ombrix::shell {

// What the commands' enabled and checked states depend on.
struct FrameState {
    DisplayMode mode = DisplayMode::NormalWithKeyboard;
    bool keyboardBarExists = false;
    bool keyboardBarVisible = false;
    bool commandsBarVisible = false;
    bool fullscreenBarVisible = false;
    bool mainToolbarVisible = true;
    bool statusBarVisible = true;
    int screenshotZoom = 1;
    bool modelLoaded = false;
    bool sharpPixels = false;
    bool alwaysOnTop = false;
    bool recording = false;
};

struct CommandState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;

    friend bool operator==(const CommandState&, const CommandState&) = default;
};

// The enabled and checked state of a command in `state`, the rule its menu
// items and toolbar buttons show.
CommandState RuleFor(CommandId command, const FrameState& state);

} // namespace ombrix::shell
