#include "shell/FrameGeometry.h"

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

// A drag ends when the window has not changed for this long; the aspect is
// put right then, so the program does not pull at a border the user holds.
constexpr std::chrono::milliseconds kDragSettle{150};
// A window manager frames a window some time after it was placed (after it
// left fullscreen, for one), often without moving it; the frame is looked at
// again this long after each placement.
constexpr std::chrono::milliseconds kFrameCheck{300};
// The menu bar's items are measured with this much room, as a menu needs.
constexpr int kMenuExtraWidth = 16;
// The least view height a stored rectangle gives the normal modes.
constexpr int kLeastViewHeight = 48;

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

FrameGeometry::FrameGeometry(Parts parts) : parts_(std::move(parts)) {
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(kDragSettle);
    QObject::connect(&settleTimer_, &QTimer::timeout, [this] { settle(); });
    frameCheck_.setSingleShot(true);
    frameCheck_.setInterval(kFrameCheck);
    QObject::connect(&frameCheck_, &QTimer::timeout, [this] { WindowChanged(); });
}

void FrameGeometry::StartTracking() {
    tracking_ = true;
}

double FrameGeometry::Ratio() const {
    return ViewAspectRatio(parts_.mode(), parts_.aspect());
}

QSize FrameGeometry::decoration() const {
    return parts_.window.frameGeometry().size() - parts_.window.size();
}

QSize FrameGeometry::overhead() const {
    parts_.window.layout()->activate();
    return parts_.window.frameGeometry().size() - parts_.view.size();
}

base::Rect FrameGeometry::windowRect() const {
    return rectOf(parts_.window.frameGeometry());
}

// The stored rectangle, with a sane size and room for a view.
base::Rect FrameGeometry::regularRect() const {
    base::Rect rect = parts_.settings.MainFrame().WindowRect();
    const QSize size = WindowSizeOf(rect);
    rect.right = rect.left + size.width();
    rect.bottom =
        std::max(rect.top + size.height(), rect.top + overhead().height() + kLeastViewHeight);
    return rect;
}

void FrameGeometry::Apply() {
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
    const ModeGeometry geometry{
        .regular = regularRect(),
        .compactWidth = static_cast<int>(parts_.settings.MainFrame().CompactWindowWidth()),
        .overhead = overhead(),
        .ratio = Ratio(),
        .monitor = {},
        .frameMargins = {},
    };
    place(ComputeModeWindowRect(mode, geometry));
    remember();
    frameCheck_.start();
}

// The platform's own full screen on the monitor under the mouse: the view
// covers it exactly, the caption and the menu lie outside it.
void FrameGeometry::coverMonitor() {
    const QScopedValueRollback guard(placing_, true);
    QScreen* screen = screenUnderMouse();
    parts_.window.setMinimumSize(0, 0);
    parts_.window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    parts_.window.menuBar()->hide();
    if (QWindow* handle = parts_.window.windowHandle()) {
        handle->setScreen(screen);
    }
    parts_.window.setGeometry(screen->geometry());
    parts_.window.showFullScreen();
}

// Compact mode: no wider than 100 pixels beyond its least width, fixed
// height. The normal modes: no larger than the screen with the view at its
// ratio.
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
    window.setMaximumSize(AspectMaximum(largest, overhead().height(), Ratio()) - deco);
}

// The menu bar's items and the main toolbar, side by side in width, one above
// the other in height.
QSize FrameGeometry::compactContent() const {
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

// `rect` is the whole window's; Qt places the frame and sizes the inside.
void FrameGeometry::place(const base::Rect& rect) {
    const QScopedValueRollback guard(placing_, true);
    const QSize deco = decoration();
    parts_.window.move(rect.left, rect.top);
    parts_.window.resize(static_cast<int>(rect.width()) - deco.width(),
                         static_cast<int>(rect.height()) - deco.height());
    settled_ = windowRect();
    placedMargins_ = marginsOf(parts_.window);
}

// Only the normal modes keep a ratio, so a bar shown in fullscreen or compact
// mode does not squeeze the window into the view's height.
void FrameGeometry::BarsChanged() {
    if (!tracking_ || !isNormalMode(parts_.mode()) ||
        parts_.window.windowState() != Qt::WindowNoState) {
        return;
    }
    const QSize around = overhead();
    const QSize view = parts_.view.size();
    if (const std::optional<int> width = CorrectedViewWidth(view, Ratio())) {
        base::Rect rect = windowRect();
        rect.right = rect.left + *width + around.width();
        place(rect);
        remember();
    }
}

void FrameGeometry::WindowChanged() {
    if (!tracking_ || placing_) {
        return;
    }
    const bool normal = parts_.window.windowState() == Qt::WindowNoState;
    // The window manager framed the window after it was placed: placed again,
    // so the frame, not the inside, has the remembered size.
    if (normal && marginsOf(parts_.window) != placedMargins_ &&
        parts_.mode() != DisplayMode::Fullscreen) {
        Apply();
        return;
    }
    remember();
    if (normal && parts_.mode() != DisplayMode::Fullscreen) {
        settleTimer_.start();
    }
}

// After a drag: the side the user dragged stays, the other follows the ratio;
// after any other change of size the width follows the height; the compact
// strip keeps its limits. A correction the window manager refused is not
// asked for again.
void FrameGeometry::settle() {
    const base::Rect current = windowRect();
    if (current == settled_ || current == correctedFrom_ ||
        parts_.window.windowState() != Qt::WindowNoState) {
        settled_ = current;
        return;
    }
    const QSize around = overhead();
    const QSize view(static_cast<int>(current.width()) - around.width(),
                     static_cast<int>(current.height()) - around.height());
    base::Rect target = current;
    if (parts_.mode() == DisplayMode::Compact) {
        target = withinLimits(current);
    } else if (const std::optional<SizingEdge> edge = DraggedEdge(settled_, current)) {
        target = AdjustSizing(*edge, current, around, Ratio());
    } else if (const std::optional<int> width = CorrectedViewWidth(view, Ratio())) {
        target.right = target.left + *width + around.width();
    }
    settled_ = current;
    if (target != current) {
        correctedFrom_ = current;
        place(target);
        remember();
    }
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
// fullscreen, a maximised window and the start-up remember nothing.
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
