#pragma once

#include <QProcess>
#include <QString>

namespace ombrix::testing {

// The simulated instruments, started on a private device directory and stopped
// when this object goes.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QString& deviceDirectory);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

private:
    QProcess process_;
    QString output_;
};

} // namespace ombrix::testing
