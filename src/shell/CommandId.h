#pragma once

namespace ombrix::shell {

// The program's command ids, as menus, toolbars and accelerators carry them.
enum class CommandId : int {
    ScreenshotZoom1 = 134,
    ScreenshotZoom2 = 135,
    ScreenshotZoom3 = 136,
    ScreenshotZoom4 = 137,
    FullscreenToolbar = 103,
    CursorSettings = 32777,
    ScreenshotSave = 32773,
    ScreenshotSettings = 32776,
    Fullscreen = 32778,
    NormalWithoutKeyboard = 32788,
    NormalWithKeyboard = 32789,
    KeyboardBar = 32796,
    Compact = 32804,
    ExitFullscreen = 32807,
    CommandsBar = 32819,
    Colors = 32823,
    SharpPixels = 32842,      // instrument pixels as blocks
    AlwaysOnTop = 32843,      // the window above others
    ScreenshotCopy = 32830,   // the framed screenshot on the clipboard
    ScreenshotRecord = 32844, // starts and stops a recording
    Instruments = 32850,      // the attached instruments and the USB devices to use
    ToggleFullscreen = 32851, // F11: into fullscreen or out of it
    MainToolbar = 59392,
    StatusBar = 59393,
    About = 57664,
};

} // namespace ombrix::shell
