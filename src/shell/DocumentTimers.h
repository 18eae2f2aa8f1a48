#pragma once

#include "document/DocumentHost.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace ombrix::shell {

// The main window's two timers that drive the document: the refresh tick
// (opens the model the worker found, plays a history back) and the blink tick.
class DocumentTimers : public QObject {
    Q_OBJECT

public:
    explicit DocumentTimers(QObject* parent = nullptr);

    void Start(std::chrono::milliseconds refreshPeriod, std::chrono::milliseconds blinkPeriod);
    void Stop();
    bool Running() const;
    std::chrono::milliseconds Period(document::DocumentTimer timer) const;
    // Runs `modal` (a dialog) with both timers stopped, and starts them again
    // with their periods unchanged when they ran; what `modal` returned.
    int RunPaused(const std::function<int()>& modal);

signals:
    void ticked(document::DocumentTimer timer);

private:
    QTimer refresh_;
    QTimer blink_;
};

} // namespace ombrix::shell
