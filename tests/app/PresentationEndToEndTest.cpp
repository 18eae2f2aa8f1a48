// Presentation options in the running window against ombrix-sim, driven with
// the keyboard as a person would: new screen colours chosen in "Colors setup"
// through its buttons and the colour chooser, and sharp pixels, after which
// every instrument pixel of the grab is a solid block in the chosen colours,
// the screen alone and in the front panel, whose zoom is not whole.
#include "EndToEnd.h"
#include "SimProcess.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::eventually;
using ombrix::testing::run;

constexpr int kBacklightKey = 0x6B; // the simulated instruments' backlight key
constexpr int kWidth = 128;         // the one-bit instrument's screen
constexpr int kIconRows = 11;
constexpr int kHeight = 64 + kIconRows;
const QRgb kInk = qRgb(0xC0, 0x00, 0x00);
const QRgb kPaper = qRgb(0xE0, 0xE0, 0xA0);

const char* const kSettings = "[MainSettings]\ndisplay_mode=1\n"
                              "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,700,800\"\n"
                              "[MainSettings/CommandsToolbar]\nvisible=0\n";

// The smallest rectangle holding every pixel of the two colours.
QRect areaOf(const QImage& image, QRgb first, QRgb second) {
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & RGB_MASK;
            if (pixel == (first & RGB_MASK) || pixel == (second & RGB_MASK)) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

// Instrument pixels of the display whose block is not all the colour the
// snapshot gives them, in a screen of `zoom` x `zoom` blocks at `area`.
int wrongBlocks(const QImage& grab, const QRect& area, int zoom, const QImage& snapshot) {
    int wrong = 0;
    for (int y = 0; y < snapshot.height(); ++y) {
        for (int x = 0; x < snapshot.width(); ++x) {
            const QRgb expected = (snapshot.pixelIndex(x, y) == 1 ? kInk : kPaper) & RGB_MASK;
            bool solid = true;
            for (int dy = 0; dy < zoom && solid; ++dy) {
                for (int dx = 0; dx < zoom && solid; ++dx) {
                    solid = (grab.pixel(area.left() + x * zoom + dx,
                                        area.top() + (kIconRows + y) * zoom + dy) &
                             RGB_MASK) == expected;
                }
            }
            wrong += solid ? 0 : 1;
        }
    }
    return wrong;
}

class PresentationEndToEnd : public ::testing::Test {
protected:
    QTemporaryDir scratch;

    static void keys(const QStringList& names) {
        run(QStringLiteral("xdotool"), QStringList{"key", "--delay", "150"} + names);
    }
    // Without a window manager a new dialog gets the keyboard from us.
    static bool focusOn(const QString& title) {
        QString dialog;
        const bool shown = eventually([&] {
            dialog = ombrix::testing::windowNamed(title);
            return !dialog.isEmpty();
        });
        if (shown) {
            run(QStringLiteral("xdotool"), {"windowfocus", "--sync", dialog});
        }
        return shown;
    }
    // In the colour chooser that is open: the colour typed into its HTML field.
    static void chooseColour(const QString& html) {
        keys({"alt+h", "ctrl+a"});
        run(QStringLiteral("xdotool"), {"type", "--delay", "50", html});
        keys({"Return"});
    }
};

TEST_F(PresentationEndToEnd, ChosenColoursAndSharpPixelsShowInTheWindow) {
    const QString snapshotPath = scratch.filePath(QStringLiteral("snapshot.png"));
    // The backlight off: the screen shows the foreground and background.
    SimProcess sim({"--do", "freeze all on", "--do", "key 1 " + QString::number(kBacklightKey),
                    "--do", "snapshot 1 " + snapshotPath, "mono"});
    ombrix::testing::OmbrixProcess program(sim.deviceDirectory(), kSettings);
    ASSERT_TRUE(program.started());
    const QString window = program.waitForModel();
    ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
    const QImage snapshot(snapshotPath);
    ASSERT_EQ(snapshot.size(), QSize(kWidth, kHeight - kIconRows));

    run(QStringLiteral("xdotool"), {"windowfocus", window});
    keys({"alt+v", "Down", "Down", "Down", "Down", "Down", "Down", "Return"}); // Colors...
    ASSERT_TRUE(focusOn(QStringLiteral("^Colors setup$")));
    keys({"space"}); // Foreground
    ASSERT_TRUE(focusOn(QStringLiteral("^Select Color$")));
    chooseColour(QStringLiteral("#c00000"));
    ASSERT_TRUE(focusOn(QStringLiteral("^Colors setup$")));
    keys({"Tab", "space"}); // Background
    ASSERT_TRUE(focusOn(QStringLiteral("^Select Color$")));
    chooseColour(QStringLiteral("#e0e0a0"));
    ASSERT_TRUE(focusOn(QStringLiteral("^Colors setup$")));
    keys({"Tab", "Tab", "Tab", "Tab", "space"}); // OK
    ASSERT_TRUE(
        eventually([] { return ombrix::testing::windowNamed("^Colors setup$").isEmpty(); }));

    const auto grab = [&] {
        return QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    };
    EXPECT_TRUE(eventually([&] { return !areaOf(grab(), kInk, kPaper).isEmpty(); }))
        << "the chosen colours are not on show";

    run(QStringLiteral("xdotool"), {"windowfocus", window});
    keys({"alt+v", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Return"}); // Sharp
    QRect area;
    EXPECT_TRUE(eventually([&] {
        area = areaOf(grab(), kInk, kPaper);
        return area.width() % kWidth == 0 && area.height() == area.width() / kWidth * kHeight;
    })) << "the screen is "
        << area.width() << " x " << area.height();
    const int zoom = area.width() / kWidth;
    ASSERT_GE(zoom, 2);
    EXPECT_EQ(wrongBlocks(grab(), area, zoom, snapshot), 0);

    keys({"alt+v", "Down", "Down", "Right", "Return"}); // Normal, With keyboard
    EXPECT_TRUE(eventually([&] {
        const QRect inPanel = areaOf(grab(), kInk, kPaper);
        return inPanel.width() < area.width() && inPanel.width() % kWidth == 0 &&
               inPanel.height() == inPanel.width() / kWidth * kHeight;
    })) << "the screen in the panel is not at a whole zoom";
    area = areaOf(grab(), kInk, kPaper);
    const int panelZoom = area.width() / kWidth;
    ASSERT_GE(panelZoom, 2);
    EXPECT_EQ(wrongBlocks(grab(), area, panelZoom, snapshot), 0);
}

} // namespace
