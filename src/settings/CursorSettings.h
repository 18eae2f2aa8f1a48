#pragma once

#include "settings/SettingsStream.h"

#include <QString>
#include <cstdint>

namespace ombrix::settings {

// Size of the presentation mouse cursors: 0 small (32 x 32), 1 medium (48 x 48),
// 2 large (256 x 256).
class CursorSettings {
public:
    virtual ~CursorSettings() = default;
    virtual bool Exchange(SettingsStream& stream, const QString& path);

    std::uint32_t Size() const { return size_; }
    void SetSize(std::uint32_t size) { size_ = size; }

    bool operator==(const CursorSettings&) const = default;

private:
    std::uint32_t size_ = 2;
};

} // namespace ombrix::settings
