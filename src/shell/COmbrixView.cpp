#include "shell/COmbrixView.h"

#include "document/DocumentHost.h"
#include "document/SessionWorker.h"
#include "link/DeviceDirectory.h"
#include "model/ComputerKeys.h"
#include "settings/ApplicationSettings.h"
#include "shell/TextElision.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ombrix::shell {

namespace {

const QColor kBackground(0x10, 0x14, 0x18);
const QColor kSearchingText(0xc8, 0xd2, 0xda);
const QColor kSearchingLink(0x7f, 0xc4, 0xff);
constexpr int kTextMargin = 24;
// A ring is drawn this far outside its key, with a pen this wide; what it
// covers is drawn again when it changes.
constexpr int kRingGap = 4;
constexpr int kRingPen = 16;
constexpr int kRingArea = 32;
// Letters take this many eighths of the band or notice they are in.
constexpr int kLetterEighths = 5;
constexpr int kCaptionMinPixels = 12;
const QColor kCaptionBackground(0, 0, 0, 190);
// A lost instrument's last screen: dimmed, with its mark in letters of this
// share of the screen's height, within bounds.
const QColor kLostShade(0, 0, 0, 150);
constexpr int kLostLetterShare = 8;
constexpr int kLostMaxPixels = 48;
// A notice stays this long, this high, this far above the view's bottom edge:
// it is for the presenter, not the audience.
constexpr std::chrono::milliseconds kNoticeTime{4000};
constexpr int kNoticeHeight = 34;
constexpr int kNoticeMargin = 12;

QFont boldFont(const QFont& base, int pixels) {
    QFont font = base;
    font.setPixelSize(std::max(pixels, kCaptionMinPixels));
    font.setBold(true);
    return font;
}

// White letters on a dark rounded label of `height`, centred on `centre`,
// no wider than `widest`; the text elided to fit.
void drawLabel(QPainter& painter, const QString& text, QPoint centre, int height, int widest) {
    const QFont font = boldFont(painter.font(), height * kLetterEighths / 8);
    const QFontMetrics metrics(font);
    const int pad = font.pixelSize();
    const QString shown = ElideKeepingName(text, metrics, std::max(widest - pad, 0));
    const QSize size(std::min(metrics.horizontalAdvance(shown) + pad, widest), height);
    const QRect area(centre - QPoint(size.width() / 2, size.height() / 2), size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCaptionBackground);
    painter.drawRoundedRect(area, height / 2.0, height / 2.0);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignCenter, shown);
    painter.restore();
}

model::MouseButton mouseButtonOf(Qt::MouseButton button) {
    return button == Qt::RightButton ? model::MouseButton::Right : model::MouseButton::Left;
}

} // namespace

QString SearchingText() {
    // Rich text takes the link's colour from its own markup, not the palette.
    return QObject::tr("<p>Looking for an instrument\u2026</p>"
                       "<p>Plug it in and tick it in <a href=\"instruments\" "
                       "style=\"color: %2\">Instruments\u2026</a> (View menu) to use it on "
                       "USB. Instruments are also found as *.sock sockets in %1.</p>")
        .arg(QString::fromStdString(link::DeviceDirectory().string()).toHtmlEscaped(),
             kSearchingLink.name());
}

COmbrixView::COmbrixView(document::DocumentHost& document,
                         const settings::ApplicationSettings& settings, QWidget* parent)
    : QWidget(parent), document_(document), settings_(settings),
      timers_([this](KeyTimer timer) { keys_.OnTimer(timer); }),
      keys_(timers_,
            KeyHandler::Calls{
                [this] { return document_.CanSendKeys(); },
                [this](std::uint32_t code) { return document_.StoreKey(code); },
                [this] { emit keyNotSent(); },
                [this](const QStringList& keys, bool hold) { emit historyEntry(keys, hold); },
                [this] { ringsChanged(); },
                [this] { captionChanged(); },
                [this] { return std::chrono::milliseconds(settings_.View().HighlightPeriod()); },
            }) {
    setObjectName(QStringLiteral("instrumentView"));
    setAccessibleName(tr("Instrument screen"));
    // Every pixel is painted: the window's background is never drawn first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumSize);
    // The presentation cursor follows the buttons even while none is held.
    setMouseTracking(true);
    createSearchingLabel();
    updateCursor(Qt::NoButton);
    noticeTimer_.setSingleShot(true);
    noticeTimer_.setInterval(kNoticeTime);
    connect(&noticeTimer_, &QTimer::timeout, this, [this] {
        notice_.clear();
        update();
    });
}

// In compact mode the window is a strip without the view.
void COmbrixView::SetDisplayMode(DisplayMode mode) {
    mode_ = mode;
    setMinimumSize(mode == DisplayMode::Compact ? QSize(0, 0) : kMinimumSize);
    relayout();
}

void COmbrixView::ModelChanged() {
    keys_.SetLayout(document_.KeyboardLayout());
    relayout();
}

void COmbrixView::KeyDown(int qtKey, bool ctrl) {
    keys_.PressByComputerKey(model::virtualKeyFromQtKey(qtKey), ctrl);
}

void COmbrixView::KeyUp() {
    keys_.Release();
}

void COmbrixView::AbandonKeys() {
    keys_.AbandonPress();
}

void COmbrixView::ClickBarButton(std::size_t position, model::MouseButton button) {
    keys_.ClickBarButton(position, button);
}

void COmbrixView::FrameChanged() {
    updateLost();
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
        update(ScreenRect());
    }
}

void COmbrixView::Tick() {
    FrameChanged();
}

void COmbrixView::ScalingChanged() {
    relayout();
}

void COmbrixView::SetReservedMargins(const QMargins& margins) {
    if (margins != reserved_) {
        reserved_ = margins;
        relayout();
    }
}

void COmbrixView::ShowNotice(const QString& text) {
    notice_ = text;
    noticeTimer_.start();
    update();
}

// The last screen of an instrument that went away shows as such, and its
// icons stop blinking, until the instrument is back.
void COmbrixView::updateLost() {
    const bool lost =
        document_.frame() != nullptr && document_.GetLinkState() != document::LinkState::Connected;
    if (lost != lost_) {
        lost_ = lost;
        screenKey_.reset();
        update(ScreenRect());
    }
}

// Where the screen is shown alone, a band under it holds the caption.
int COmbrixView::captionBand() const {
    const bool screenAlone =
        mode_ == DisplayMode::NormalWithoutKeyboard || mode_ == DisplayMode::Fullscreen ||
        (mode_ == DisplayMode::NormalWithKeyboard && document_.PanelPicture().IsEmpty());
    if (!modelLoaded() || !screenAlone) {
        return 0;
    }
    return CaptionBandHeight(mode_ == DisplayMode::Fullscreen, height());
}

QSize COmbrixView::ContentSize() const {
    return size() - QSize(0, captionBand());
}

bool COmbrixView::modelLoaded() const {
    return document_.HasModel();
}

QSize COmbrixView::devicePixels(QSize logical) const {
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}

// The front panel needs its picture; without one the screen is shown alone
// rather than not at all.
void COmbrixView::relayout() {
    searching_->setVisible(!modelLoaded());
    layout_.reset();
    laidOutScreen_ = {};
    if (modelLoaded()) {
        const model::InstrumentModel& model = document_.Model();
        const render::CLumImage& picture = document_.PanelPicture();
        const QSize pictureSize(picture.Width(), picture.Height());
        const bool sharp = settings_.View().SharpPixels();
        laidOutScreen_ = shownScreen(document_.frame().get());
        if (mode_ == DisplayMode::NormalWithKeyboard && !picture.IsEmpty()) {
            layout_ = sharp ? LayoutSharpPanel(rect(), pictureSize, model.display, laidOutScreen_,
                                               devicePixelRatioF())
                            : LayoutWithPanel(rect(), pictureSize, model.display);
        } else {
            const QRect area = rect().marginsRemoved(reserved_).adjusted(0, 0, 0, -captionBand());
            layout_ = sharp ? LayoutSharpScreen(area, laidOutScreen_, devicePixelRatioF())
                            : LayoutScreenOnly(area, laidOutScreen_);
        }
    }
    panel_ = {};
    screenKey_.reset();
    ringAreas_.clear();
    update();
}

QSize COmbrixView::shownScreen(const document::Frame* frame) const {
    const model::InstrumentModel& model = document_.Model();
    if (frame == nullptr) {
        return {model.displayWidth, model.displayHeight + std::max(model.iconsPanelHeight, 0)};
    }
    const render::ScreenGeometry& geometry = frame->geometry;
    return {geometry.displayWidth,
            render::DisplayTop(geometry, frame->bitsPerPixel) + geometry.displayHeight};
}

// A lost screen shows its blinking icons steadily.
COmbrixView::ScreenKey COmbrixView::keyOf(const document::Frame& frame) const {
    const bool blink = (lost_ || document_.BlinkPhase()) && !frame.blinkPanel.IsEmpty();
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
    // Blocks only when enlarging: shrunk without smoothing, whole rows would go.
    const bool blocks = settings_.View().SharpPixels() && key.size.width() >= shown.width() &&
                        key.size.height() >= shown.height();
    QPainter painter(&screen_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !blocks);
    painter.drawImage(QRect(QPoint(0, 0), key.size), source.AsQImage(), QRect(QPoint(0, 0), shown));
    painter.end();
    screen_.setDevicePixelRatio(devicePixelRatioF());
    screenKey_ = key;
}

bool COmbrixView::showsPanel() const {
    return layout_ && !layout_->panelSize.isEmpty();
}

// The picture's own display is painted over in the colour around it before
// the stretch: the screen covers that place, and what the smooth stretch
// blends across its edge, or what a screen at a whole zoom leaves free, is
// then the panel's colour rather than a light line.
void COmbrixView::drawPanel(QPainter& painter) {
    if (!showsPanel()) {
        return;
    }
    if (panel_.isNull()) {
        QImage picture = document_.PanelPicture().AsQImage().convertToFormat(QImage::Format_RGB32);
        const base::Rect& display = document_.Model().display;
        QPainter bezel(&picture);
        bezel.fillRect(QRect(display.left, display.top, static_cast<int>(display.width()),
                             static_cast<int>(display.height())),
                       bezelColour());
        bezel.end();
        panel_ = picture.scaled(devicePixels(layout_->panelSize), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
        panel_.setDevicePixelRatio(devicePixelRatioF());
    }
    painter.drawImage(layout_->panelOrigin, panel_);
}

// The picture's colour just left of its display, or right of it where the
// display starts at the picture's edge.
QColor COmbrixView::bezelColour() const {
    const render::CLumImage& picture = document_.PanelPicture();
    const base::Rect& display = document_.Model().display;
    const int x = display.left > 0 ? display.left - 1 : display.right;
    const int y = static_cast<int>((std::int64_t{display.top} + display.bottom) / 2);
    return QColor::fromRgb(picture.Pixel(std::clamp(x, 0, picture.Width() - 1),
                                         std::clamp(y, 0, picture.Height() - 1)));
}

void COmbrixView::drawLostMark(QPainter& painter) const {
    const QRect screen = ScreenRect();
    if (!lost_ || screen.isEmpty()) {
        return;
    }
    painter.fillRect(screen, kLostShade);
    painter.save();
    painter.setFont(
        boldFont(painter.font(), std::min(screen.height() / kLostLetterShare, kLostMaxPixels)));
    painter.setPen(Qt::white);
    painter.drawText(screen, Qt::AlignCenter | Qt::TextWordWrap, tr("Instrument lost"));
    painter.restore();
}

// Over the bottom of the view, where the audience's eyes are not.
void COmbrixView::drawNotice(QPainter& painter) const {
    if (notice_.isEmpty()) {
        return;
    }
    const QRect free = rect().marginsRemoved(reserved_);
    drawLabel(painter, notice_,
              QPoint(free.center().x(), free.bottom() - kNoticeMargin - kNoticeHeight / 2),
              kNoticeHeight, free.width() - 2 * kNoticeMargin);
}

// A label, so its link can be clicked, reached with the keyboard and read out.
void COmbrixView::createSearchingLabel() {
    searching_ = new QLabel(SearchingText(), this);
    searching_->setObjectName(QStringLiteral("searchingText"));
    searching_->setAccessibleName(tr("Looking for an instrument"));
    searching_->setAlignment(Qt::AlignCenter);
    searching_->setWordWrap(true);
    searching_->setTextFormat(Qt::RichText);
    searching_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QPalette colours = searching_->palette();
    colours.setColor(QPalette::WindowText, kSearchingText);
    searching_->setPalette(colours);
    connect(searching_, &QLabel::linkActivated, this, [this] { emit instrumentsRequested(); });
}

// Around the front panel, the colour of the picture's corner, so the panel
// stands in its own surroundings rather than framed by another colour.
QColor COmbrixView::background() const {
    const render::CLumImage& picture = document_.PanelPicture();
    if (mode_ == DisplayMode::NormalWithKeyboard && modelLoaded() && !picture.IsEmpty()) {
        return QColor::fromRgb(picture.Pixel(0, 0));
    }
    return kBackground;
}

std::vector<std::pair<QRect, QColor>> COmbrixView::rings() const {
    std::vector<std::pair<QRect, QColor>> shown;
    if (!showsPanel()) {
        return shown;
    }
    const std::vector<model::KeyButton>& buttons = keys_.Layout().buttons();
    const ButtonsHighlight& highlights = keys_.Highlights();
    for (std::size_t i = 0; i < buttons.size() && i < highlights.Count(); ++i) {
        if (!highlights.ShowsRing(i)) {
            continue;
        }
        const base::Rect& key = buttons[i].rect;
        const QPoint topLeft = PictureToWindow(QPoint(key.left, key.top), *layout_);
        const QPoint bottomRight = PictureToWindow(QPoint(key.right, key.bottom), *layout_);
        const QColor colour = QColor::fromRgb(base::ToPixel(*highlights.At(i).colour));
        shown.emplace_back(
            QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())),
            colour);
    }
    return shown;
}

// Drawn in window pixels with smooth edges, so they stay round and sharp at
// any zoom.
void COmbrixView::drawRings(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const auto& [key, colour] : rings()) {
        painter.setPen(QPen(colour, kRingPen));
        painter.drawEllipse(key.adjusted(-kRingGap, -kRingGap, kRingGap, kRingGap));
    }
    painter.restore();
}

// Without the front panel the audience sees no ring: the names of the keys
// of a sent code show in the band under the screen instead, never over it.
void COmbrixView::drawCaption(QPainter& painter) const {
    const QRect band = CaptionRect();
    if (keys_.Caption().isEmpty() || band.isEmpty()) {
        return;
    }
    drawLabel(painter, keys_.Caption(), band.center(), band.height() * 7 / 8, band.width());
}

void COmbrixView::ringsChanged() {
    std::vector<QRect> areas;
    for (const auto& ring : rings()) {
        areas.push_back(ring.first.adjusted(-kRingArea, -kRingArea, kRingArea, kRingArea));
    }
    for (const QRect& area : ringAreas_) {
        update(area);
    }
    for (const QRect& area : areas) {
        update(area);
    }
    ringAreas_ = std::move(areas);
}

void COmbrixView::captionChanged() {
    update(CaptionRect());
}

void COmbrixView::updateCursor(Qt::MouseButtons buttons) {
    const CursorState state =
        buttons.testFlag(Qt::LeftButton) ? CursorState::Pressed : CursorState::Normal;
    cursor_.Set(*this, CursorResourceFor(settings_.Cursor().Size(), state));
}

QRect COmbrixView::ScreenRect() const {
    return layout_ ? QRect(layout_->screenOrigin, layout_->screenSize) : QRect();
}

QRect COmbrixView::CaptionRect() const {
    const QRect screen = ScreenRect();
    const int band = captionBand();
    if (band == 0 || screen.isEmpty() || showsPanel()) {
        return {};
    }
    return {screen.left(), screen.bottom() + 1, screen.width(), band};
}

// Drawn into the window's backing store, which is in device pixels and reaches
// the screen in one copy; the kept images are drawn without scaling.
// Before a model is loaded, the searching label says where instruments are
// looked for.
void COmbrixView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background());
    if (modelLoaded() && layout_) {
        drawPanel(painter);
        if (const std::shared_ptr<const document::Frame> frame = document_.frame()) {
            updateScreen(*frame);
            painter.drawImage(layout_->screenOrigin, screen_);
            drawLostMark(painter);
        }
        drawRings(painter);
        drawCaption(painter);
    }
    drawNotice(painter);
}

void COmbrixView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    searching_->setGeometry(rect().adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin));
    relayout();
}

// Keys on the front panel are pressed with either button, and the pointer
// shows it; in fullscreen the right button opens the menu instead.
void COmbrixView::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    const bool pressesKey = (button == Qt::LeftButton || button == Qt::RightButton) &&
                            mode_ == DisplayMode::NormalWithKeyboard && showsPanel();
    updateCursor(pressesKey ? Qt::MouseButtons(Qt::LeftButton) : event->buttons());
    if (button == Qt::RightButton && mode_ == DisplayMode::Fullscreen) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (pressesKey) {
        keys_.PressAtPicture(WindowToPicture(event->position().toPoint(), *layout_),
                             mouseButtonOf(button));
        return;
    }
    QWidget::mousePressEvent(event);
}

void COmbrixView::mouseReleaseEvent(QMouseEvent* event) {
    updateCursor(event->buttons());
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        keys_.Release();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void COmbrixView::mouseMoveEvent(QMouseEvent* event) {
    updateCursor(event->buttons());
    QWidget::mouseMoveEvent(event);
}

} // namespace ombrix::shell
