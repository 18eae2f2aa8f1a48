#pragma once

#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Naming of screenshot files: running counter, format (0 TIFF, 1 PCX, 2 PNG), file name prefix
// and folder. An empty folder becomes the default folder when stored or loaded.
class ScreenshotSettings {
public:
    virtual ~ScreenshotSettings() = default;
    virtual bool Exchange(SettingsStream& stream, const QString& path);

    std::uint32_t Counter() const { return counter_; }
    void SetCounter(std::uint32_t counter) { counter_ = counter; }
    std::uint32_t Format() const { return format_; }
    void SetFormat(std::uint32_t format) { format_ = format; }
    QString Prefix() const { return prefix_; }
    void SetPrefix(const QString& prefix) { prefix_ = prefix; }
    QString Folder() const { return folder_; }
    void SetFolder(const QString& folder) { folder_ = folder; }

    bool operator==(const ScreenshotSettings&) const = default;

private:
    std::uint32_t counter_ = 0;
    std::uint32_t format_ = 0;
    QString prefix_;
    QString folder_;
};

} // namespace ombrix::settings
