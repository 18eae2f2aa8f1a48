#include "instrument/SimulatedInstrument.h"

#include "catalogue/ModelCatalogue.h"
#include "instrument/InstrumentPort.h"
#include "screen/StatusIcons.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace ombrix::sim {
namespace {

constexpr std::uint16_t kWordBacklight = 0x8000;
constexpr std::uint16_t kWordNewContent = 0x4000;

Bytes text(std::string_view value) {
    return Bytes(value.begin(), value.end());
}

std::uint16_t word(const Bytes& bytes, std::size_t index) {
    return static_cast<std::uint16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

class InstrumentTest : public testing::Test {
protected:
    explicit InstrumentTest(std::string_view model = "mono") : model_(*findModel(model)) {}

    Bytes ask(CommandKind kind) { return instrument_.answer({kind, 0}, faults_).value(); }
    void press(std::uint8_t code) {
        EXPECT_FALSE(instrument_.answer({CommandKind::Key, code}, faults_).has_value());
    }
    // The status flags of "#7,IC;": s = w0 AND NOT w1.
    std::uint16_t iconStatus() {
        const Bytes icons = ask(CommandKind::Icons);
        return static_cast<std::uint16_t>(word(icons, 0) & ~word(icons, 1));
    }
    std::uint16_t blockStatus() {
        const Bytes status = ask(CommandKind::Status);
        return word(Bytes(status.begin() + 10, status.end()), 0);
    }

    const InstrumentModel& model_;
    FaultSettings faults_;
    SimulatedInstrument instrument_{model_, 1234};
};

// New content is reported from the start, to a new host, and after the
// reading moved or a key changed the screen, until the screen is read.
TEST_F(InstrumentTest, ReportsNewContentUntilTheScreenIsRead) {
    EXPECT_TRUE(iconStatus() & kWordNewContent);
    ask(CommandKind::Screen);
    EXPECT_FALSE(iconStatus() & kWordNewContent);
    EXPECT_FALSE(iconStatus() & kWordNewContent);
    instrument_.tick();
    EXPECT_TRUE(iconStatus() & kWordNewContent);
    ask(CommandKind::Screen);
    press(model_.keys.up); // the arrows move nothing on the measurement page
    EXPECT_FALSE(iconStatus() & kWordNewContent);
    press(model_.keys.menu);
    EXPECT_TRUE(iconStatus() & kWordNewContent);
    ask(CommandKind::Screen);
    instrument_.onConnected();
    EXPECT_TRUE(iconStatus() & kWordNewContent);
}

TEST_F(InstrumentTest, IconsAreSteadyOrBlinkingByTheirWordPair) {
    const Bytes icons = ask(CommandKind::Icons);
    const std::uint16_t shown = word(icons, 0);
    const std::uint16_t blinking = word(icons, 1);
    EXPECT_TRUE((shown & ~blinking) & kIconBattery);  // steady
    EXPECT_TRUE((shown & blinking) & kIconMeasuring); // blinking
    EXPECT_EQ(blinking & (kWordBacklight | kWordNewContent), 0);
    EXPECT_EQ(word(icons, 2), kIconBacklight);
    EXPECT_TRUE(iconStatus() & kWordBacklight);
    press(model_.keys.backlight);
    EXPECT_FALSE(iconStatus() & kWordBacklight);
    press(model_.keys.hold);
    EXPECT_TRUE((word(ask(CommandKind::Icons), 0) & ~word(ask(CommandKind::Icons), 1)) & kIconHold);
}

TEST_F(InstrumentTest, NoIconReplyEverHoldsTheStopByte) {
    // Every combination of hold, menu, alarm and backlight.
    for (int state = 0; state < 16; ++state) {
        SimulatedInstrument instrument(model_, 1);
        const auto press = [&](std::uint8_t code) {
            instrument.answer({CommandKind::Key, code}, faults_);
        };
        if (state & 1) {
            press(model_.keys.hold);
        }
        if (state & 2) {
            for (const std::uint8_t code :
                 {model_.keys.menu, model_.keys.enter, model_.keys.digits[1], model_.keys.enter}) {
                press(code);
            }
        }
        if (state & 4) {
            press(model_.keys.menu);
        }
        if (state & 8) {
            press(model_.keys.backlight);
        }
        const Bytes icons = instrument.answer({CommandKind::Icons, 0}, faults_).value();
        EXPECT_EQ(std::count(icons.begin(), icons.end(), '?'), 0) << "state " << state;
    }
}

TEST_F(InstrumentTest, EachFaultChangesOnlyTheRepliesItNames) {
    EXPECT_EQ(ask(CommandKind::Identify), text("#1,U745A,W1.05.3,N1234,S2A4F;")); // its own serial
    faults_.garbageIdentification = true;
    EXPECT_EQ(ask(CommandKind::Identify), encodeGarbageIdentification());
    EXPECT_EQ(ask(CommandKind::ShortIdentify), encodeGarbageIdentification());
    EXPECT_EQ(ask(CommandKind::UsValue), text("#7,US,1;"));

    faults_ = {};
    faults_.unsupported = {CommandKind::ScreenParameters, CommandKind::Icons};
    faults_.cutAfter[CommandKind::Screen] = 100;
    faults_.cutAfter[CommandKind::UsValue] = 1000;
    EXPECT_EQ(ask(CommandKind::ScreenParameters), encodeNotSupported());
    EXPECT_EQ(ask(CommandKind::Icons), encodeNotSupported());
    EXPECT_EQ(ask(CommandKind::Status).size(), 12U);
    EXPECT_EQ(ask(CommandKind::Screen).size(), 100U);
    EXPECT_EQ(ask(CommandKind::UsValue), text("#7,US,1;"));

    faults_ = {};
    faults_.stalled = true; // answers nothing and ignores keys
    EXPECT_FALSE(instrument_.answer({CommandKind::Identify, 0}, faults_).has_value());
    instrument_.answer({CommandKind::Key, model_.keys.backlight}, faults_);
    EXPECT_TRUE(instrument_.panel().backlight());
}

TEST(SimulatedInstrument, PaletteModelReportsStatusByBlockAndRefusesIcons) {
    SimulatedInstrument instrument(*findModel("palette"), 1);
    const Bytes status = instrument.answer({CommandKind::Status, 0}, {}).value();
    EXPECT_EQ(status, (Bytes{'#', '7', ',', 'S', 'P', ',', '3', ',', 2, 0,
                             kStatusBacklight | kStatusNewContent, 0}));
    EXPECT_EQ(instrument.answer({CommandKind::Icons, 0}, {}), encodeNotSupported());
}

TEST(SimulatedInstrument, OldFirmwareRefusesScreenRequestsAndUsButReportsStatusByIcons) {
    SimulatedInstrument instrument(*findModel("legacy"), 1);
    for (const CommandKind kind : {CommandKind::ScreenParameters, CommandKind::Palette,
                                   CommandKind::Status, CommandKind::UsValue}) {
        EXPECT_EQ(instrument.answer({kind, 0}, {}), encodeNotSupported());
    }
    const Bytes icons = instrument.answer({CommandKind::Icons, 0}, {}).value();
    // No icon panel: only the two status flags.
    EXPECT_EQ(icons, (Bytes{0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SimulatedInstrument, DirectColourModelsDimTheirScreenWithTheBacklight) {
    const InstrumentModel& model = *findModel("colour");
    SimulatedInstrument instrument(model, 1);
    const Bytes lit = instrument.answer({CommandKind::Screen, 0}, {}).value();
    instrument.answer({CommandKind::Key, model.keys.backlight}, {});
    EXPECT_NE(instrument.answer({CommandKind::Screen, 0}, {}).value(), lit);
    EXPECT_EQ(instrument.answer({CommandKind::Status, 0}, {}).value()[10], 0);
}

// A frozen port keeps its screen while the clock ticks, and moves again when thawed.
TEST(FrozenPort, KeepsItsScreenUntilThawed) {
    Recorder recorder;
    InstrumentPort port{1, "unused.sock",
                        std::make_unique<SimulatedInstrument>(*findModel("colour"), 7), recorder};
    port.setFrozen(true);
    const QImage before = port.instrument().snapshot();
    port.tick();
    port.tick();
    EXPECT_EQ(port.instrument().snapshot(), before);
    port.setFrozen(false);
    port.tick();
    EXPECT_NE(port.instrument().snapshot(), before);
}

} // namespace
} // namespace ombrix::sim
