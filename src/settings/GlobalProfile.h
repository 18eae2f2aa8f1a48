#pragma once

#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// The application's profile values under the key "Global", beside the settings tree.
// Loading reads all of them; storing writes back only the screenshot zoom and the
// refresh rate, the two the main window saves when it closes. FastKeyResponse
// (not 0: after a key the instrument is asked at the pace of commands until its
// screen changed) is read only.
struct GlobalProfile {
    static constexpr const char* kKey = "Global";

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 100;
    std::int32_t height = 100;
    std::int32_t screenshotZoom = 1;
    std::int32_t refreshRate = 5;
    std::int32_t fastKeyResponse = 1;

    bool Exchange(SettingsStream& stream, const QString& path);

    bool operator==(const GlobalProfile&) const = default;
};

} // namespace ombrix::settings
