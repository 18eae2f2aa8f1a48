#include "shell/QtKeyTimers.h"

namespace ombrix::shell {

QtKeyTimers::QtKeyTimers(std::function<void(KeyTimer)> fired) {
    hold_.setSingleShot(true);
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

bool QtKeyTimers::Running(KeyTimer timer) const {
    return timerOf(timer).isActive();
}

QTimer& QtKeyTimers::timerOf(KeyTimer timer) {
    return const_cast<QTimer&>(std::as_const(*this).timerOf(timer));
}

const QTimer& QtKeyTimers::timerOf(KeyTimer timer) const {
    switch (timer) {
    case KeyTimer::Highlight:
        return highlight_;
    case KeyTimer::Hold:
        return hold_;
    case KeyTimer::Caption:
        break;
    }
    return caption_;
}

} // namespace ombrix::shell
