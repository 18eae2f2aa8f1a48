#pragma once

#include "settings/CommandsToolbarSettings.h"
#include "settings/CursorSettings.h"
#include "settings/MainFrameSettings.h"
#include "settings/ScreenshotSettings.h"
#include "settings/SettingsStream.h"
#include "settings/ViewSettings.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Every user preference that outlives a run, loaded once at start-up and stored once at
// exit. Components take whole copies of a group and hand changed copies back.
//
// Key paths are relative to the store: the tree lies under "MainSettings", each group
// under a sub-key of it ("MainSettings/Screenshot", ...).
class ApplicationSettings {
public:
    static constexpr const char* kTreeKey = "MainSettings";

    virtual ~ApplicationSettings() = default;
    // Loads or stores the whole tree under path; true only if every value was exchanged.
    // Values that fail keep their current contents and never stop the others.
    virtual bool Exchange(SettingsStream& stream, const QString& path);
    virtual QString SettingsPath() const { return settingsPath_; }
    // Places the tree under root; an empty root changes nothing.
    virtual void SetRootPath(const QString& root);

    QString RootPath() const { return rootPath_; }

    CursorSettings Cursor() const { return cursor_; }
    void SetCursor(const CursorSettings& cursor) { cursor_ = cursor; }
    ScreenshotSettings Screenshot() const { return screenshot_; }
    void SetScreenshot(const ScreenshotSettings& screenshot) { screenshot_ = screenshot; }
    MainFrameSettings MainFrame() const { return mainFrame_; }
    void SetMainFrame(const MainFrameSettings& mainFrame) { mainFrame_ = mainFrame; }
    ViewSettings View() const { return view_; }
    void SetView(const ViewSettings& view) { view_ = view; }
    CommandsToolbarSettings CommandsToolbar() const { return commandsToolbar_; }
    void SetCommandsToolbar(const CommandsToolbarSettings& bar) { commandsToolbar_ = bar; }

    // Display modes: 0 normal with keyboard, 1 normal without keyboard, 2 fullscreen,
    // 3 compact. Not range-checked, as stored values are taken unchanged.
    std::uint32_t DisplayMode() const { return displayMode_; }
    std::uint32_t PreviousDisplayMode() const { return previousDisplayMode_; }
    // The current mode becomes the previous one, the mode to return to from fullscreen.
    void SetDisplayMode(std::uint32_t mode);

    bool operator==(const ApplicationSettings&) const = default;

private:
    bool ExchangeDisplayModes(SettingsStream& stream, const QString& path);

    CursorSettings cursor_;
    ScreenshotSettings screenshot_;
    QString rootPath_;
    MainFrameSettings mainFrame_;
    QString settingsPath_ = QString::fromLatin1(kTreeKey);
    ViewSettings view_;
    std::uint32_t displayMode_ = 0;
    std::uint32_t previousDisplayMode_ = 0;
    CommandsToolbarSettings commandsToolbar_;
};

} // namespace ombrix::settings
