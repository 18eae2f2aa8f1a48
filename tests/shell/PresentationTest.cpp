// The presentation options of the real main window against ombrix-sim: the
// colours a person picks or resets in "Colors setup" show at once, in the
// backlight pair while a one-bit screen's backlight is on, are remembered for
// that model alone, and a cancel changes nothing (the document's timers rest
// meanwhile); sharp pixels and always on top take effect and are kept.
#include "MainFrameFixture.h"
#include "SimProcess.h"
#include "shell/CColorButton.h"
#include "shell/COmbrixView.h"
#include "shell/CSetupDialog.h"

#include <QColorDialog>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace ombrix::shell {
namespace {

using namespace std::chrono_literals;
using base::ColorRef;
using base::DisplayColors;

constexpr int kPatienceMs = 20'000;
constexpr int kBacklightKey = 0x6B; // the simulated instruments' backlight key

// Four colours no sample model has.
DisplayColors chosenColours() {
    DisplayColors colours;
    colours[DisplayColors::Foreground] = ColorRef(0x0000C0u);
    colours[DisplayColors::Background] = ColorRef(0xE0E0E0u);
    colours[DisplayColors::BacklightForeground] = ColorRef(0x400000u);
    colours[DisplayColors::BacklightBackground] = ColorRef(0x00F0F0u);
    return colours;
}

class PresentationTest : public testing::MainFrameFixture {
protected:
    std::optional<sim::testing::SimProcess> sim;

    void startWith(const char* model) {
        sim.emplace(QStringList{"--do", "freeze all on", QString::fromLatin1(model)},
                    scratch.filePath(QStringLiteral("devices")).toStdString());
        ASSERT_TRUE(start()) << startError.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return application->Document().frame() != nullptr; },
                                    kPatienceMs));
    }
    // Another run of the program, with another instrument attached.
    void restartWith(const char* model) {
        TearDown();
        sim.reset();
        startWith(model);
    }

    document::DocumentHost& host() const { return application->Document(); }
    DisplayColors modelColours() const { return host().ModelColours(); }
    bool modelFileIs(const char* name) const {
        return host().ModelFileName() == QString::fromLatin1(name);
    }

    // Ends whatever dialog came instead of the one expected, so the test fails
    // rather than waits for ever.
    static void closeModal() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }
    // Runs "Colors..." with `drive` acting in the dialog once it is open.
    void runColors(const std::function<void(CSetupDialog&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, &frame(), [&] {
            auto* dialog = qobject_cast<CSetupDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                closeModal();
                FAIL() << "no Colors setup dialog";
            }
            EXPECT_FALSE(frame().TimersRunning()) << "the timers ran during the dialog";
            drive(*dialog);
            driven = true;
        });
        trigger(CommandId::Colors);
        EXPECT_TRUE(driven);
    }
    // Picks `colour` for a button in the colour chooser it opens, or cancels.
    static void pick(CSetupDialog& dialog, const char* button, ColorRef colour,
                     bool accept = true) {
        QTimer::singleShot(0, &dialog, [&dialog, button, colour, accept] {
            auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (chooser == nullptr) {
                closeModal();
                FAIL() << "no colour chooser";
            }
            EXPECT_EQ(chooser->currentColor(),
                      ToQColor(dialog.findChild<CColorButton*>(button)->Color()));
            chooser->setCurrentColor(ToQColor(colour));
            accept ? chooser->accept() : chooser->reject();
        });
        dialog.findChild<CColorButton*>(button)->click();
    }
    void pickAll(CSetupDialog& dialog, const DisplayColors& colours) {
        pick(dialog, "foregroundColor", colours[DisplayColors::Foreground]);
        pick(dialog, "backgroundColor", colours[DisplayColors::Background]);
        pick(dialog, "backlightForegroundColor", colours[DisplayColors::BacklightForeground]);
        pick(dialog, "backlightBackgroundColor", colours[DisplayColors::BacklightBackground]);
    }

    // The colours of the screen on show, icon panel included.
    std::set<base::Pixel> shownColours() const {
        const render::CLumImage shown = application->Document().frame()->shown();
        std::set<base::Pixel> colours;
        for (int y = 0; y < shown.Height(); ++y) {
            for (int x = 0; x < shown.Width(); ++x) {
                colours.insert(shown.Pixel(x, y) & 0xFFFFFFu);
            }
        }
        return colours;
    }
    static std::set<base::Pixel> pair(const DisplayColors& colours, DisplayColors::Index ink,
                                      DisplayColors::Index paper) {
        return {base::ToPixel(colours[ink]), base::ToPixel(colours[paper])};
    }
};

TEST_F(PresentationTest, PickedColoursShowAtOnceInTheBacklightPairWhileTheBacklightIsOn) {
    startWith("mono");
    const DisplayColors chosen = chosenColours();
    runColors([&](CSetupDialog& dialog) {
        pickAll(dialog, chosen);
        dialog.accept();
    });
    EXPECT_EQ(host().Colours(), chosen);
    // The instrument's screen is frozen: no new frame brought these colours.
    EXPECT_EQ(shownColours(),
              pair(chosen, DisplayColors::BacklightForeground, DisplayColors::BacklightBackground));
    EXPECT_TRUE(frame().TimersRunning());
    EXPECT_EQ(frame().TimerPeriod(document::DocumentTimer::Refresh), 150ms);
    EXPECT_EQ(frame().TimerPeriod(document::DocumentTimer::Blink), 500ms);

    sim->controlOk("key 1 " + std::to_string(kBacklightKey));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return shownColours() ==
                   pair(chosen, DisplayColors::Foreground, DisplayColors::Background);
        },
        kPatienceMs))
        << "the backlight off does not show the other pair";
}

TEST_F(PresentationTest, APickThenCancelAndACancelledChooserChangeNothing) {
    startWith("mono");
    const DisplayColors before = host().Colours();
    runColors([&](CSetupDialog& dialog) {
        pick(dialog, "foregroundColor", ColorRef(0x0000FFu), false);
        EXPECT_FALSE(dialog.Changed());
        EXPECT_EQ(dialog.Colors(), before);
        pick(dialog, "foregroundColor", ColorRef(0x0000FFu));
        EXPECT_TRUE(dialog.Changed());
        dialog.reject();
    });
    EXPECT_EQ(host().Colours(), before);
    EXPECT_FALSE(application->ModelColors(QStringLiteral("lum745A.def")).has_value());
    EXPECT_TRUE(frame().TimersRunning());
}

// Set default values counts as a change even when nothing was picked: the
// colours in effect may be a presenter's from an earlier run.
TEST_F(PresentationTest, ColoursComeBackForTheirModelAloneUntilSetBackToItsOwn) {
    startWith("mono");
    const DisplayColors chosen = chosenColours();
    runColors([&](CSetupDialog& dialog) {
        pickAll(dialog, chosen);
        dialog.accept();
    });
    // Another model in the same run, then the first again.
    sim->controlOk("swap 1 colour");
    ASSERT_TRUE(QTest::qWaitFor([&] { return modelFileIs("lum302plus.def"); }, kPatienceMs));
    EXPECT_EQ(host().Colours(), DisplayColors{}) << "not the colours every run starts with";
    sim->controlOk("swap 1 mono");
    ASSERT_TRUE(QTest::qWaitFor([&] { return modelFileIs("lum745A.def"); }, kPatienceMs));
    EXPECT_EQ(host().Colours(), chosen);

    restartWith("colour");
    EXPECT_EQ(host().Colours(), DisplayColors{});
    restartWith("mono");
    EXPECT_EQ(host().Colours(), chosen);
    EXPECT_EQ(shownColours(),
              pair(chosen, DisplayColors::BacklightForeground, DisplayColors::BacklightBackground))
        << "the icons or the screen kept the colours of before";

    runColors([&](CSetupDialog& dialog) {
        EXPECT_EQ(dialog.Colors(), chosen);
        dialog.findChild<QPushButton*>(QStringLiteral("setDefaultColors"))->click();
        dialog.accept();
    });
    EXPECT_EQ(host().Colours(), modelColours());
    EXPECT_EQ(shownColours(), pair(modelColours(), DisplayColors::BacklightForeground,
                                   DisplayColors::BacklightBackground));
    restartWith("mono");
    ASSERT_NE(modelColours(), DisplayColors{});
    EXPECT_EQ(host().Colours(), DisplayColors{}) << "the chosen colours were not forgotten";

    // The model's own colours picked one by one, after the defaults: kept.
    runColors([&](CSetupDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("setDefaultColors"))->click();
        pick(dialog, "foregroundColor", modelColours()[DisplayColors::Foreground]);
        dialog.accept();
    });
    EXPECT_EQ(application->ModelColors(QStringLiteral("lum745A.def")), modelColours());
}

TEST_F(PresentationTest, ColoursWaitForAModel) {
    ASSERT_TRUE(start()) << startError.toStdString();
    EXPECT_FALSE(action(CommandId::Colors).isEnabled());
}

TEST_F(PresentationTest, SharpPixelsAndAlwaysOnTopTakeEffectAndAreKept) {
    writeSettings("[MainSettings]\ndisplay_mode=1\n");
    startWith("mono");
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame().View().Layout().has_value(); }, kPatienceMs));
    const double smooth = frame().View().Layout()->zoom;
    trigger(CommandId::SharpPixels);
    EXPECT_TRUE(action(CommandId::SharpPixels).isChecked());
    const double sharp = frame().View().Layout()->zoom;
    EXPECT_EQ(sharp, std::floor(smooth));
    EXPECT_GE(sharp, 1.0);

    EXPECT_FALSE(frame().windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    trigger(CommandId::AlwaysOnTop);
    EXPECT_TRUE(frame().windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(frame().isVisible());

    restartWith("mono");
    EXPECT_TRUE(action(CommandId::SharpPixels).isChecked());
    EXPECT_TRUE(action(CommandId::AlwaysOnTop).isChecked());
    EXPECT_TRUE(frame().windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    trigger(CommandId::AlwaysOnTop);
    EXPECT_FALSE(frame().windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
}

// The view at `zoom` times the front panel's picture, drawn.
QImage viewAtZoom(COmbrixView& view, const QSize& picture, double zoom) {
    view.resize(
        QSize(static_cast<int>(picture.width() * zoom), static_cast<int>(picture.height() * zoom)));
    return view.grab().toImage();
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// At a zoom of 2.72 a smooth or nearest stretch makes instrument pixels 2 or 3
// pixels wide; with sharp pixels each is the same block, the colour the
// instrument shows.
TEST_F(PresentationTest, SharpPixelsGiveEveryInstrumentPixelTheSameBlockInThePanel) {
    writeSettings("[MainSettings/View]\nsharp_pixels=1\n");
    startWith("colour");
    const render::CLumImage& picture = host().PanelPicture();
    for (const double zoom : {1.37, 2.72}) {
        SCOPED_TRACE(zoom);
        const QImage shown =
            viewAtZoom(frame().View(), QSize(picture.Width(), picture.Height()), zoom);
        const render::CLumImage drawn = application->Document().frame()->shown();
        const QImage screen = drawn.AsQImage();
        const ViewLayout& layout = frame().View().Layout().value();
        const int block = layout.screenSize.width() / screen.width();
        ASSERT_GE(block, 1);
        EXPECT_EQ(layout.screenSize, screen.size() * block);
        int uneven = 0;
        for (int y = 0; y < layout.screenSize.height(); ++y) {
            for (int x = 0; x < layout.screenSize.width(); ++x) {
                const QRgb expected = screen.pixel(x / block, y / block) & RGB_MASK;
                const QRgb got = shown.pixel(layout.screenOrigin + QPoint(x, y)) & RGB_MASK;
                uneven += got != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(uneven, 0);
    }
}

// Every sample model, at whole and fractional zooms: right of and under the
// screen lies the panel's colour around its display, never a line of the
// picture's own display.
TEST_F(PresentationTest, NoLightLineShowsBesideAnySampleScreen) {
    startWith("mono");
    const std::pair<const char*, const char*> models[] = {{"mono", "lum745A.def"},
                                                          {"palette", "lum758A_ru.def"},
                                                          {"colour", "lum302plus.def"},
                                                          {"legacy", "lum74x.def"}};
    for (const auto& [model, file] : models) {
        SCOPED_TRACE(model);
        sim->controlOk("swap 1 " + std::string(model));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return modelFileIs(file) && application->Document().frame() != nullptr; },
            kPatienceMs));
        const render::CLumImage& picture = host().PanelPicture();
        const base::Rect& display = host().Model().display;
        const QRgb bezel = picture.Pixel(display.left - 1, (display.top + display.bottom) / 2);
        for (const double zoom : {1.0, 2.0, 3.0, 4.0, 1.37, 2.72}) {
            SCOPED_TRACE(zoom);
            const QImage shown =
                viewAtZoom(frame().View(), QSize(picture.Width(), picture.Height()), zoom);
            const QRect screen = frame().View().ScreenRect();
            ASSERT_EQ(screen, frame().View().Layout()->displayArea);
            int light = 0;
            for (int y = screen.top(); y <= screen.bottom() + 1; ++y) {
                light += near(shown.pixel(screen.right() + 1, y), bezel, 8) ? 0 : 1;
            }
            for (int x = screen.left(); x <= screen.right(); ++x) {
                light += near(shown.pixel(x, screen.bottom() + 1), bezel, 8) ? 0 : 1;
            }
            EXPECT_EQ(light, 0);
        }
    }
}

} // namespace
} // namespace ombrix::shell
