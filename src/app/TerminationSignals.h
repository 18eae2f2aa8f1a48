#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace ombrix::app {

// SIGTERM, SIGINT and SIGHUP (a logout, a shutdown, Ctrl+C in a terminal)
// end the program the way closing its window does, so the settings are stored
// and the threads stopped, rather than killing it where it stands. The signal
// handler only writes to a pipe; `onSignal` runs in the event loop.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace ombrix::app
