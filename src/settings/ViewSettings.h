#pragma once

#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Settings of the instrument view: the key highlight period in milliseconds and a
// background colour reference (0x00BBGGRR) that is kept but read by nothing else.
class ViewSettings {
public:
    virtual ~ViewSettings() = default;
    virtual bool Exchange(SettingsStream& stream, const QString& path);

    std::uint32_t HighlightPeriod() const { return highlightPeriod_; }
    void SetHighlightPeriod(std::uint32_t milliseconds) { highlightPeriod_ = milliseconds; }
    // Beyond the tree's own values, off unless asked for: the instrument's
    // pixels scaled as blocks, at whole multiples where the screen is alone.
    bool SharpPixels() const { return sharpPixels_; }
    void SetSharpPixels(bool sharp) { sharpPixels_ = sharp; }
    std::uint32_t BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(std::uint32_t color) { backgroundColor_ = color; }

    bool operator==(const ViewSettings&) const = default;

private:
    std::uint32_t highlightPeriod_ = 1000;
    std::uint32_t backgroundColor_ = 0;
    bool sharpPixels_ = false;
};

} // namespace ombrix::settings
