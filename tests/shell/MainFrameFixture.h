// The real main window, built by the real application object over an empty
// device directory and the sample models, on the offscreen platform.
#pragma once

#include "SimProcess.h"
#include "app/COmbrixApp.h"
#include "shell/CMainFrame.h"
#include "shell/COmbrixView.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace ombrix::shell::testing {

inline const std::filesystem::path kPrograms = OMBRIX_SAMPLE_MODELS_DIR;
// How long a test waits for the simulator and the window.
inline constexpr int kPatienceMs = 20'000;

class MainFrameFixture : public ::testing::Test {
protected:
    QTemporaryDir scratch;
    std::optional<sim::testing::SimProcess> sim;
    std::unique_ptr<app::COmbrixApp> application;
    QString startError;

    QString settingsFile() const { return scratch.filePath(QStringLiteral("Ombrix.ini")); }

    void writeSettings(const QByteArray& text) const {
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // The sample model of the colour instrument, opened for its serial.
    static QString colourModel() {
        return QString::fromStdString((kPrograms / "Data" / "lum302plus.def").string()) +
               QStringLiteral("*30302");
    }

    bool start(const std::optional<QString>& document = std::nullopt,
               const std::filesystem::path& programs = kPrograms) {
        application = std::make_unique<app::COmbrixApp>(
            app::COmbrixApp::Options{settingsFile(),
                                     scratch.filePath(QStringLiteral("devices")).toStdString(),
                                     {},
                                     programs});
        QString error;
        const bool started = application->InitInstance(document, error);
        startError = error;
        return started;
    }

    // The simulated `models` (frozen) in the window's device directory, and
    // the window with `settings`, once a key pressed can reach the instrument.
    void startWithInstrument(const QByteArray& settings,
                             const QStringList& models = {QStringLiteral("colour")}) {
        sim.emplace(QStringList{"--do", "freeze all on"} + models, devices());
        writeSettings(settings);
        ASSERT_TRUE(start()) << startError.toStdString();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return application->Document().CanSendKeys() &&
                       !frame().View().Keys().Layout().buttons().empty();
            },
            kPatienceMs));
    }
    std::filesystem::path devices() const {
        return scratch.filePath(QStringLiteral("devices")).toStdString();
    }

    void TearDown() override {
        if (application) {
            frame().close();
            application->ExitInstance();
            application.reset();
        }
    }

    CMainFrame& frame() const { return application->MainFrame(); }
    QAction& action(CommandId command) const { return *frame().Commands().Action(command); }
    void trigger(CommandId command) const { action(command).trigger(); }
    DisplayMode mode() const { return frame().CurrentMode(); }
};

// Closes the message box about to open over `owner`, keeping its text.
inline void CloseMessageBoxSoon(QWidget& owner, QString& text) {
    QTimer::singleShot(0, &owner, [&text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
}

} // namespace ombrix::shell::testing
