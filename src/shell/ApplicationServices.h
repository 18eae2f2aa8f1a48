#pragma once

#include "base/Colors.h"
#include "link/UsbIdList.h"
#include "settings/ApplicationSettings.h"

#include <QString>
#include <optional>
#include <vector>

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
    // The colours chosen for a model file before; none when it shows its own.
    virtual std::optional<base::DisplayColors> ModelColors(const QString& modelFile) const = 0;
    // Remembers or forgets the colours chosen for a model file, at once. False
    // when the settings store cannot be written.
    virtual bool RememberModelColors(const QString& modelFile,
                                     const base::DisplayColors& colours) = 0;
    virtual bool ForgetModelColors(const QString& modelFile) = 0;
    // The USB vendor:product pairs whose devices the session opens: those the
    // user chose, kept in the settings, and those of $OMBRIX_USB_IDS, which
    // only add to them.
    virtual std::vector<link::UsbId> ChosenUsbIds() const = 0;
    virtual std::vector<link::UsbId> EnvironmentUsbIds() const = 0;
    // Adds a chosen pair or takes it away, in the settings at once, and has
    // the session go by the new list from its next search. False when the
    // settings cannot be written (the session goes by it all the same).
    virtual bool ChooseUsbId(const link::UsbId& id, bool chosen) = 0;
};

} // namespace ombrix::shell
