#include "screen/LiveScreen.h"

namespace ombrix::sim {

LiveScreen::LiveScreen(const InstrumentModel& model, std::uint32_t serial)
    : painter_(model, serial), encoder_(model),
      packer_(model.width, model.height, model.bitsPerPixel), snapshot_(model) {}

void LiveScreen::update(const FrontPanel& panel) {
    image_ = painter_.paint(panel);
    frame_ = packer_.pack(valueAt());
}

PixelPacker::ValueAt LiveScreen::valueAt() const {
    return [this](int x, int y) {
        return encoder_.valueOf(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
    };
}

std::vector<std::uint8_t> LiveScreen::takeFrame() {
    sentFrame_ = frame_;
    return frame_;
}

} // namespace ombrix::sim
