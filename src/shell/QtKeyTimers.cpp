#include "shell/QtKeyTimers.h"

namespace ombrix::shell {

QtKeyTimers::QtKeyTimers(std::function<void(KeyTimer)> fired) {
    hold_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early: a hold lasts its whole time.
    hold_.setTimerType(Qt::PreciseTimer);
    caption_.setSingleShot(true);
    QObject::connect(&highlight_, &QTimer::timeout, [fired] { fired(KeyTimer::Highlight); });
    QObject::connect(&hold_, &QTimer::timeout, [fired] { fired(KeyTimer::Hold); });
    QObject::connect(&caption_, &QTimer::timeout, [fired] { fired(KeyTimer::Caption); });
}

void QtKeyTimers::Start(KeyTimer timer, std::chrono::milliseconds period) {
    timerOf(timer).start(period);
}

void QtKeyTimers::Stop(KeyTimer timer) {
    timerOf(timer).stop();
}

QTimer& QtKeyTimers::timerOf(KeyTimer timer) {
    switch (timer) {
    case KeyTimer::Highlight:
        return highlight_;
    case KeyTimer::Hold:
        return hold_;
    case KeyTimer::Caption:
        return caption_;
    }
    return caption_; // not reached: every timer is named above
}

} // namespace ombrix::shell
