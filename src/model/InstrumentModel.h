#pragma once

#include "base/Colors.h"
#include "base/Rect.h"

#include <QString>
#include <array>
#include <cstdint>

namespace ombrix::model {

class ModelLines;
class ModelWriter;

// The "[Main]" section of a model description file, with the values a new
// document holds. Strings read from a file are upper case.
struct InstrumentModel {
    static constexpr std::int32_t kDefaultIconsPanelHeight = 11;
    // What a model may ask for: a display and icon panel the screen image can
    // hold, and a display rectangle inside a picture of at most that many pixels.
    static constexpr std::int32_t kMaxDisplaySide = 4096;
    static constexpr std::int32_t kMaxIconsPanelHeight = 1024;
    static constexpr std::int32_t kMaxPictureSide = 16384;

    QString dataDir;
    QString keyboardBitmap;
    QString hardwareName; // empty: no model is loaded
    std::int32_t displayWidth = 0;
    std::int32_t displayHeight = 0;
    base::Rect display{0, 0, 1, 1}; // where the display sits in the front-panel picture
    std::array<QString, 3> iconBitmaps;
    QString iconClear;
    std::int32_t iconsPanelHeight = kDefaultIconsPanelHeight;
    base::DisplayColors colors; // the colours dialog's defaults for this model

    // An icon panel needs all three icon strips and the empty panel.
    bool hasAllIconNames() const;
    // Throws ModelFileError (bad format, naming the value) when the display, the
    // icon panel or the display rectangle lies outside the limits above.
    void checkGeometry(const QString& path) const;

    // The values after KeyboardBitmap: hardware name, display, icon names and panel height.
    void loadDisplayAndIcons(const ModelLines& lines);
    void loadColors(const ModelLines& lines);
    // The whole "[Main]" section, keys in their fixed order.
    void store(ModelWriter& writer) const;

    friend bool operator==(const InstrumentModel&, const InstrumentModel&) = default;
};

} // namespace ombrix::model
