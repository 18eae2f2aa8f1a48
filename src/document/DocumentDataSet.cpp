#include "document/DocumentDataSet.h"

namespace ombrix::document {

void RedrawScreen(DocumentDataSet& dataSet) {
    if (dataSet.screenBytes.empty() || dataSet.screenImage.IsEmpty()) {
        return;
    }
    const bool monochrome = dataSet.displayParameters.bitsPerPixel == 1;
    const bool backlight = (dataSet.iconState.StatusWord & session::kStatusBacklight) != 0;
    const session::Palette palette =
        monochrome ? render::MonochromePalette(dataSet.colours, backlight) : dataSet.palette;
    render::ConvertScreen(dataSet.screenImage, dataSet.geometry, dataSet.displayParameters, palette,
                          dataSet.screenBytes);
    if (monochrome && !dataSet.iconState.iconWords.empty()) {
        render::ComposeIcons(dataSet.screenImage, dataSet.iconImages, dataSet.geometry,
                             dataSet.iconState.iconWords, dataSet.iconState.StatusWord,
                             dataSet.colours);
    }
}

bool TakeFrame(const DocumentDataSet& dataSet, Frame& frame) {
    const render::ScreenGeometry& geometry = dataSet.geometry;
    if (dataSet.screenBytes.empty() || dataSet.screenImage.IsEmpty() ||
        geometry.displayWidth <= 0 || geometry.displayHeight <= 0) {
        return false;
    }
    frame.screen = dataSet.screenImage;
    frame.geometry = dataSet.geometry;
    frame.bitsPerPixel = dataSet.displayParameters.bitsPerPixel;
    const bool iconPanel = frame.bitsPerPixel == 1 && dataSet.geometry.iconsPanelHeight > 0;
    if (iconPanel && !dataSet.iconState.iconWords.empty()) {
        frame.blinkPanel = dataSet.iconImages[render::kBlinkPanelSlot];
    } else {
        frame.blinkPanel.Release();
    }
    return true;
}

bool PublishFrame(const DocumentDataSet& dataSet, FrameBuffer& frames) {
    Frame frame = frames.recycled();
    return TakeFrame(dataSet, frame) && frames.publish(std::move(frame));
}

} // namespace ombrix::document
