#pragma once

#include "shell/CommandTable.h"

#include <array>

class QMenu;
class QMenuBar;
class QWidget;

namespace ombrix::shell {

// The screenshot zooms x1 to x4, in menu order.
inline constexpr std::array<CommandId, 4> kZoomCommands = {
    CommandId::ScreenshotZoom1, CommandId::ScreenshotZoom2, CommandId::ScreenshotZoom3,
    CommandId::ScreenshotZoom4};

// Every command of the main window as an action of `commands`, from one table
// that gives each its text, object name, status tip and shortcut. The actions
// whose shortcuts work in every mode are also the window's own, so they work
// where the menu bar is out of sight (fullscreen).
void AddMainCommands(CommandTable& commands, QWidget& window);

// The menu bar's View, Screenshot and Help menus.
void FillMenuBar(QMenuBar& menuBar, const CommandTable& commands);

// The fullscreen mode's menu: items of their own, with texts of their own, for
// the same commands.
QMenu* MakeFullscreenMenu(CommandTable& commands, QWidget& parent);

} // namespace ombrix::shell
