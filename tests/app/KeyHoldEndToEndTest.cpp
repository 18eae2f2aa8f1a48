// Computer keys held down with the keyboard's real auto-repeat (the virtual X
// server's own), while two busy processes keep the cores loaded as on a
// presenter's laptop: each held key reaches the instrument once, and a key
// with a hold entry sends its hold code once, four seconds after the press.
#include "EndToEnd.h"
#include "SimProcess.h"
#include "SimRecord.h"

#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::sim::testing::SimRecord;
using ombrix::testing::eventually;
using ombrix::testing::run;

constexpr int kDown = 0x68;       // the sample colour model's DOWN
constexpr int kEscapeHeld = 0x6F; // and ESC's hold code
constexpr int kHeldForMs = 5'000;

const char* const kSettings = "[MainSettings]\ndisplay_mode=1\n"
                              "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,640,480\"\n"
                              "[MainSettings/CommandsToolbar]\nvisible=0\n";

// Two processes that keep a core each busy until destroyed.
class BusyCores {
public:
    BusyCores() {
        for (auto& process : processes_) {
            process = std::make_unique<QProcess>();
            process->setStandardOutputFile(QProcess::nullDevice());
            process->start(QStringLiteral("yes"), {});
        }
    }
    ~BusyCores() {
        for (auto& process : processes_) {
            process->kill();
            process->waitForFinished();
        }
    }

private:
    std::unique_ptr<QProcess> processes_[2];
};

// When the instrument received `code`, in microseconds since the simulator
// started; -1 when it did not.
std::int64_t receivedAt(const SimRecord& record, int code) {
    const std::string command = ";#0," + std::string(1, static_cast<char>(code)) + ";";
    for (const SimRecord::Event& event : record.events()) {
        if (event.name == "rx" && event.bytes.find(command) != std::string::npos) {
            return event.micros;
        }
    }
    return -1;
}

TEST(KeyHoldEndToEnd, AHeldKeyIsOnePressAndItsHoldCodeComesOnceAfterFourSeconds) {
    SimProcess sim({"--do", "freeze all on", "colour"});
    ombrix::testing::OmbrixProcess program(sim.deviceDirectory(), kSettings);
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});

    const BusyCores busy;
    const auto hold = [&](const char* key) {
        run(QStringLiteral("xdotool"), {"keydown", key});
        QThread::msleep(kHeldForMs);
        run(QStringLiteral("xdotool"), {"keyup", key});
    };
    hold("Down");
    // The last thing the instrument heard before Escape went down: the session
    // polls it all the time, so this is close to the press.
    const std::int64_t beforeEscape = SimRecord(sim.recordPath(), 1).events().back().micros;
    hold("Escape");
    ASSERT_TRUE(eventually([&] { return SimRecord(sim.recordPath(), 1).keyCodes().size() >= 2; }));
    QThread::msleep(1000); // anything sent twice would have come by now

    const SimRecord record(sim.recordPath(), 1);
    EXPECT_EQ(record.keyCodes(), (std::vector<int>{kDown, kEscapeHeld}));
    EXPECT_GE(receivedAt(record, kEscapeHeld) - beforeEscape, 4'000'000);
}

} // namespace
