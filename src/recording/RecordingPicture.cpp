#include "recording/RecordingPicture.h"

#include "render/ImageOps.h"
#include "render/ScreenConversion.h"
#include "screenshot/ComposeScreenshot.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace ombrix::recording {

namespace {

constexpr int kFrameMargin = 8; // the screenshot frame adds 4 pixels a side
constexpr int kCaptionPixels = 11;
constexpr int kCaptionPadding = 4;

int shownHeight(const document::Frame& frame) {
    return std::min(frame.screen.Height(), render::DisplayTop(frame.geometry, frame.bitsPerPixel) +
                                               frame.geometry.displayHeight);
}

} // namespace

bool Blinks(const document::Frame& frame) {
    const int rows = std::min(frame.geometry.iconsPanelHeight, frame.blinkPanel.Height());
    if (frame.blinkPanel.IsEmpty() || rows <= 0) {
        return false;
    }
    const int width = std::min(frame.screen.Width(), frame.blinkPanel.Width());
    for (int y = 0; y < rows && y < frame.screen.Height(); ++y) {
        if (!std::equal(frame.screen.Row(y), frame.screen.Row(y) + width,
                        frame.blinkPanel.Row(y))) {
            return true;
        }
    }
    return false;
}

render::CLumImage ShownScreen(const document::Frame& frame, bool blinkPhase) {
    const render::CLumImage full = blinkPhase ? frame.withBlinkPanel() : frame.screen;
    render::CLumImage cut;
    if (cut.Create(full.Width(), shownHeight(frame))) {
        render::CopyPixels(cut, 0, 0, full, 0, 0, full.Width(), cut.Height());
    }
    return cut;
}

QSize PictureSize(const document::Frame& frame, const RecordingLook& look) {
    const int margin = look.framed ? kFrameMargin : 0;
    const QSize screen(frame.screen.Width() + margin, shownHeight(frame) + margin);
    const int strip = look.captions ? kCaptionStripHeight : 0;
    return QSize(screen.width(), screen.height() + strip) * look.zoom;
}

render::CLumImage ComposePicture(const document::Frame& frame, bool blinkPhase,
                                 const RecordingLook& look, const render::CLumImage& strip) {
    const render::CLumImage shown = ShownScreen(frame, blinkPhase);
    const render::CLumImage screen =
        screenshot::Enlarged(look.framed ? screenshot::ComposeScreenshot(shown) : shown, look.zoom);
    if (!look.captions) {
        return screen;
    }
    render::CLumImage picture;
    if (screen.IsEmpty() ||
        !picture.Create(screen.Width(), screen.Height() + kCaptionStripHeight * look.zoom)) {
        return picture;
    }
    render::CopyPixels(picture, 0, 0, screen, 0, 0, screen.Width(), screen.Height());
    render::CopyPixels(picture, 0, screen.Height(), strip, 0, 0, strip.Width(), strip.Height());
    return picture;
}

render::CLumImage CaptionStrip(const QString& text, int width, int zoom) {
    render::CLumImage strip;
    if (!strip.Create(width, kCaptionStripHeight * zoom) || text.isEmpty()) {
        return strip;
    }
    QImage image(width, strip.Height(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QFont font;
    font.setPixelSize(kCaptionPixels * zoom);
    const QFontMetrics metrics(font);
    const QString shown =
        metrics.elidedText(text, Qt::ElideLeft, std::max(0, width - 2 * kCaptionPadding * zoom));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, shown);
    painter.end();
    for (int y = 0; y < strip.Height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::transform(row, row + width, strip.Row(y), [](QRgb pixel) { return pixel & RGB_MASK; });
    }
    return strip;
}

} // namespace ombrix::recording
