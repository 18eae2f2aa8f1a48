#include "shell/DocumentTimers.h"

namespace ombrix::shell {

using document::DocumentTimer;

DocumentTimers::DocumentTimers(QObject* parent) : QObject(parent) {
    connect(&refresh_, &QTimer::timeout, this, [this] { emit ticked(DocumentTimer::Refresh); });
    connect(&blink_, &QTimer::timeout, this, [this] { emit ticked(DocumentTimer::Blink); });
}

void DocumentTimers::Start(std::chrono::milliseconds refreshPeriod,
                           std::chrono::milliseconds blinkPeriod) {
    refresh_.start(refreshPeriod);
    blink_.start(blinkPeriod);
}

void DocumentTimers::Stop() {
    refresh_.stop();
    blink_.stop();
}

bool DocumentTimers::Running() const {
    return refresh_.isActive() && blink_.isActive();
}

std::chrono::milliseconds DocumentTimers::Period(DocumentTimer timer) const {
    return (timer == DocumentTimer::Refresh ? refresh_ : blink_).intervalAsDuration();
}

int DocumentTimers::RunPaused(const std::function<int()>& modal) {
    const bool running = Running();
    Stop();
    const int result = modal();
    if (running) {
        refresh_.start();
        blink_.start();
    }
    return result;
}

} // namespace ombrix::shell
