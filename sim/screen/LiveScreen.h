#pragma once

#include "catalogue/InstrumentModel.h"
#include "screen/FrameSnapshot.h"
#include "screen/FrontPanel.h"
#include "screen/PixelEncoder.h"
#include "screen/PixelPacker.h"
#include "screen/ScreenPainter.h"

#include <QImage>
#include <cstdint>
#include <vector>

namespace ombrix::sim {

// The display content: the panel drawn as a picture and packed into the bytes
// "#7,SC;" sends. Remembers what was sent last, so the status can say whether the
// content changed since.
class LiveScreen {
public:
    LiveScreen(const InstrumentModel& model, std::uint32_t serial);

    // Draws the panel's current page and packs it.
    void update(const FrontPanel& panel);

    const QImage& image() const { return image_; }
    const std::vector<std::uint8_t>& frame() const { return frame_; }
    // The values of frame() as a picture (see FrameSnapshot).
    QImage snapshot() const { return snapshot_.picture(valueAt()); }

    // The packed content differs from the one sent last.
    bool hasNewContent() const { return frame_ != sentFrame_; }
    // The frame to send; from now on it counts as sent.
    std::vector<std::uint8_t> takeFrame();
    // A new host has seen nothing yet.
    void forgetSentFrame() { sentFrame_.clear(); }

private:
    // The value of each pixel of the drawn picture: what is packed and what a
    // snapshot shows, from the one function.
    PixelPacker::ValueAt valueAt() const;

    ScreenPainter painter_;
    PixelEncoder encoder_;
    PixelPacker packer_;
    FrameSnapshot snapshot_;
    QImage image_;
    std::vector<std::uint8_t> frame_;
    std::vector<std::uint8_t> sentFrame_;
};

} // namespace ombrix::sim
