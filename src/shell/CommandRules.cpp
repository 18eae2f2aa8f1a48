#include "shell/CommandRules.h"

namespace ombrix::shell {

namespace {

CommandState plain(bool enabled = true) {
    return {enabled, false, false};
}

CommandState toggle(bool enabled, bool checked) {
    return {enabled, true, checked};
}

CommandState modeItem(const FrameState& state, DisplayMode mode) {
    return toggle(true, state.mode == mode);
}

CommandState zoomItem(const FrameState& state, int zoom) {
    return toggle(true, state.screenshotZoom == zoom);
}

} // namespace

CommandState RuleFor(CommandId command, const FrameState& state) {
    const bool compact = state.mode == DisplayMode::Compact;
    const bool fullscreen = state.mode == DisplayMode::Fullscreen;
    switch (command) {
    case CommandId::NormalWithKeyboard:
        return modeItem(state, DisplayMode::NormalWithKeyboard);
    case CommandId::NormalWithoutKeyboard:
        return modeItem(state, DisplayMode::NormalWithoutKeyboard);
    case CommandId::Fullscreen:
        return modeItem(state, DisplayMode::Fullscreen);
    case CommandId::Compact:
        return modeItem(state, DisplayMode::Compact);
    case CommandId::FullscreenToolbar:
        return toggle(fullscreen, state.fullscreenBarVisible);
    case CommandId::KeyboardBar:
        return toggle(state.keyboardBarExists && !compact, state.keyboardBarVisible);
    case CommandId::CommandsBar:
        return toggle(!compact, state.commandsBarVisible);
    case CommandId::MainToolbar:
        return toggle(true, state.mainToolbarVisible);
    case CommandId::StatusBar:
        return toggle(!compact && !fullscreen, state.statusBarVisible);
    case CommandId::CursorSettings:
        return plain(!compact);
    case CommandId::ScreenshotZoom1:
        return zoomItem(state, 1);
    case CommandId::ScreenshotZoom2:
        return zoomItem(state, 2);
    case CommandId::ScreenshotZoom3:
        return zoomItem(state, 3);
    case CommandId::ScreenshotZoom4:
        return zoomItem(state, 4);
    case CommandId::Colors:
        return plain(state.modelLoaded); // its defaults are a model's
    case CommandId::SharpPixels:
        return toggle(true, state.sharpPixels);
    case CommandId::AlwaysOnTop:
        return toggle(true, state.alwaysOnTop);
    case CommandId::ScreenshotRecord:
        return toggle(state.modelLoaded || state.recording, state.recording);
    case CommandId::ExitFullscreen:
    case CommandId::ScreenshotSave:
    case CommandId::ScreenshotSettings:
    case CommandId::ScreenshotCopy:
    case CommandId::About:
    case CommandId::Instruments:
    case CommandId::ToggleFullscreen:
        break;
    }
    return plain();
}

} // namespace ombrix::shell
