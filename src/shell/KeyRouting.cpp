#include "shell/KeyRouting.h"

#include "model/ComputerKeys.h"
#include "shell/COmbrixView.h"
#include "shell/HistoryPlayback.h"
#include "shell/X11KeyState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWindow>

namespace ombrix::shell {

bool PressesWithModifier(int qtKey) {
    const std::optional<std::uint32_t> virtualKey = model::virtualKeyFromQtKey(qtKey);
    return virtualKey && model::instrumentCodeForComputerKey(*virtualKey);
}

KeyRouting::KeyRouting(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), tracker_(&X11KeyIsDown) {
    settleTimer_.setSingleShot(true);
    connect(&settleTimer_, &QTimer::timeout, this, &KeyRouting::settle);
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &KeyRouting::focusWindowChanged);
}

KeyRouting::~KeyRouting() {
    qApp->removeEventFilter(this);
}

// Each key is taken once, where it is first delivered; it then goes on to
// where it was going.
bool KeyRouting::eventFilter(QObject* watched, QEvent* event) {
    if (stopsPlayBack(*event)) {
        parts_.playback.Stop();
        return true;
    }
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType() &&
        sendsInstrumentKeys(*static_cast<QWidget*>(watched))) {
        route(*static_cast<QKeyEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

// A dialog or a menu open meanwhile keeps its Esc.
bool KeyRouting::stopsPlayBack(const QEvent& event) const {
    return parts_.playback.Playing() && event.type() == QEvent::KeyPress &&
           static_cast<const QKeyEvent&>(event).key() == Qt::Key_Escape &&
           QApplication::activeModalWidget() == nullptr &&
           QApplication::activePopupWidget() == nullptr;
}

bool RoutesToInstrument(const KeyTarget& target) {
    return target.firstDelivery && target.ownWindow && !target.takesText && !target.menuBar;
}

bool KeyRouting::sendsInstrumentKeys(const QWidget& widget) const {
    const QWidget* focus = QApplication::focusWidget();
    return RoutesToInstrument({focus != nullptr ? &widget == focus : widget.isWindow(),
                               parts_.isOwnWindow(widget.window()->windowHandle()),
                               widget.testAttribute(Qt::WA_InputMethodEnabled),
                               qobject_cast<const QMenuBar*>(&widget) != nullptr});
}

void KeyRouting::route(const QKeyEvent& key) {
    const PcKeyTracker::Event event{key.key(),
                                    key.nativeScanCode(),
                                    key.timestamp(),
                                    key.isAutoRepeat(),
                                    key.modifiers().testFlag(Qt::ControlModifier),
                                    key.modifiers().testFlag(Qt::AltModifier)};
    const PcKeyTracker::Clock::time_point now = PcKeyTracker::Clock::now();
    apply(key.type() == QEvent::KeyPress ? tracker_.Pressed(event, now)
                                         : tracker_.Released(event, now));
    scheduleSettle();
}

void KeyRouting::apply(const std::vector<PcKeyTracker::Output>& outputs) {
    for (const PcKeyTracker::Output& output : outputs) {
        if (output.action == PcKeyTracker::Action::Release) {
            parts_.view.KeyUp();
            continue;
        }
        if (output.key == Qt::Key_Space) {
            parts_.exitFullscreen();
        }
        if (!(output.ctrl || output.alt) || PressesWithModifier(output.key)) {
            parts_.view.KeyDown(output.key, output.ctrl);
        }
    }
}

void KeyRouting::settle() {
    apply(tracker_.Settle(PcKeyTracker::Clock::now()));
    scheduleSettle();
}

void KeyRouting::scheduleSettle() {
    const std::optional<PcKeyTracker::Clock::time_point> next = tracker_.NextSettle();
    if (!next) {
        settleTimer_.stop();
        return;
    }
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(*next - PcKeyTracker::Clock::now());
    settleTimer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

// Keys held when the keyboard goes elsewhere (another program, a menu, a
// dialog) are never seen going up: none may send a code or its hold later.
void KeyRouting::focusWindowChanged(QWindow* focus) {
    if (!parts_.isOwnWindow(focus)) {
        tracker_.Clear();
        settleTimer_.stop();
        parts_.view.AbandonKeys();
    }
}

} // namespace ombrix::shell
