// ombrix in a real window on a virtual X server, against ombrix-sim, driven
// with real key presses and clicks (xdotool). Grabs of the window are compared
// with the simulator's snapshot at the places the view's layout functions give.
#include "EndToEnd.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "SimScreen.h"
#include "XServer.h"
#include "catalogue/ModelCatalogue.h"
#include "model/ModelFile.h"
#include "shell/ViewLayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::eventually;
using ombrix::testing::run;
using ombrix::testing::WindowGeometry;
using ombrix::testing::windowNamed;
namespace shell = ombrix::shell;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
// Tall, so the front panel is as wide as the window whatever the bars take.
const char* const kSettings = "[MainSettings]\ndisplay_mode=0\n"
                              "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,640,1010\"\n"
                              "keyboard_toolbar_visible=1\n"
                              "[MainSettings/CommandsToolbar]\nvisible=0\n";
// Channels may differ by this much after the smooth stretch.
constexpr int kTolerance = 6;
// The highest the view's top can lie under the menu bar and the toolbar.
constexpr int kMaxViewTop = 160;

// A display pixel whose neighbours all have its value: its centre keeps its
// colour however the stretch blends.
struct Sample {
    int x = 0;
    int y = 0;
    QRgb expected = 0;
};

std::vector<Sample> samplesOf(const ombrix::sim::InstrumentModel& model, const QImage& snapshot) {
    std::vector<Sample> samples;
    for (int y = 1; y + 1 < model.height; y += 5) {
        for (int x = 1; x + 1 < model.width; x += 5) {
            bool uniform = true;
            for (int dy = -1; dy <= 1 && uniform; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    uniform = uniform && snapshot.pixel(x + dx, y + dy) == snapshot.pixel(x, y);
                }
            }
            if (uniform) {
                samples.push_back(
                    {x, y, ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y)});
            }
        }
    }
    return samples;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= kTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kTolerance;
}

class WindowEndToEnd : public ::testing::Test {
protected:
    const ombrix::sim::InstrumentModel& colour = *ombrix::sim::findModel("colour");
    QTemporaryDir scratch;
    std::optional<SimProcess> sim;
    std::optional<ombrix::testing::OmbrixProcess> program;
    QString window;
    ombrix::model::ModelFile modelFile;
    QSize picture;
    std::vector<Sample> samples;

    void SetUp() override {
        ASSERT_TRUE(qEnvironmentVariableIsSet("DISPLAY")) << "no X server";
        const QString snapshot = scratch.filePath(QStringLiteral("snapshot.png"));
        sim.emplace(
            QStringList{"--do", "freeze all on", "--do", "snapshot 1 " + snapshot, "colour"});
        modelFile.load(QStringLiteral(OMBRIX_SAMPLE_MODELS_DIR "/Data/lum302plus.def"));
        picture = QImage(modelFile.picturePath(modelFile.model().keyboardBitmap)).size();
        ASSERT_FALSE(picture.isEmpty());

        program.emplace(sim->deviceDirectory(), kSettings);
        ASSERT_TRUE(program->started());
        window = program->waitForWindow();
        ASSERT_FALSE(window.isEmpty()) << "no window titled Ombrix appeared";
        ASSERT_TRUE(eventually([&] { return QImage(snapshot).width() == colour.width; }));
        samples = samplesOf(colour, QImage(snapshot));
        ASSERT_GT(samples.size(), 100u);
    }

    QImage grab() const {
        return QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    }

    // Where the program's floating bars lie over this window.
    std::vector<QRect> coveredRects() const {
        std::vector<QRect> covered;
        for (const char* bar : {"^Fullscreen$", "^Keyboard$"}) {
            const QString id = windowNamed(QString::fromLatin1(bar));
            if (!id.isEmpty()) {
                covered.push_back(WindowGeometry(id));
            }
        }
        return covered;
    }

    // Samples of the snapshot that the grab does not show where `layout`, with
    // the view's top at `top`, puts them; samples under a bar are skipped.
    int mismatches(const QImage& shown, const shell::ViewLayout& layout, int top,
                   const std::vector<QRect>& covered) const {
        int count = 0;
        const QSize size = layout.screenSize;
        for (const Sample& sample : samples) {
            const QPoint at(layout.screenOrigin.x() +
                                (2 * sample.x + 1) * size.width() / (2 * colour.width),
                            top + layout.screenOrigin.y() +
                                (2 * sample.y + 1) * size.height() / (2 * colour.height));
            const bool hidden = std::any_of(covered.begin(), covered.end(),
                                            [&](const QRect& rect) { return rect.contains(at); });
            if (!hidden) {
                count += shown.valid(at) && near(shown.pixel(at), sample.expected) ? 0 : 1;
            }
        }
        return count;
    }

    // The view's layout and its top under bars of unknown height, where the
    // grab shows the snapshot exactly where the layout function puts it.
    struct Placement {
        shell::ViewLayout layout;
        int top = 0;
    };
    using LayoutAt = std::function<std::optional<shell::ViewLayout>(const QRect& view)>;
    std::optional<Placement> placementOf(const LayoutAt& layoutAt) const {
        const QImage shown = grab();
        const std::vector<QRect> covered = coveredRects();
        for (int top = 0; top <= kMaxViewTop; ++top) {
            const std::optional<shell::ViewLayout> layout =
                layoutAt(QRect(0, 0, shown.width(), shown.height() - top));
            if (layout && mismatches(shown, *layout, top, covered) == 0) {
                return Placement{*layout, top};
            }
        }
        return std::nullopt;
    }

    std::optional<Placement> frontPanel() const {
        return placementOf([&](const QRect& view) {
            return shell::LayoutWithPanel(view, picture, modelFile.model().display);
        });
    }
    bool showsFrontPanel() const { return frontPanel().has_value(); }

    // In fullscreen, above the caption's band and the keyboard bar's edge.
    bool showsScreenAlone() const {
        const ombrix::model::InstrumentModel& model = modelFile.model();
        const QString keyboard = windowNamed(QStringLiteral("^Keyboard$"));
        const int reserved = keyboard.isEmpty() ? 0 : WindowGeometry(keyboard).height();
        return placementOf([&](const QRect& view) {
                   const int band = shell::CaptionBandHeight(true, view.height());
                   return shell::LayoutScreenOnly(view.adjusted(0, 0, 0, -band - reserved),
                                                  QSize(model.displayWidth, model.displayHeight));
               })
            .has_value();
    }

    // The mean brightness of the screen where the front panel shows it.
    int screenBrightness(const Placement& placement) const {
        const QImage shown = grab().copy(QRect(
            placement.layout.screenOrigin + QPoint(0, placement.top), placement.layout.screenSize));
        qint64 sum = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                sum += qGray(shown.pixel(x, y));
            }
        }
        return static_cast<int>(sum / std::max<qint64>(1, qint64{shown.width()} * shown.height()));
    }

    // Samples from a new snapshot, once the simulator has written it.
    void resample(const QString& name) {
        const QString snapshot = scratch.filePath(name);
        sim->controlOk("snapshot 1 " + snapshot.toStdString());
        ASSERT_TRUE(eventually([&] { return QImage(snapshot).width() == colour.width; }));
        samples = samplesOf(colour, QImage(snapshot));
    }

    const ombrix::model::KeyButton& key(const char* name) const {
        return *modelFile.layout().ButtonByName(QString::fromLatin1(name));
    }

    // A point of the front-panel picture on the window.
    static QPoint onWindow(QPoint picture, const Placement& placement) {
        return shell::PictureToWindow(picture, placement.layout) + QPoint(0, placement.top);
    }

    // The key codes the instrument received, in order.
    std::vector<int> receivedKeys() const {
        return ombrix::sim::testing::SimRecord(sim->recordPath(), 1).keyCodes();
    }

    // The status bar's strip at the bottom of the window.
    QImage statusStrip() const {
        const QImage shown = grab();
        return shown.copy(0, shown.height() - 16, 400, 16);
    }

    // Key presses one after the other, as a person types them.
    void press(const QStringList& keys) const {
        run(QStringLiteral("xdotool"), {"windowfocus", window});
        run(QStringLiteral("xdotool"), QStringList{"key", "--delay", "200"} + keys);
    }
};

TEST_F(WindowEndToEnd, ShowsTheInstrumentsScreenInItsFrontPanelAndMarksItWhileUnplugged) {
    EXPECT_TRUE(eventually([&] {
        return run(QStringLiteral("xdotool"), {"getwindowname", window}) ==
               QStringLiteral("lum302plus.def - Ombrix");
    })) << "the title does not name the model";
    std::optional<Placement> placement;
    ASSERT_TRUE(eventually([&] { return (placement = frontPanel()).has_value(); }))
        << "the screen is not where the layout puts it";

    // The last screen stays, dimmed as a lost one, until the instrument is back.
    const QImage connected = statusStrip();
    const int live = screenBrightness(*placement);
    sim->controlOk("unplug 1");
    ASSERT_TRUE(eventually([&] { return statusStrip() != connected; }))
        << "the status bar does not say the instrument is lost";
    EXPECT_TRUE(eventually([&] { return screenBrightness(*placement) < live * 2 / 3; }))
        << "the lost screen looks live";
    sim->controlOk("replug 1");
    EXPECT_TRUE(eventually([&] { return statusStrip() == connected; }))
        << "the status bar does not say connected again";
    EXPECT_TRUE(eventually([&] { return showsFrontPanel(); })) << "the screen is not shown again";
}

TEST_F(WindowEndToEnd, KeysTakeTheWindowToFullscreenAndSpaceBack) {
    ASSERT_TRUE(eventually([&] { return showsFrontPanel(); }));
    press({"alt+v", "f"}); // View, Fullscreen
    EXPECT_TRUE(eventually([&] { return showsScreenAlone(); })) << "no fullscreen layout";
    press({"space"});
    EXPECT_TRUE(eventually([&] { return showsFrontPanel(); })) << "Space did not leave fullscreen";
}

// The window as the geometry rules place it on a real X server: a narrower
// window gets the height that keeps the front panel's shape, fullscreen covers
// the screen, compact mode is a strip, and the normal mode comes back.
TEST_F(WindowEndToEnd, TheWindowKeepsThePanelsShapeAndEachModeItsRectangle) {
    ASSERT_TRUE(eventually([&] { return showsFrontPanel(); }));
    const QRect start = WindowGeometry(window);
    EXPECT_EQ(start.height(), 1010) << "the remembered height";
    const double ratio = double(picture.width()) / picture.height();

    run(QStringLiteral("xdotool"), {"windowsize", window, QString::number(start.width() - 100),
                                    QString::number(start.height())});
    const int expected = start.height() - static_cast<int>(100 / ratio);
    EXPECT_TRUE(eventually([&] {
        return std::abs(WindowGeometry(window).height() - expected) <= 2;
    })) << WindowGeometry(window).height()
        << " instead of " << expected;
    EXPECT_TRUE(eventually([&] { return showsFrontPanel(); }));
    const QRect narrower = WindowGeometry(window);

    press({"alt+v", "f"});
    EXPECT_TRUE(eventually([&] {
        return WindowGeometry(window) == QRect(0, 0, kScreenWidth, kScreenHeight);
    })) << "fullscreen does not cover the screen";
    press({"space"});
    // The remembered height comes back; the width follows from it, to a pixel.
    EXPECT_TRUE(eventually([&] {
        const QRect back = WindowGeometry(window);
        return back.topLeft() == narrower.topLeft() && back.height() == narrower.height() &&
               std::abs(back.width() - narrower.width()) <= 1;
    })) << "the normal window does not come back";

    press({"alt+v", "c"});
    EXPECT_TRUE(eventually([&] { return WindowGeometry(window).height() < 100; })) << "no strip";
}

// A real click on MENU in the front panel, a real click on the keyboard bar's
// ESC and the Enter and Down keys each reach the instrument once, and the
// screens they lead to appear on the window.
TEST_F(WindowEndToEnd, ClicksAndKeysPressTheInstrumentsKeysAndItsNewScreenIsShown) {
    std::optional<Placement> placement;
    ASSERT_TRUE(eventually([&] { return (placement = frontPanel()).has_value(); }));
    const ombrix::base::Rect menu = key("MENU").rect;
    const QPoint menuCentre =
        onWindow(QPoint((menu.left + menu.right) / 2, (menu.top + menu.bottom) / 2), *placement);
    const QPoint ring = onWindow(QPoint(menu.left, (menu.top + menu.bottom) / 2), *placement) -
                        QPoint(4, 0); // on the ring, level with the key's middle
    const auto ringIs = [&](QRgb colour) { return near(grab().pixel(ring), colour); };

    run(QStringLiteral("xdotool"),
        {"mousemove", "--window", window, QString::number(menuCentre.x()),
         QString::number(menuCentre.y()), "mousedown", "1"});
    EXPECT_TRUE(eventually([&] { return ringIs(qRgb(255, 0, 0)); })) << "no red ring";
    run(QStringLiteral("xdotool"), {"mouseup", "1"});
    EXPECT_TRUE(eventually([&] { return !receivedKeys().empty(); }));
    resample(QStringLiteral("menu.png"));
    EXPECT_TRUE(eventually([&] { return showsFrontPanel(); })) << "the menu is not shown";

    const QString bar = windowNamed(QStringLiteral("^Keyboard$"));
    ASSERT_FALSE(bar.isEmpty()) << "no keyboard bar";
    const QRect barArea = WindowGeometry(bar);
    const int barKeys = static_cast<int>(modelFile.layout().toolbarButtons().size());
    ASSERT_EQ(modelFile.layout().toolbarButtons().at(1), key("ESC").keyCode);
    run(QStringLiteral("xdotool"),
        {"mousemove", "--window", bar, QString::number(barArea.width() * 3 / (2 * barKeys)),
         QString::number(barArea.height() / 2), "click", "1"});
    EXPECT_TRUE(eventually([&] { return receivedKeys().size() == 2; }));
    resample(QStringLiteral("escape.png"));
    EXPECT_TRUE(eventually([&] { return showsFrontPanel(); })) << "ESC's screen is not shown";

    // Down last: whatever came twice would arrive before it.
    press({"Return", "Down"});
    EXPECT_TRUE(eventually([&] { return receivedKeys().size() >= 4; }));
    EXPECT_EQ(receivedKeys(), (std::vector<int>{static_cast<int>(key("MENU").keyCode),
                                                static_cast<int>(key("ESC").keyCode),
                                                static_cast<int>(key("OK").keyCode),
                                                static_cast<int>(key("DOWN").keyCode)}));
}

} // namespace

int main(int argc, char** argv) {
    const ombrix::testing::XServer server(kScreenWidth, kScreenHeight);
    if (server.display().empty()) {
        std::fprintf(stderr, "no virtual X server (Xvfb) could be started\n");
        return 1;
    }
    qputenv("DISPLAY", server.display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
