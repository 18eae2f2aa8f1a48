#pragma once

#include "model/PictureRect.h"

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

    // Colour references 0x00BBGGRR, in the order of the display colours.
    struct Colors {
        std::uint32_t backlightForeground = 0x000000;
        std::uint32_t backlightBackground = 0x00FF00;
        std::uint32_t foreground = 0x000000;
        std::uint32_t background = 0xFFFFFF;

        friend bool operator==(const Colors&, const Colors&) = default;
    };

    QString dataDir;
    QString keyboardBitmap;
    QString hardwareName; // empty: no model is loaded
    std::int32_t displayWidth = 0;
    std::int32_t displayHeight = 0;
    PictureRect display{0, 0, 1, 1}; // where the display sits in the front-panel picture
    std::array<QString, 3> iconBitmaps;
    QString iconClear;
    std::int32_t iconsPanelHeight = kDefaultIconsPanelHeight;
    Colors colors;

    // An icon panel needs all three icon strips and the empty panel.
    bool hasAllIconNames() const;

    // The values after KeyboardBitmap: hardware name, display, icon names and panel height.
    void loadDisplayAndIcons(const ModelLines& lines);
    void loadColors(const ModelLines& lines);
    // The whole "[Main]" section, keys in their fixed order.
    void store(ModelWriter& writer) const;

    friend bool operator==(const InstrumentModel&, const InstrumentModel&) = default;
};

} // namespace ombrix::model
