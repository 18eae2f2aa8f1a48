#pragma once

#include "settings/ApplicationSettings.h"

namespace ombrix::shell {

// What the main frame asks of the application object.
class ApplicationServices {
public:
    virtual ~ApplicationServices() = default;

    // The application's settings tree, loaded at start-up and stored at exit.
    virtual settings::ApplicationSettings& Settings() = 0;
    // The enlargement of saved screenshots, 1 to 4.
    virtual int ScreenshotZoom() const = 0;
    virtual void SetScreenshotZoom(int zoom) = 0;
    // Writes "ScreenshotZoom" and "RefreshRate" under "Global", as the main
    // window does when it closes.
    virtual void StoreGlobalProfile() = 0;
    // The path of the last screenshot written; empty before the first.
    virtual const QString& LastSavedImage() const = 0;
};

} // namespace ombrix::shell
