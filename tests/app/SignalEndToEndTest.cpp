// SIGTERM (a logout, a shutdown) ends the running window as closing it does:
// the settings are stored, also while a dialog is open, and a recording is
// closed properly.
#include "EndToEnd.h"
#include "RecordingDecoder.h"
#include "SimProcess.h"

#include <QFile>
#include <QTemporaryDir>
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

TEST(SignalEndToEnd, ATerminatedWindowClosesTheRecordingItMakes) {
    SimProcess sim({"colour"});
    QTemporaryDir shots;
    ombrix::testing::OmbrixProcess program(
        sim.deviceDirectory(),
        QByteArray(kSettings) +
            "[MainSettings/Screenshot]\nrecord_format=2\nfile_name_prefix=rec\nimage_folder=\"" +
            shots.path().toUtf8() + "\"\n");
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    const QString recording = shots.filePath(QStringLiteral("rec0000.png"));
    // Until the first frame is on show there is nothing to record.
    ASSERT_TRUE(eventually([&] {
        run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
        run(QStringLiteral("xdotool"), {"key", "ctrl+r"});
        return QFile::exists(recording);
    }));
    // The header first; the first picture once the next one came.
    ASSERT_TRUE(eventually([&] { return QFile(recording).size() > 0; }));
    const qint64 header = QFile(recording).size();
    ASSERT_TRUE(eventually([&] { return QFile(recording).size() > header; }));
    EXPECT_EQ(program.terminate(), 0);
    const ombrix::testing::DecodedRecording decoded = ombrix::testing::DecodeRecording(recording);
    EXPECT_TRUE(decoded.whole && decoded.finalised) << decoded.error.toStdString();
    EXPECT_GT(decoded.pictures.size(), 1u) << "the colour instrument's reading moves";
}

} // namespace
