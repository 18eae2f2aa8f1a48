#include "render/IconPanel.h"

#include "render/ImageOps.h"
#include "session/ScreenRequests.h"

namespace ombrix::render {

namespace {

using base::ColorRef;
using base::DisplayColors;

constexpr ColorRef kBlack{0x000000u};
constexpr ColorRef kWhite{0xFFFFFFu};
constexpr int kBacklightSlotOffset = 5;
constexpr std::array<int, 3> kIconsPerStrip = {14, 16, 16};

// Black and white of the loaded pictures become the given colour references.
void recolour(IconImages& icons, int firstSlot, ColorRef foreground, ColorRef background) {
    for (int slot = firstSlot; slot < firstSlot + 4; ++slot) {
        if (foreground != kBlack) {
            ReplaceColor(icons[slot], base::ToPixel(kBlack), base::ToPixel(foreground));
        }
        if (background != kWhite) {
            ReplaceColor(icons[slot], base::ToPixel(kWhite), base::ToPixel(background));
        }
    }
}

std::uint16_t iconWord(const std::vector<std::int32_t>& words, std::size_t index) {
    return index < words.size() ? static_cast<std::uint16_t>(words[index]) : 0;
}

} // namespace

void LoadIconImages(IconImages& icons, const IconPaths& paths, const base::DisplayColors& colours) {
    for (int i = 0; i < 4; ++i) {
        icons[i].Load(paths[i]);
        icons[i + kBacklightSlotOffset].Load(paths[i]);
    }
    recolour(icons, 0, colours[DisplayColors::Foreground], colours[DisplayColors::Background]);
    recolour(icons, kBacklightSlotOffset, colours[DisplayColors::BacklightForeground],
             colours[DisplayColors::BacklightBackground]);
}

void ComposeIcons(CLumImage& screen, IconImages& icons, const ScreenGeometry& geometry,
                  const std::vector<std::int32_t>& iconWords, std::uint16_t statusWord,
                  const base::DisplayColors& colours) {
    const bool backlight = (statusWord & session::kStatusBacklight) != 0;
    const int firstSlot = backlight ? kBacklightSlotOffset : 0;
    const CLumImage& emptyPanel = icons[firstSlot + 3];
    CLumImage& blinkPanel = icons[kBlinkPanelSlot];
    const int width = geometry.displayWidth;
    const int height = geometry.iconsPanelHeight;
    if (emptyPanel.IsEmpty() || screen.IsEmpty() || height <= 0) {
        return;
    }
    const base::Pixel transparent = base::ToPixel(
        colours[backlight ? DisplayColors::BacklightBackground : DisplayColors::Background]);

    CopyPixels(screen, 0, 0, emptyPanel, 0, 0, width, height);
    CopyPixels(blinkPanel, 0, 0, emptyPanel, 0, 0, width, height);
    for (std::size_t strip = 0; strip < kIconsPerStrip.size(); ++strip) {
        const std::uint16_t lit = iconWord(iconWords, 2 * strip);
        const std::uint16_t blinking = iconWord(iconWords, 2 * strip + 1);
        const CLumImage& stripImage = icons[firstSlot + static_cast<int>(strip)];
        for (int i = 0; i < kIconsPerStrip[strip]; ++i) {
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << i);
            if ((lit & bit) == 0) {
                continue;
            }
            CLumImage& target = (blinking & bit) != 0 ? blinkPanel : screen;
            CopyOpaquePixels(target, 0, 0, stripImage, 0, i * height, width, height, transparent);
        }
    }
    CopyOpaquePixels(blinkPanel, 0, 0, screen, 0, 0, width, height, transparent);
}

} // namespace ombrix::render
