#include "shell/FrameGeometry.h"

#include "shell/COmbrixView.h"
#include "shell/WindowPlacement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QScreen>
#include <QToolBar>
#include <QWindow>
#include <algorithm>

namespace ombrix::shell {

namespace {

// A resize is over when the window has not changed for this long; its shape
// is put right then. X11 window managers own interactive resizing and give a
// program no say while the border moves.
constexpr std::chrono::milliseconds kResizeSettle{150};
// A window manager frames a window some time after it was placed (after it
// left fullscreen, for one), sometimes without moving it; for this long after
// each placement a new frame places the window again.
constexpr std::chrono::milliseconds kFrameCheck{500};
// The menu bar's items are measured with this much room, as a menu needs.
constexpr int kMenuExtraWidth = 16;
// A window manager that undoes a correction this often in a row keeps its size.
constexpr int kMaxRefusals = 2;
// Before a model is loaded the first start's view is a square the searching
// text reads well in; the screen alone is shown at this zoom by nature.
constexpr QSize kFirstStartView{400, 400};
constexpr int kNaturalScreenZoom = 4;

base::Rect rectOf(const QRect& rect) {
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

QMargins marginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

bool isNormalMode(DisplayMode mode) {
    return mode == DisplayMode::NormalWithKeyboard || mode == DisplayMode::NormalWithoutKeyboard;
}

QScreen* screenUnderMouse() {
    std::vector<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        monitors.push_back(screen->geometry());
    }
    const QRect nearest = MonitorRectAt(QCursor::pos(), monitors);
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry() == nearest) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

FrameGeometry::FrameGeometry(Parts parts)
    : parts_(std::move(parts)), firstStart_(!parts_.settings.MainFrame().HasWindowRect()),
      aspectHints_(parts_.window) {
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(kResizeSettle);
    QObject::connect(&settleTimer_, &QTimer::timeout, [this] { settle(); });
    frameCheck_.setSingleShot(true);
    frameCheck_.setInterval(kFrameCheck);
    QObject::connect(&frameCheck_, &QTimer::timeout, [this] {
        if (tracking_ && !reframed()) {
            framePending_ = false;
        }
    });
}

void FrameGeometry::StartTracking() {
    tracking_ = true;
    settled_ = windowRect();
    remember();
    updateAspectHints();
}

void FrameGeometry::Stop() {
    tracking_ = false;
    settleTimer_.stop();
    frameCheck_.stop();
}

double FrameGeometry::ratio() const {
    return ViewAspectRatio(parts_.mode(), parts_.aspect());
}

QSize FrameGeometry::decoration() const {
    return parts_.window.frameGeometry().size() - parts_.window.size();
}

// The window's size around the view's content (the caption band counts as
// a bar), with the bars laid out as they are now.
QSize FrameGeometry::measureOverhead() {
    parts_.window.layout()->activate();
    return parts_.window.frameGeometry().size() - parts_.view.ContentSize();
}

base::Rect FrameGeometry::windowRect() const {
    return rectOf(parts_.window.frameGeometry());
}

// The stored rectangle, with a sane size and room for a view.
base::Rect FrameGeometry::regularRect() {
    base::Rect rect = parts_.settings.MainFrame().WindowRect();
    const QSize size = WindowSizeOf(rect);
    rect.right = rect.left + size.width();
    rect.bottom = std::max(rect.top + size.height(), rect.top + measureOverhead().height() +
                                                         COmbrixView::kMinimumSize.height());
    return rect;
}

// The work area of the monitor the window's top-left corner is on (or is
// nearest to): a window too large for it grows from there.
QRect FrameGeometry::workArea(const base::Rect& rect) const {
    std::vector<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        monitors.push_back(screen->geometry());
    }
    const QRect monitor = MonitorRectAt(QPoint(rect.left, rect.top), monitors);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry() == monitor) {
            return screen->availableGeometry();
        }
    }
    return monitor;
}

// The view at the model's own scale: the front panel's picture, or the screen
// alone at a zoom that reads well from a distance.
QSize FrameGeometry::naturalView() const {
    const AspectSource source = parts_.aspect();
    if (!source.picture) {
        return kFirstStartView;
    }
    if (parts_.mode() != DisplayMode::NormalWithoutKeyboard) {
        return *source.picture;
    }
    return QSize(source.displayWidth, source.displayHeight + std::max(source.iconsPanelHeight, 0)) *
           kNaturalScreenZoom;
}

// Without a stored rectangle the window is centred on the primary monitor at
// its natural size.
void FrameGeometry::sizeFirstStart(QSize overhead) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!firstStart_ || primary == nullptr) {
        return;
    }
    settings::MainFrameSettings frame = parts_.settings.MainFrame();
    frame.SetWindowRect(FirstStartWindowRect(naturalView(), overhead, primary->availableGeometry(),
                                             parts_.barsRoom()));
    parts_.settings.SetMainFrame(frame);
}

base::Rect FrameGeometry::StartRect() {
    sizeFirstStart(measureOverhead());
    return regularRect();
}

void FrameGeometry::Apply() {
    if (!parts_.window.isVisible()) {
        return;
    }
    const DisplayMode mode = parts_.mode();
    settleTimer_.stop();
    if (mode == DisplayMode::Fullscreen) {
        coverMonitor();
        return;
    }
    const QScopedValueRollback guard(placing_, true);
    if (parts_.window.windowState() != Qt::WindowNoState) {
        parts_.window.showNormal();
    }
    parts_.window.menuBar()->show();
    setLimits(mode);
    ModeGeometry geometry;
    geometry.overhead = measureOverhead();
    // Sized so until the first model has been shown, with the bars as they are.
    sizeFirstStart(geometry.overhead);
    firstStart_ = firstStart_ && !parts_.aspect().picture.has_value();
    geometry.regular = regularRect();
    geometry.compactWidth = static_cast<int>(parts_.settings.MainFrame().CompactWindowWidth());
    geometry.ratio = ratio();
    const base::Rect wanted = ComputeModeWindowRect(mode, geometry);
    place(ClampIntoWorkArea(wanted, workArea(wanted), geometry.overhead, isNormalMode(mode)));
    remember();
    updateAspectHints();
}

// The window manager keeps the view's shape while an edge is dragged, in the
// normal modes only.
void FrameGeometry::updateAspectHints() {
    const DisplayMode mode = parts_.mode();
    if (!tracking_ || !isNormalMode(mode) || parts_.window.windowState() != Qt::WindowNoState) {
        aspectHints_.Set(std::nullopt);
        return;
    }
    aspectHints_.Set(AspectHint{AspectHintRange(ratio()), measureOverhead() - decoration()});
}

// The platform's own full screen on the monitor under the mouse, with the menu
// bar out of sight: the view covers the monitor exactly. The window is given
// the monitor's rectangle first: without a window manager nobody else would.
void FrameGeometry::coverMonitor() {
    const QScopedValueRollback guard(placing_, true);
    aspectHints_.Set(std::nullopt);
    QScreen* screen = screenUnderMouse();
    parts_.window.setMinimumSize(0, 0);
    parts_.window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    parts_.window.menuBar()->hide();
    if (QWindow* handle = parts_.window.windowHandle()) {
        handle->setScreen(screen);
    }
    ModeGeometry geometry;
    geometry.monitor = rectOf(screen->geometry());
    const base::Rect covered = ComputeModeWindowRect(DisplayMode::Fullscreen, geometry);
    parts_.window.setGeometry(QRect(covered.left, covered.top, static_cast<int>(covered.width()),
                                    static_cast<int>(covered.height())));
    parts_.window.showFullScreen();
}

// Compact mode: no wider than 100 pixels beyond its least width, fixed
// height. The normal modes: no larger than the screen with the view at its
// ratio. Qt takes the limits for the inside of the window.
void FrameGeometry::setLimits(DisplayMode mode) {
    QMainWindow& window = parts_.window;
    const QSize deco = decoration();
    if (mode == DisplayMode::Compact) {
        const CompactLimits limits = CompactWindowLimits(compactContent(), deco);
        window.setMinimumSize(limits.minimum - deco);
        window.setMaximumSize(limits.maximum - deco);
        return;
    }
    window.setMinimumSize(0, 0);
    const QScreen* screen = window.screen();
    const QSize largest = screen != nullptr ? screen->availableGeometry().size()
                                            : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.setMaximumSize(AspectMaximum(largest, measureOverhead().height(), ratio()) - deco);
}

// The menu bar's items and the main toolbar, side by side in width, one above
// the other in height.
QSize FrameGeometry::compactContent() {
    const QMenuBar& menu = *parts_.window.menuBar();
    int menuWidth = kMenuExtraWidth;
    for (QAction* item : menu.actions()) {
        menuWidth += menu.actionGeometry(item).width();
    }
    const QSize toolbar =
        parts_.mainToolbar.isVisible() ? parts_.mainToolbar.sizeHint() : QSize(0, 0);
    parts_.window.layout()->activate();
    return {std::max(toolbar.width(), menuWidth), menu.sizeHint().height() + toolbar.height()};
}

// `rect` is the whole window's; Qt takes the inside, in one request.
void FrameGeometry::place(const base::Rect& rect) {
    const QScopedValueRollback guard(placing_, true);
    const QMargins margins = marginsOf(parts_.window);
    parts_.window.setGeometry(
        QRect(rect.left + margins.left(), rect.top + margins.top(),
              static_cast<int>(rect.width()) - margins.left() - margins.right(),
              static_cast<int>(rect.height()) - margins.top() - margins.bottom()));
    placedMargins_ = margins;
    settled_ = windowRect();
    framePending_ = true;
    frameCheck_.start();
}

// The window manager framed the window after it was placed: placed again, so
// the frame, not the inside, has the size asked for and the view, now lower by
// the caption, its shape. Only for a while after a placement: a frame that
// changes later (another monitor, a tiling window manager) is the user's or
// the system's doing.
bool FrameGeometry::reframed() {
    if (!framePending_ || parts_.window.windowState() != Qt::WindowNoState ||
        parts_.mode() == DisplayMode::Fullscreen || marginsOf(parts_.window) == placedMargins_) {
        return false;
    }
    Apply();
    return true;
}

// Only the normal modes keep a ratio, so a bar shown in fullscreen does not
// squeeze the window into the view's height; the compact strip takes the
// bar's new height.
void FrameGeometry::BarsChanged() {
    const DisplayMode mode = parts_.mode();
    if (!tracking_ || parts_.window.windowState() != Qt::WindowNoState) {
        return;
    }
    if (mode == DisplayMode::Compact) {
        Apply();
        return;
    }
    if (!isNormalMode(mode)) {
        return;
    }
    setLimits(mode);
    const QSize around = measureOverhead();
    if (const std::optional<int> width = CorrectedViewWidth(parts_.view.ContentSize(), ratio())) {
        base::Rect rect = windowRect();
        rect.right = rect.left + *width + around.width();
        place(rect);
        remember();
    }
    updateAspectHints();
}

void FrameGeometry::WindowChanged() {
    if (!tracking_ || placing_ || reframed()) {
        return;
    }
    remember();
    if (parts_.window.windowState() == Qt::WindowNoState &&
        parts_.mode() != DisplayMode::Fullscreen) {
        settleTimer_.start();
    }
}

// A resize that has come to rest, its pointer let go, is put in shape. A
// window manager applies the size of a drag when the button goes up, over any
// correction asked for while it was held; one that undoes the correction
// again and again keeps its size.
void FrameGeometry::settle() {
    if (X11PointerButtonsDown().value_or(QGuiApplication::mouseButtons() != Qt::NoButton)) {
        settleTimer_.start();
        return;
    }
    const base::Rect current = windowRect();
    if (current == settled_ || parts_.window.windowState() != Qt::WindowNoState) {
        settled_ = current;
        return;
    }
    const base::Rect target = shaped(current);
    refusals_ = current == correctedFrom_ ? refusals_ + 1 : 0;
    settled_ = current;
    if (target == current || refusals_ >= kMaxRefusals) {
        return;
    }
    correctedFrom_ = current;
    place(target);
    remember();
}

// The compact strip keeps its limits. In the normal modes the side that moved
// stays and the other follows the ratio (the edge table of a drag); after a
// resize that moved no single side, the width follows the height.
base::Rect FrameGeometry::shaped(const base::Rect& current) {
    if (parts_.mode() == DisplayMode::Compact) {
        return withinLimits(current);
    }
    const QSize around = measureOverhead();
    if (const std::optional<SizingEdge> edge = DraggedEdge(settled_, current)) {
        return AdjustSizing(*edge, current, around, ratio());
    }
    const QSize view(static_cast<int>(current.width()) - around.width(),
                     static_cast<int>(current.height()) - around.height());
    base::Rect target = current;
    if (const std::optional<int> width = CorrectedViewWidth(view, ratio())) {
        target.right = target.left + *width + around.width();
    }
    return target;
}

// The window's limits kept where nothing else keeps them (no window manager).
base::Rect FrameGeometry::withinLimits(const base::Rect& rect) const {
    const QSize deco = decoration();
    const QSize least = parts_.window.minimumSize() + deco;
    const QSize most = parts_.window.maximumSize() + deco;
    base::Rect kept = rect;
    kept.right = kept.left + static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                 rect.width(), least.width(), most.width()));
    kept.bottom = kept.top + static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                 rect.height(), least.height(), most.height()));
    return kept;
}

// The normal modes remember the window's rectangle, compact mode its width;
// fullscreen, a maximised window and anything before the first placement
// remember nothing.
void FrameGeometry::remember() {
    const DisplayMode mode = parts_.mode();
    if (!tracking_ || mode == DisplayMode::Fullscreen ||
        parts_.window.windowState() != Qt::WindowNoState) {
        return;
    }
    settings::MainFrameSettings frame = parts_.settings.MainFrame();
    const base::Rect rect = windowRect();
    if (mode == DisplayMode::Compact) {
        frame.SetCompactWindowWidth(static_cast<std::uint32_t>(withinLimits(rect).width()));
    } else {
        frame.SetWindowRect(rect);
    }
    parts_.settings.SetMainFrame(frame);
}

} // namespace ombrix::shell
