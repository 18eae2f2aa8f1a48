// SIGTERM (a logout, a shutdown) ends the running window as closing it does:
// the settings are stored, also while a dialog is open.
#include "EndToEnd.h"
#include "SimProcess.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::eventually;
using ombrix::testing::run;
using ombrix::testing::windowNamed;

const char* const kSettings = "[MainSettings]\ndisplay_mode=1\n"
                              "[MainSettings/CommandsToolbar]\nvisible=0\n";

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SignalEndToEnd, ATerminatedWindowStoresItsSettingsEvenWithADialogOpen) {
    SimProcess sim({"--do", "freeze all on", "colour"});
    ombrix::testing::OmbrixProcess program(sim.deviceDirectory(), kSettings);
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    ASSERT_FALSE(contentsOf(program.settingsFile()).contains("Cursor"));

    run(QStringLiteral("xdotool"), {"windowfocus", window});
    run(QStringLiteral("xdotool"), {"key", "--delay", "150", "alt+h", "Return"}); // About
    ASSERT_TRUE(
        eventually([] { return !windowNamed(QStringLiteral("^About Ombrix$")).isEmpty(); }));

    EXPECT_EQ(program.terminate(), 0);
    const QByteArray stored = contentsOf(program.settingsFile());
    EXPECT_TRUE(stored.contains("Cursor\\cursor_size=")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("[Global]")) << stored.toStdString();
}

} // namespace
