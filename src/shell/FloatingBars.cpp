#include "shell/FloatingBars.h"

#include "shell/CFloatingBar.h"
#include "shell/COmbrixView.h"
#include "shell/Monitors.h"
#include "shell/WindowPlacement.h"
#include "shell/X11SizeHints.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScopedValueRollback>
#include <QScreen>

namespace ombrix::shell {

namespace {

// Bars follow the window once it has rested this long.
constexpr std::chrono::milliseconds kFollowDelay{300};
// How often the pointer is looked at while the fullscreen toolbar waits at the
// top edge, how close to the edge it must come, and how far from the bar it
// may stray before the bar hides again.
constexpr std::chrono::milliseconds kTopEdgePoll{100};
constexpr int kTopEdge = 2;
constexpr int kStrayMargin = 24;
// A window manager frames a bar within this time of its placement; a move
// later than that, with or without a button seen held, is the user's.
constexpr qint64 kFramingMs = 1000;

// The frame's top-left and the inside's size, as the settings keep a bar.
base::Rect storedRectOf(const CFloatingBar& bar) {
    const QPoint at = bar.frameGeometry().topLeft();
    return {at.x(), at.y(), at.x() + bar.width(), at.y() + bar.height()};
}

// A bar moves by the user's hand with a button held on its frame.
bool userIsDragging() {
    return X11PointerButtonsDown().value_or(false);
}

} // namespace

FloatingBars::FloatingBars(Parts parts) : parts_(std::move(parts)) {
    bars_[Fullscreen].widget = &parts_.fullscreen;
    bars_[Keyboard].widget = &parts_.keyboard;
    bars_[Commands].widget = &parts_.commands;
    restore(bars_[Keyboard], parts_.settings.MainFrame().KeyboardToolbarRect());
    restore(bars_[Commands], parts_.settings.CommandsToolbar().WindowRect());
    for (Bar& bar : bars_) {
        bar.widget->installEventFilter(this);
    }
    replace_.setSingleShot(true);
    replace_.setInterval(kFollowDelay);
    connect(&replace_, &QTimer::timeout, this, &FloatingBars::place);
    topEdge_.setInterval(kTopEdgePoll);
    connect(&topEdge_, &QTimer::timeout, this, &FloatingBars::watchTopEdge);
}

// A stored place off every monitor (one unplugged since) is forgotten; the
// size kept is one the bar can have on its monitor.
void FloatingBars::restore(Bar& bar, const std::optional<base::Rect>& stored) {
    if (!stored || !IsRectOnMonitor(*stored, MonitorRects())) {
        return;
    }
    const QPoint at(stored->left, stored->top);
    bar.own = at;
    putAt(bar, at);
    const QSize size(static_cast<int>(stored->width()), static_cast<int>(stored->height()));
    const QSize largest = WorkAreaAt(at).size();
    if (size.width() >= bar.widget->minimumSizeHint().width() &&
        size.height() >= bar.widget->minimumSizeHint().height() &&
        size.width() <= largest.width() && size.height() <= largest.height()) {
        bar.widget->resize(size);
    }
}

void FloatingBars::Show(Shown shown) {
    bars_[Fullscreen].wanted = shown.fullscreen;
    bars_[Keyboard].wanted = shown.keyboard;
    bars_[Commands].wanted = shown.commands;
    place();
}

void FloatingBars::WindowChanged() {
    replace_.start();
}

bool FloatingBars::inFullscreen() const {
    return parts_.mode() == DisplayMode::Fullscreen;
}

QRect FloatingBars::monitor() const {
    const QScreen* screen = parts_.window.screen();
    return screen != nullptr ? screen->geometry() : QRect();
}

// Placed before they are shown, so a bar never appears where it does not stay.
void FloatingBars::place() {
    replace_.stop();
    {
        const QScopedValueRollback guard(placing_, true);
        if (inFullscreen()) {
            placeInFullscreen();
        } else {
            parts_.view.SetReservedMargins({});
            hidesAtTop_ = false;
            placeBeside();
        }
        for (Bar& bar : bars_) {
            const bool waits = &bar == &bars_[Fullscreen] && hidesAtTop_;
            if (!bar.wanted || !waits) {
                bar.widget->setVisible(bar.wanted);
            }
        }
    }
    if (hidesAtTop_) {
        topEdge_.start();
    } else {
        topEdge_.stop();
    }
}

// The bars the user placed go back to their places; the others go beside the
// window, clear of those and of each other. Where no side has room, a bar
// takes any free place on the monitor, and only where there is none either
// may it overlap.
void FloatingBars::placeBeside() {
    const QRect window = parts_.window.frameGeometry();
    const QRect area = WorkAreaAt(window.center());
    std::vector<QRect> taken;
    for (Bar& bar : bars_) {
        if (bar.wanted && bar.own) {
            putAt(bar, *bar.own);
            taken.push_back(bar.placed);
        }
    }
    for (const BarIndex index : {Commands, Keyboard}) {
        Bar& bar = bars_[index];
        if (!bar.wanted || bar.own) {
            continue;
        }
        const QSize size = FrameSizeOf(*bar.widget);
        std::vector<QRect> avoided = taken;
        avoided.push_back(window);
        const QPoint spot =
            PlaceBeside(window, size, area, taken)
                .value_or(FreeSpot(area, size, avoided)
                              .value_or(area.bottomRight() - QPoint(size.width(), size.height()) +
                                        QPoint(1, 1)));
        putAt(bar, spot);
        taken.emplace_back(spot, size);
    }
}

// Every bar is placed anew in fullscreen, the user's too: none may cover the
// screen. The view leaves room for the keyboard and commands bars; the
// fullscreen toolbar is placed once the view covers the monitor.
void FloatingBars::placeInFullscreen() {
    const QRect screenArea = monitor();
    const auto sizeIfWanted = [&](const Bar& bar) -> std::optional<QSize> {
        return bar.wanted ? std::optional(FrameSizeOf(*bar.widget)) : std::nullopt;
    };
    const FullscreenBars placed = PlaceFullscreenBars(screenArea, sizeIfWanted(bars_[Keyboard]),
                                                      sizeIfWanted(bars_[Commands]));
    parts_.view.SetReservedMargins(placed.reserved);
    std::vector<QRect> taken;
    if (placed.keyboard) {
        putAt(bars_[Keyboard], *placed.keyboard);
        taken.push_back(bars_[Keyboard].placed);
    }
    if (placed.commands) {
        putAt(bars_[Commands], *placed.commands);
        taken.push_back(bars_[Commands].placed);
    }
    if (bars_[Fullscreen].wanted) {
        placeFullscreenToolbar(screenArea, std::move(taken));
    }
}

// What the view shows (the screen and its caption band) is known once the
// view covers the monitor; until then the toolbar waits hidden.
void FloatingBars::placeFullscreenToolbar(const QRect& monitor, std::vector<QRect> taken) {
    Bar& bar = bars_[Fullscreen];
    const COmbrixView& view = parts_.view;
    const QRect viewArea(view.mapToGlobal(QPoint(0, 0)), view.size());
    if (viewArea != monitor) {
        hidesAtTop_ = true;
        bar.widget->hide();
        replace_.start();
        return;
    }
    const QRect shown = view.ScreenRect().united(view.CaptionRect());
    if (!shown.isEmpty()) {
        taken.emplace_back(view.mapToGlobal(shown.topLeft()), shown.size());
    }
    const std::optional<QPoint> spot = FreeSpot(monitor, FrameSizeOf(*bar.widget), taken);
    hidesAtTop_ = !spot.has_value();
    if (spot) {
        putAt(bar, *spot);
    } else if (!bar.widget->isVisible() || bar.placed.top() != monitor.top()) {
        bar.widget->hide();
    }
}

// At the top edge the bar appears over the middle of the monitor's top, and
// goes again once the pointer has left it.
void FloatingBars::watchTopEdge() {
    Bar& bar = bars_[Fullscreen];
    if (!hidesAtTop_ || !bar.wanted || !inFullscreen()) {
        topEdge_.stop();
        return;
    }
    const QRect area = monitor();
    const QPoint pointer = QCursor::pos();
    const QRect near =
        bar.placed.adjusted(-kStrayMargin, -kStrayMargin, kStrayMargin, kStrayMargin);
    const QScopedValueRollback guard(placing_, true);
    if (!bar.widget->isVisible() && area.contains(pointer) && pointer.y() < area.top() + kTopEdge) {
        const QSize size = FrameSizeOf(*bar.widget);
        putAt(bar, QPoint(area.center().x() - size.width() / 2, area.top()));
        bar.widget->show();
        bar.widget->raise();
    } else if (bar.widget->isVisible() && !near.contains(pointer)) {
        bar.widget->hide();
    }
}

void FloatingBars::putAt(Bar& bar, QPoint frameTopLeft) {
    bar.widget->move(frameTopLeft);
    bar.placed = QRect(frameTopLeft, FrameSizeOf(*bar.widget));
    bar.sincePlaced.start();
}

QSize FloatingBars::FrameSizeOf(const CFloatingBar& bar) const {
    const QSize inside =
        bar.isVisible() || bar.testAttribute(Qt::WA_Resized) ? bar.size() : bar.sizeHint();
    const QWidget& framed = bar.isVisible() ? static_cast<const QWidget&>(bar) : parts_.window;
    return inside + framed.frameGeometry().size() - framed.geometry().size();
}

bool FloatingBars::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!placing_ && (type == QEvent::Move || type == QEvent::Resize)) {
        for (Bar& bar : bars_) {
            if (watched == bar.widget && bar.widget->isVisible()) {
                barChanged(bar);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// A bar the user drags outside fullscreen keeps its place from then on, as it
// ends up after the drag, and its size. A bar whose frame turned out another
// size than guessed is placed again.
void FloatingBars::barChanged(Bar& bar) {
    const QRect now = bar.widget->frameGeometry();
    const bool byHand = now.topLeft() != bar.placed.topLeft() &&
                        (bar.sincePlaced.elapsed() > kFramingMs || userIsDragging());
    const bool userMoves = &bar != &bars_[Fullscreen] && !inFullscreen();
    if (userMoves && (bar.own || byHand)) {
        bar.own = now.topLeft();
        bar.placed = now;
        remember(bar);
    } else if (now.size() != bar.placed.size()) {
        replace_.start();
    }
}

void FloatingBars::remember(const Bar& bar) {
    if (&bar == &bars_[Keyboard]) {
        settings::MainFrameSettings frame = parts_.settings.MainFrame();
        frame.SetKeyboardToolbarRect(storedRectOf(*bar.widget));
        parts_.settings.SetMainFrame(frame);
    } else if (&bar == &bars_[Commands]) {
        settings::CommandsToolbarSettings commands = parts_.settings.CommandsToolbar();
        commands.SetWindowRect(storedRectOf(*bar.widget));
        parts_.settings.SetCommandsToolbar(commands);
    }
}

} // namespace ombrix::shell
