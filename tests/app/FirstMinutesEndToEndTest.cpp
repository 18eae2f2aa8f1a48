// The first minutes of the window on a virtual X server, with and without a
// window manager (openbox, started by the test), driven by the pointer and
// the keyboard as a person would: the first start's layout and its first key,
// the view's shape after a resize by hand, and bars that stay where the user
// put them, from one run to the next.
#include "EndToEnd.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "model/ModelFile.h"

#include <QFile>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>
#include <utility>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::Drag;
using ombrix::testing::eventually;
using ombrix::testing::OmbrixProcess;
using ombrix::testing::run;
using ombrix::testing::WindowGeometry;
using ombrix::testing::windowNamed;

const QRect kScreen(0, 0, 1280, 1024);
// openbox's frame: a border of 1 pixel, a handle of 5 under the window.
constexpr int kHandleMiddle = 3;
// The view's width may miss its shape by this much after a drag.
constexpr double kShapeTolerance = 3.0;

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FirstMinutesEndToEnd : public ::testing::TestWithParam<bool> {
protected:
    std::optional<ombrix::testing::WindowManager> manager;
    SimProcess sim{{"--do", "freeze all on", "colour"}};
    QSize picture;

    void SetUp() override {
        ASSERT_TRUE(qEnvironmentVariableIsSet("DISPLAY")) << "no X server";
        if (GetParam()) {
            manager.emplace();
            ASSERT_TRUE(manager->started()) << "openbox did not start";
        }
        ombrix::model::ModelFile model;
        model.load(QStringLiteral(OMBRIX_SAMPLE_MODELS_DIR "/Data/lum302plus.def"));
        picture = QImage(model.picturePath(model.model().keyboardBitmap)).size();
        ASSERT_FALSE(picture.isEmpty());
    }

    double ratio() const { return double(picture.width()) / picture.height(); }

    // The bar titled `title`, once it is on the screen.
    static QString bar(const char* title) {
        QString found;
        eventually([&] {
            found = windowNamed(QString::fromLatin1(title));
            return !found.isEmpty();
        });
        return found;
    }

    // The window's inside once it has not changed for a second.
    static QRect settled(const QString& window) {
        QRect last = WindowGeometry(window);
        eventually([&] {
            QThread::msleep(1000);
            const QRect now = WindowGeometry(window);
            return std::exchange(last, now) == now;
        });
        return last;
    }

    // Whether the window's view, `around` pixels less high than the window,
    // has the front panel's shape.
    bool keepsShape(const QString& window, int around) const {
        const QRect inside = WindowGeometry(window);
        return std::abs(inside.width() - (inside.height() - around) * ratio()) <= kShapeTolerance;
    }
};

// No settings: the front panel at its own size, the bars beside the window,
// none over another, and the first key pressed goes to the instrument.
TEST_P(FirstMinutesEndToEnd, TheFirstStartShowsThePanelAtItsSizeWithTheBarsBesideIt) {
    OmbrixProcess program(sim.deviceDirectory(),
                          "[MainSettings/MainFrame]\nkeyboard_toolbar_visible=1\n");
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    const QString commands = bar("^Commands history$");
    const QString keyboard = bar("^Keyboard$");
    ASSERT_FALSE(commands.isEmpty() || keyboard.isEmpty());
    EXPECT_TRUE(eventually([&] {
        const QRect main = WindowGeometry(window);
        const QRect history = WindowGeometry(commands);
        const QRect keys = WindowGeometry(keyboard);
        return !main.intersects(history) && !main.intersects(keys) && !history.intersects(keys) &&
               kScreen.contains(main) && kScreen.contains(history) && kScreen.contains(keys);
    })) << "a bar lies over the window or off the screen";
    EXPECT_EQ(WindowGeometry(window).width(), picture.width()) << "not at the panel's own size";

    run(QStringLiteral("xdotool"), {"key", "Down"}); // no click first
    EXPECT_TRUE(eventually([&] {
        return !ombrix::sim::testing::SimRecord(sim.recordPath(), 1).keyCodes().empty();
    })) << "the first key did not reach the instrument";
}

// The size grip, and with a window manager the right edge and the bottom
// edge, dragged by hand: each time the view ends in the panel's shape.
TEST_P(FirstMinutesEndToEnd, AWindowResizedByHandKeepsThePanelsShape) {
    OmbrixProcess program(sim.deviceDirectory(),
                          "[MainSettings/MainFrame]\nregular_window_rect=\"100,60,600,900\"\n"
                          "[MainSettings/CommandsToolbar]\nvisible=0\n");
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    const QRect start = settled(window);
    const int around = start.height() - static_cast<int>(start.width() / ratio());

    // Up more than across: the height leads, as at a corner it does.
    Drag(start.bottomRight() - QPoint(3, 3), start.bottomRight() - QPoint(120, 200));
    EXPECT_TRUE(eventually([&] {
        return WindowGeometry(window).width() < start.width() - 60 && keepsShape(window, around);
    })) << "after the size grip: "
        << WindowGeometry(window).width() << " x " << WindowGeometry(window).height();
    if (!GetParam()) {
        return;
    }
    const QRect gripped = WindowGeometry(window);
    Drag(QPoint(gripped.right() + 1, gripped.center().y()),
         QPoint(gripped.right() + 101, gripped.center().y()));
    EXPECT_TRUE(eventually([&] {
        return WindowGeometry(window).width() > gripped.width() + 60 && keepsShape(window, around);
    })) << "after the right edge: "
        << WindowGeometry(window).width() << " x " << WindowGeometry(window).height();
    const QRect widened = WindowGeometry(window);
    const QPoint handle(widened.center().x(), widened.bottom() + kHandleMiddle);
    Drag(handle, handle - QPoint(0, 150));
    EXPECT_TRUE(eventually([&] {
        return WindowGeometry(window).height() < widened.height() - 60 &&
               keepsShape(window, around);
    })) << "after the bottom edge: "
        << WindowGeometry(window).width() << " x " << WindowGeometry(window).height();
}

// A bar dragged by its title stays there, also in the next run.
TEST_P(FirstMinutesEndToEnd, ABarTheUserMovedKeepsItsPlaceFromRunToRun) {
    if (!GetParam()) {
        GTEST_SKIP() << "without a window manager a bar has no title to drag";
    }
    QByteArray stored;
    QRect moved;
    {
        OmbrixProcess program(sim.deviceDirectory(), {});
        ASSERT_TRUE(program.started());
        ASSERT_FALSE(program.waitForModel().isEmpty()) << "no model was loaded";
        const QString commands = bar("^Commands history$");
        ASSERT_FALSE(commands.isEmpty());
        const QRect placed = settled(commands);
        const QPoint title(placed.center().x(), placed.top() - 10);
        Drag(title, title + QPoint(-200, 150));
        ASSERT_TRUE(eventually([&] { return WindowGeometry(commands) != placed; }));
        QThread::msleep(1000); // not placed back
        moved = WindowGeometry(commands);
        EXPECT_EQ(moved.topLeft(), placed.topLeft() + QPoint(-200, 150));
        ASSERT_EQ(program.terminate(), 0);
        stored = contentsOf(program.settingsFile());
    }
    OmbrixProcess again(sim.deviceDirectory(), stored);
    ASSERT_TRUE(again.started());
    ASSERT_FALSE(again.waitForModel().isEmpty()) << "no model was loaded";
    const QString commands = bar("^Commands history$");
    EXPECT_TRUE(eventually([&] { return WindowGeometry(commands) == moved; }))
        << WindowGeometry(commands).x() << "," << WindowGeometry(commands).y() << " instead of "
        << moved.x() << "," << moved.y();
}

INSTANTIATE_TEST_SUITE_P(WindowManager, FirstMinutesEndToEnd, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Openbox") : std::string("None");
                         });

} // namespace
