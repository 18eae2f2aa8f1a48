#include "SimulatorProcess.h"

#include <gtest/gtest.h>

namespace ombrix::testing {

SimulatorProcess::SimulatorProcess(const QString& deviceDirectory) {
    process_.start(OMBRIX_SIM_PATH, {"--device-dir", deviceDirectory});
    while (process_.waitForReadyRead(10000)) {
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        if (output_.contains("ready\n")) {
            return;
        }
    }
    ADD_FAILURE() << "ombrix-sim did not get ready: " << output_.toStdString();
}

SimulatorProcess::~SimulatorProcess() {
    process_.terminate();
    process_.waitForFinished(5000);
}

} // namespace ombrix::testing
