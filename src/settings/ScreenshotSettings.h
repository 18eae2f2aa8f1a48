#pragma once

#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Naming of screenshot files: running counter, format (0 TIFF, 1 PCX, 2 PNG), file name prefix
// and folder. An empty folder becomes the default folder when stored or loaded. Recordings
// are named the same way, in their own format (0 WebM, 1 GIF, 2 animated PNG), with the keys
// pressed as captions under the screen when asked.
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
    std::uint32_t RecordFormat() const { return recordFormat_; }
    void SetRecordFormat(std::uint32_t format) { recordFormat_ = format; }
    bool RecordCaptions() const { return recordCaptions_; }
    void SetRecordCaptions(bool captions) { recordCaptions_ = captions; }

    bool operator==(const ScreenshotSettings&) const = default;

private:
    std::uint32_t counter_ = 0;
    std::uint32_t format_ = 0;
    QString prefix_;
    QString folder_;
    std::uint32_t recordFormat_ = 0;
    bool recordCaptions_ = false;
};

} // namespace ombrix::settings
