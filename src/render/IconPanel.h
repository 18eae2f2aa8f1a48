#pragma once

#include "base/Colors.h"
#include "render/CLumImage.h"
#include "render/ScreenConversion.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace ombrix::render {

// The nine icon images: strips 1-3 and the empty panel in the normal colours
// (slots 0-3), the blink panel (slot 4), and the same four in the backlight
// colours (slots 5-8).
using IconImages = std::array<CLumImage, 9>;

inline constexpr int kBlinkPanelSlot = 4;

// Paths of IconBitmap1, IconBitmap2, IconBitmap3 and IconClear.
using IconPaths = std::array<QString, 4>;

// Loads the strips and the empty panel twice and recolours their black and
// white to the foreground/background and the backlight colours. A file that
// does not load leaves its slots empty. The blink panel is not touched.
void LoadIconImages(IconImages& icons, const IconPaths& paths, const base::DisplayColors& colours);

// Draws the icon panel: steady icons into the panel rows of `screen` and into
// the blink panel, blinking icons only into the blink panel. Missing icon words
// count as 0; nothing happens without the chosen empty panel.
void ComposeIcons(CLumImage& screen, IconImages& icons, const ScreenGeometry& geometry,
                  const std::vector<std::int32_t>& iconWords, std::uint16_t statusWord,
                  const base::DisplayColors& colours);

} // namespace ombrix::render
