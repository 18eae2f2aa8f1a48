#include "shell/COmbrixView.h"

#include "document/DocumentHost.h"
#include "link/DeviceDirectory.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace ombrix::shell {

namespace {

const QColor kBackground(0x10, 0x14, 0x18);
const QColor kSearchingText(0xc8, 0xd2, 0xda);
constexpr int kTextMargin = 24;

} // namespace

QString SearchingText() {
    return QObject::tr("Looking for an instrument\u2026\n"
                       "Instruments are found as *.sock sockets in %1 and on USB for the "
                       "vendor:product pairs listed in OMBRIX_USB_IDS.")
        .arg(QString::fromStdString(link::DeviceDirectory().string()));
}

COmbrixView::COmbrixView(document::DocumentHost& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setObjectName(QStringLiteral("instrumentView"));
    setAccessibleName(tr("Instrument screen"));
    // Every pixel is painted: the window's background is never drawn first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(64, 48);
}

void COmbrixView::SetDisplayMode(DisplayMode mode) {
    mode_ = mode;
    relayout();
}

void COmbrixView::ModelChanged() {
    relayout();
}

void COmbrixView::FrameChanged() {
    const std::shared_ptr<const document::Frame> frame = document_.frame();
    if (!frame || !layout_) {
        return;
    }
    if (laidOutScreen_.isValid() && shownScreen(frame.get()) != laidOutScreen_) {
        relayout(); // the screen turned out deeper or shallower than laid out
        return;
    }
    if (keyOf(*frame) != screenKey_) {
        updateScreen(*frame);
        update(screenRect());
    }
}

void COmbrixView::Tick() {
    FrameChanged();
}

bool COmbrixView::modelLoaded() const {
    return !document_.doc().Model().model().hardwareName.isEmpty();
}

QSize COmbrixView::devicePixels(QSize logical) const {
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}

// The front panel needs its picture; without one the screen is shown alone
// rather than not at all.
void COmbrixView::relayout() {
    layout_.reset();
    laidOutScreen_ = {};
    if (modelLoaded()) {
        const model::InstrumentModel& model = document_.doc().Model().model();
        const render::CLumImage& picture = document_.doc().PanelPicture();
        const QSize pictureSize(picture.Width(), picture.Height());
        if (mode_ == DisplayMode::NormalWithKeyboard && !picture.IsEmpty()) {
            layout_ = LayoutWithPanel(rect(), pictureSize, model.display);
        } else {
            laidOutScreen_ = shownScreen(document_.frame().get());
            layout_ = LayoutScreenOnly(rect(), laidOutScreen_);
        }
    }
    panel_ = {};
    screenKey_.reset();
    update();
}

QSize COmbrixView::shownScreen(const document::Frame* frame) const {
    const model::InstrumentModel& model = document_.doc().Model().model();
    if (frame == nullptr) {
        return {model.displayWidth, model.displayHeight + std::max(model.iconsPanelHeight, 0)};
    }
    const render::ScreenGeometry& geometry = frame->geometry;
    return {geometry.displayWidth,
            render::DisplayTop(geometry, frame->bitsPerPixel) + geometry.displayHeight};
}

COmbrixView::ScreenKey COmbrixView::keyOf(const document::Frame& frame) const {
    const bool blink = document_.doc().BlinkPhase() && !frame.blinkPanel.IsEmpty();
    return ScreenKey{frame.generation, blink, devicePixels(layout_->screenSize)};
}

void COmbrixView::updateScreen(const document::Frame& frame) {
    const ScreenKey key = keyOf(frame);
    if (key == screenKey_ || key.size.isEmpty()) {
        return;
    }
    if (screen_.size() != key.size) {
        screen_ = QImage(key.size, QImage::Format_RGB32);
    }
    screen_.setDevicePixelRatio(1.0);
    const render::CLumImage blinking = key.blink ? frame.withBlinkPanel() : render::CLumImage();
    const render::CLumImage& source = key.blink ? blinking : frame.screen;
    // Only the rows shown: a deeper screen's unused rows below the display
    // would squash the picture.
    const QSize shown = shownScreen(&frame);
    QPainter painter(&screen_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), key.size), source.AsQImage(), QRect(QPoint(0, 0), shown));
    painter.end();
    screen_.setDevicePixelRatio(devicePixelRatioF());
    screenKey_ = key;
}

void COmbrixView::drawPanel(QPainter& painter) {
    const render::CLumImage& picture = document_.doc().PanelPicture();
    if (mode_ != DisplayMode::NormalWithKeyboard || picture.IsEmpty()) {
        return;
    }
    if (panel_.isNull()) {
        panel_ = picture.AsQImage().scaled(devicePixels(layout_->panelSize), Qt::IgnoreAspectRatio,
                                           Qt::SmoothTransformation);
        panel_.setDevicePixelRatio(devicePixelRatioF());
    }
    painter.drawImage(layout_->panelOrigin, panel_);
}

void COmbrixView::drawSearching(QPainter& painter) {
    painter.setPen(kSearchingText);
    const QRect area = rect().adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, SearchingText());
}

// Around the front panel, the colour of the picture's corner, so the panel
// stands in its own surroundings rather than framed by another colour.
QColor COmbrixView::background() const {
    const render::CLumImage& picture = document_.doc().PanelPicture();
    if (mode_ == DisplayMode::NormalWithKeyboard && modelLoaded() && !picture.IsEmpty()) {
        return QColor::fromRgb(picture.Pixel(0, 0));
    }
    return kBackground;
}

QRect COmbrixView::screenRect() const {
    return layout_ ? QRect(layout_->screenOrigin, layout_->screenSize) : QRect();
}

// Drawn into the window's backing store, which is in device pixels and reaches
// the screen in one copy; the kept images are drawn without scaling.
void COmbrixView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background());
    if (!modelLoaded()) {
        drawSearching(painter);
        return;
    }
    if (!layout_) {
        return;
    }
    drawPanel(painter);
    if (const std::shared_ptr<const document::Frame> frame = document_.frame()) {
        updateScreen(*frame);
        painter.drawImage(layout_->screenOrigin, screen_);
    }
}

void COmbrixView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void COmbrixView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && mode_ == DisplayMode::Fullscreen) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace ombrix::shell
