// Each simulated model's screen, read through the application's device link and
// converted by its renderer, compared pixel by pixel with the simulator's own
// picture of the values it packed.
#include "LinkFixture.h"
#include "SimScreen.h"
#include "base/Colors.h"
#include "catalogue/ModelCatalogue.h"
#include "render/CLumImage.h"
#include "render/ScreenConversion.h"
#include "session/ScreenRequests.h"

#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace ombrix::sim::testing {
namespace {

using render::CLumImage;
using session::Bytes;

// The application's default colours for a one-bit screen with the backlight off.
constexpr std::uint32_t kPaper = 0x00FFFFFF;
constexpr std::uint32_t kInk = 0x00000000;

std::uint32_t expectedPixel(const InstrumentModel& model, const QImage& snapshot, int x, int y) {
    return ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y);
}

std::uint8_t reversedBits(std::uint8_t byte) {
    std::uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed = static_cast<std::uint8_t>(reversed | (((byte >> bit) & 1U) << (7 - bit)));
    }
    return reversed;
}

// What the application received and the parameters it decoded on the way.
struct ReceivedScreen {
    session::DisplayParameters params;
    session::Palette palette;
    session::IconState state;
    Bytes data;
};

class ScreenMatch : public ::testing::TestWithParam<std::string_view> {
protected:
    ScreenMatch() : model_(*findModel(GetParam())), port_(portOf(GetParam())) {}

    static int portOf(std::string_view key) {
        const auto models = allModels();
        const auto found = std::find_if(models.begin(), models.end(),
                                        [&](const InstrumentModel& m) { return m.key == key; });
        return static_cast<int>(found - models.begin()) + 1;
    }

    static QStringList simArguments() {
        QStringList arguments{"--do", "freeze all on"};
        for (const InstrumentModel& model : allModels()) {
            arguments.push_back(QString::fromUtf8(model.key.data(), model.key.size()));
        }
        return arguments;
    }

    ReceivedScreen readScreen() {
        const link::Serial serial = app_.open(model_.identification.serial);
        ReceivedScreen received;
        session::QueryScreenParameters(app_.source, received.params, serial);
        session::BuildPalette(app_.source, received.params, received.palette, serial);
        session::QueryStatus(app_.source, received.state, received.params, serial);
        const std::uint32_t count =
            session::ScreenByteCount(model_.width, model_.height, received.params.bitsPerPixel);
        session::ReadScreen(app_.source, received.data, count, serial);
        return received;
    }

    CLumImage convert(const ReceivedScreen& received, const Bytes& data) const {
        const render::ScreenGeometry geometry{model_.width, model_.height, model_.iconPanelHeight};
        CLumImage screen;
        EXPECT_TRUE(render::CreateScreenImage(screen, geometry));
        const bool oneBit = received.params.bitsPerPixel == 1;
        const bool backlight = (received.state.StatusWord & session::kStatusBacklight) != 0;
        const session::Palette palette =
            oneBit ? render::MonochromePalette(base::DisplayColors{}, backlight) : received.palette;
        render::ConvertScreen(screen, geometry, received.params, palette, data);
        return screen;
    }

    QImage snapshot() {
        const std::string path = scratch_.filePath("screen.png").toStdString();
        sim_.controlOk("snapshot " + std::to_string(port_) + " " + path);
        return QImage(QString::fromStdString(path));
    }

    // Display pixels of the converted screen that differ from the expected colours.
    int mismatches(const CLumImage& screen, const QImage& picture, std::string* first) const {
        const int top = render::DisplayTop({model_.width, model_.height, model_.iconPanelHeight},
                                           static_cast<std::uint32_t>(model_.bitsPerPixel));
        int count = 0;
        for (int y = 0; y < model_.height; ++y) {
            for (int x = 0; x < model_.width; ++x) {
                if (screen.Pixel(x, top + y) != expectedPixel(model_, picture, x, y)) {
                    if (count++ == 0 && first != nullptr) {
                        *first = std::string("(")
                                     .append(std::to_string(x))
                                     .append(", ")
                                     .append(std::to_string(y))
                                     .append(")");
                    }
                }
            }
        }
        return count;
    }

    std::set<std::uint32_t> expectedColours(const QImage& picture) const {
        std::set<std::uint32_t> colours;
        for (int y = 0; y < model_.height; ++y) {
            for (int x = 0; x < model_.width; ++x) {
                colours.insert(expectedPixel(model_, picture, x, y));
            }
        }
        return colours;
    }

    // The first column that differs from the one right of it; the width when none does.
    int differingColumn(const QImage& picture) const {
        for (int x = 0; x + 1 < model_.width; ++x) {
            for (int y = 0; y < model_.height; ++y) {
                if (expectedPixel(model_, picture, x, y) !=
                    expectedPixel(model_, picture, x + 1, y)) {
                    return x;
                }
            }
        }
        return model_.width;
    }

    void switchBacklightOff() {
        sim_.controlOk("key " + std::to_string(port_) + " " +
                       std::to_string(model_.keys.backlight));
    }

    const InstrumentModel& model_;
    int port_;
    QTemporaryDir scratch_;
    SimProcess sim_{simArguments()};
    link::SystemClock clock_;
    AppLink app_{sim_.deviceDirectory(), clock_};
};

TEST_P(ScreenMatch, ConvertedScreenEqualsWhatTheSimulatorPacked) {
    if (model_.bitsPerPixel == 1) {
        switchBacklightOff(); // the default colours are the ones without backlight
    }
    const ReceivedScreen received = readScreen();
    ASSERT_EQ(received.params.bitsPerPixel, static_cast<std::uint32_t>(model_.bitsPerPixel));
    EXPECT_NE(received.state.StatusWord & session::kStatusNewScreen, 0) << "a new host's frame";
    if (model_.bitsPerPixel == 1) {
        ASSERT_EQ(received.state.StatusWord & session::kStatusBacklight, 0);
    }
    ASSERT_EQ(received.data.size(),
              session::ScreenByteCount(model_.width, model_.height, model_.bitsPerPixel));
    const QImage picture = snapshot();
    ASSERT_EQ(picture.size(), QSize(model_.width, model_.height));
    const auto colours = expectedColours(picture);
    ASSERT_GE(colours.size(), 2U) << "a blank screen proves nothing";
    if (model_.bitsPerPixel == 1) {
        EXPECT_EQ(colours, (std::set<std::uint32_t>{kInk, kPaper}));
    }
    std::string first;
    EXPECT_EQ(mismatches(convert(received, received.data), picture, &first), 0)
        << "first differing pixel " << first;
}

// A receiver that unpacked the bytes in another way must disagree with the
// snapshot, or the comparison above would prove nothing.
TEST_P(ScreenMatch, ComparisonCatchesMisreadBytes) {
    if (model_.bitsPerPixel == 1) {
        switchBacklightOff();
    }
    const ReceivedScreen received = readScreen();
    const QImage picture = snapshot();
    const std::size_t columnBytes =
        static_cast<std::size_t>(model_.height) * static_cast<std::size_t>(model_.bitsPerPixel) / 8;
    const std::size_t column = static_cast<std::size_t>(differingColumn(picture));
    ASSERT_LT(column + 1, static_cast<std::size_t>(model_.width)) << "no two columns differ";
    const std::vector<std::pair<std::string, std::function<void(Bytes&)>>> misreadings{
        {"bits most significant first",
         [](Bytes& data) { std::transform(data.begin(), data.end(), data.begin(), reversedBits); }},
        {"bytes of each word swapped",
         [](Bytes& data) {
             for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
                 std::swap(data[i], data[i + 1]);
             }
         }},
        {"two neighbouring columns swapped",
         [columnBytes, column](Bytes& data) {
             const auto left = data.begin() + static_cast<std::ptrdiff_t>(column * columnBytes);
             std::swap_ranges(left, left + static_cast<std::ptrdiff_t>(columnBytes),
                              left + static_cast<std::ptrdiff_t>(columnBytes));
         }},
    };
    for (const auto& [name, misread] : misreadings) {
        Bytes data = received.data;
        misread(data);
        EXPECT_GT(mismatches(convert(received, data), picture, nullptr), 0) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ScreenMatch,
                         ::testing::Values("mono", "palette", "colour", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace ombrix::sim::testing
