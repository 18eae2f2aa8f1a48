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
    std::uint32_t BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(std::uint32_t color) { backgroundColor_ = color; }

    bool operator==(const ViewSettings&) const = default;

private:
    std::uint32_t highlightPeriod_ = 1000;
    std::uint32_t backgroundColor_ = 0;
};

} // namespace ombrix::settings
