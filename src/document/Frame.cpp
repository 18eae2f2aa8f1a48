#include "document/Frame.h"

#include "render/ImageOps.h"

#include <algorithm>

namespace ombrix::document {

render::CLumImage Frame::withBlinkPanel() const {
    render::CLumImage image = screen;
    if (!blinkPanel.IsEmpty()) {
        render::CopyPixels(image, 0, 0, blinkPanel, 0, 0, geometry.displayWidth,
                           geometry.iconsPanelHeight);
    }
    return image;
}

render::CLumImage Frame::shown() const {
    const render::CLumImage full = withBlinkPanel();
    const int height = std::min(full.Height(), render::DisplayTop(geometry, bitsPerPixel) +
                                                   geometry.displayHeight);
    render::CLumImage cut;
    if (cut.Create(full.Width(), height)) {
        render::CopyPixels(cut, 0, 0, full, 0, 0, full.Width(), height);
    }
    return cut;
}

bool Frame::showsSameAs(const Frame& other) const {
    return geometry == other.geometry && bitsPerPixel == other.bitsPerPixel &&
           screen == other.screen && blinkPanel == other.blinkPanel;
}

} // namespace ombrix::document
