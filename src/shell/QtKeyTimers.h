#pragma once

#include "shell/KeyTimers.h"

#include <QTimer>
#include <functional>

namespace ombrix::shell {

// The key handling's timers on the event loop of the thread it lives in.
class QtKeyTimers : public KeyTimers {
public:
    explicit QtKeyTimers(std::function<void(KeyTimer)> fired);

    void Start(KeyTimer timer, std::chrono::milliseconds period) override;
    void Stop(KeyTimer timer) override;

private:
    QTimer& timerOf(KeyTimer timer);

    QTimer highlight_;
    QTimer hold_;
    QTimer caption_;
};

} // namespace ombrix::shell
