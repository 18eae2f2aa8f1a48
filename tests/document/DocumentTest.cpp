#include "ScriptedSession.h"
#include "document/COmbrixDoc.h"
#include "document/DocumentName.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <thread>

namespace ombrix::document {
namespace {

using namespace std::chrono_literals;
using session::ModelSelection;

const std::filesystem::path kPrograms = OMBRIX_SAMPLE_MODELS_DIR;
const ModelSelection kMono{kPrograms / "Data" / "lum745A.def", 10745};

// Real time granted to the worker thread for what takes it a few passes.
constexpr auto kPatience = 10s;

// Whether `condition` comes true within the patience, checked every few milliseconds.
template <typename Condition> bool eventually(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The document with its worker thread running on real time, over scripted
// instruments, with the sample models as program directory.
class DocumentTest : public ::testing::Test {
protected:
    link::SystemClock clock;
    link::ScriptedBackend backend{clock};
    link::UsbConnection connection{backend, clock};
    std::unique_ptr<COmbrixDoc> doc;

    // Before the members of derived fixtures that the hooks may use go.
    void TearDown() override { doc.reset(); }

    // Scripted instruments have to be added before the worker starts.
    void start(COmbrixDoc::Hooks hooks = {}) {
        doc = std::make_unique<COmbrixDoc>(
            connection, COmbrixDoc::Options{kPrograms, std::nullopt, false, std::move(hooks)});
    }

    void start(ScreenshotSaver saver) {
        COmbrixDoc::Hooks hooks;
        hooks.saveScreenshot = std::move(saver);
        start(std::move(hooks));
    }

    std::uint64_t generation() const {
        const std::shared_ptr<const Frame> frame = doc->LatestFrame();
        return frame ? frame->generation : 0;
    }

    // The 128 x 64 one-bit instrument, always showing a new, all-dark screen.
    link::ScriptedDevice& addMonoInstrument() {
        link::ScriptedDevice& device = backend.addDevice("sock:/745");
        device.answer(";#1,U?,N?;", "#1,U745A,N10745;");
        device.answer(";#7,US;", "#7,US,1;");
        device.answer(";#1,U?,W?,N?,S?;", "#1,U745A,W1.05.3,N10745,S2A4F;");
        device.answer("#7,SP,1;", session::testing::Block("#7,SP,1,", session::Bytes{1, 0}));
        std::string icons(12, '\0');
        icons[1] = '\x40';
        device.answer("#7,IC;", icons);
        device.answer("#7,SC;", std::string(1024, '\xFF'));
        return device;
    }

    // The 4-bit palette instrument, always showing a new screen of `screenBytes`.
    link::ScriptedDevice& addPaletteInstrument(std::size_t screenBytes,
                                               const std::string& serial = "20758") {
        link::ScriptedDevice& device = backend.addDevice("sock:/758");
        device.answer(";#1,U?,N?;", "#1,U758,N" + serial + ";");
        device.answer(";#7,US;", "#7,US,2;");
        device.answer(";#1,U?,W?,N?,S?;", "#1,U758,W4.62.1,N" + serial + ",S1C07;");
        device.answer("#7,SP,1;", session::testing::Block("#7,SP,1,", session::Bytes{4, 0}));
        device.answer("#7,SP,2;", session::testing::Block("#7,SP,2,", std::string(48, '\x80')));
        device.answer("#7,SP,3;", session::testing::Block("#7,SP,3,", session::Bytes{2, 0}));
        device.answer("#7,SC;", std::string(screenBytes, '\x12'));
        return device;
    }
};

TEST_F(DocumentTest, EverySampleModelOpensWithItsScreenAndSelection) {
    struct Sample {
        const char* file;
        link::Serial serial;
        render::ScreenGeometry geometry;
    };
    const Sample samples[] = {{"Data/lum745A.def", 10745, {128, 64, 11}},
                              {"Data/lum758A_ru.def", 20758, {240, 160, 0}},
                              {"Data/lum302plus.def", 30302, {320, 240, 0}},
                              {"lum74x.def", 40741, {122, 32, 0}}};
    start();
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.file);
        const ModelSelection selection{kPrograms / sample.file, sample.serial};
        ASSERT_TRUE(doc->OpenDocument(DocumentName(selection))) << doc->LoadError().toStdString();
        EXPECT_TRUE(doc->ViewsEnabled());
        EXPECT_EQ(doc->SyncInfo().selection(), selection);
        EXPECT_EQ(doc->GetSerialText(), QString::number(sample.serial));
        EXPECT_FALSE(doc->PanelPicture().IsEmpty());

        const auto dataSet = doc->GetDataSetReadOnly();
        const render::ScreenGeometry& geometry = sample.geometry;
        EXPECT_EQ((*dataSet)->geometry, geometry);
        EXPECT_EQ((*dataSet)->screenImage.Width(), geometry.displayWidth);
        EXPECT_EQ((*dataSet)->screenImage.Height(),
                  geometry.displayHeight + geometry.iconsPanelHeight);
        if (geometry.iconsPanelHeight > 0) {
            for (const render::CLumImage& icon : (*dataSet)->iconImages) {
                EXPECT_FALSE(icon.IsEmpty());
            }
        }
    }
}

TEST_F(DocumentTest, AFailedOpenIsRetriedOnTheNextTimerTick) {
    QTemporaryDir programs;
    const std::filesystem::path root = programs.path().toStdString();
    start();
    EXPECT_EQ(doc->GetSerialText(), "");
    EXPECT_FALSE(doc->OpenDocument("lum745A.def"));
    EXPECT_TRUE(doc->LoadError().contains("lum745A.def"));

    const ModelSelection selection{root / "Data" / "lum745A.def", 10745};
    EXPECT_FALSE(doc->OpenDocument(DocumentName(selection)));
    EXPECT_FALSE(doc->LoadError().isEmpty());
    EXPECT_EQ(doc->GetSerialText(), "10745");
    doc->OnTimer(DocumentTimer::Refresh);
    EXPECT_TRUE(doc->SyncInfo().modelChanged());

    std::filesystem::copy(kPrograms, root, std::filesystem::copy_options::recursive);
    doc->OnTimer(DocumentTimer::Refresh);
    EXPECT_FALSE(doc->SyncInfo().modelChanged());
    EXPECT_TRUE(doc->LoadError().isEmpty());
    EXPECT_EQ(doc->Model().model().displayWidth, 128);
}

// A model opened by name is not opened again at the next tick, which would
// reset what the window made of it.
TEST_F(DocumentTest, AnOpenedModelIsLoadedOnce) {
    int loads = 0;
    COmbrixDoc::Hooks hooks;
    hooks.modelLoaded = [&loads] { ++loads; };
    start(std::move(hooks));
    ASSERT_TRUE(
        doc->OpenDocument(DocumentName(ModelSelection{kPrograms / "Data" / "lum745A.def", 10745})));
    doc->OnTimer(DocumentTimer::Refresh);
    doc->OnTimer(DocumentTimer::Blink);
    EXPECT_EQ(loads, 1);
}

TEST_F(DocumentTest, AModelFileWithoutAFrontPanelKeepsShowingFramesAfterASwap) {
    QTemporaryDir programs;
    const std::filesystem::path root = programs.path().toStdString();
    std::filesystem::copy(kPrograms, root, std::filesystem::copy_options::recursive);
    {
        // The file format lets a model file stop before its front-panel picture.
        QFile bare(QString::fromStdString((root / "Data" / "lum758A_ru.def").string()));
        ASSERT_TRUE(bare.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QString text = QStringLiteral("\uFEFF[Main]\nDataDir=\"LUM758\"\n");
        bare.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    link::ScriptedDevice& mono = addMonoInstrument();
    // The same instrument comes back as the palette model (its serial, so the
    // session takes it at once); the mono model's screen is what it is read as.
    link::ScriptedDevice& palette = addPaletteInstrument(128 * 64 * 4 / 8, "10745");
    palette.setPresent(false);
    doc = std::make_unique<COmbrixDoc>(connection,
                                       COmbrixDoc::Options{root, std::nullopt, false, {}});
    const auto tickUntil = [&](auto condition) {
        return eventually([&] {
            doc->OnTimer(DocumentTimer::Refresh);
            return condition();
        });
    };
    ASSERT_TRUE(tickUntil([&] { return generation() > 0; }));

    mono.setPresent(false);
    palette.setPresent(true);
    ASSERT_TRUE(tickUntil([&] {
        const std::optional<session::ModelSelection> selection = doc->SyncInfo().selection();
        return selection && selection->modelPath.filename() == "lum758A_ru.def";
    }));
    const std::uint64_t swapped = generation();
    EXPECT_TRUE(tickUntil([&] { return generation() > swapped; }));
    EXPECT_TRUE(doc->LoadError().isEmpty());
    EXPECT_EQ(doc->Model().model().displayWidth, 128);
}

TEST_F(DocumentTest, ColoursAndTheCompactModesPolling) {
    start();
    base::DisplayColors colours;
    colours[base::DisplayColors::Foreground] = base::ColorRef(0x0000FFu);
    doc->SetColours(colours);
    EXPECT_EQ(doc->GetColours(), colours);

    doc->UpdatePollingMode(kCompactDisplayMode);
    EXPECT_FALSE(doc->SyncInfo().shouldPoll());
    ASSERT_TRUE(doc->OpenDocument(DocumentName(kMono)));
    EXPECT_FALSE(doc->SyncInfo().shouldPoll());
    for (const std::uint32_t mode : {0u, 1u, 2u, 4u}) {
        doc->UpdatePollingMode(mode);
        EXPECT_TRUE(doc->SyncInfo().shouldPoll()) << mode;
    }
}

TEST_F(DocumentTest, TimerTwoTogglesTheBlinkPhaseWhileViewsAreEnabled) {
    int updates = 0;
    COmbrixDoc::Hooks hooks;
    hooks.updateViews = [&updates] { ++updates; };
    start(hooks);
    doc->OnTimer(DocumentTimer::Refresh);
    EXPECT_FALSE(doc->BlinkPhase());
    doc->OnTimer(DocumentTimer::Blink);
    EXPECT_TRUE(doc->BlinkPhase());
    doc->OnTimer(DocumentTimer::Blink);
    EXPECT_FALSE(doc->BlinkPhase());
    EXPECT_EQ(updates, 3);
    doc->StopThreads();
    doc->OnTimer(DocumentTimer::Blink);
    EXPECT_FALSE(doc->BlinkPhase());
    EXPECT_EQ(updates, 3);
}

TEST_F(DocumentTest, NewColoursShowAtOnceAndRecolourTheIconImages) {
    addMonoInstrument();
    std::atomic<int> framesReady{0};
    COmbrixDoc::Hooks hooks;
    hooks.frameReady = [&framesReady] { ++framesReady; };
    start(hooks);
    ASSERT_TRUE(doc->OpenDocument(DocumentName(kMono)));
    ASSERT_TRUE(eventually([&] { return generation() > 0; }));
    const auto blackPixels = [&](int slot) {
        const auto dataSet = doc->GetDataSetReadOnly();
        const render::CLumImage& image = (**dataSet).iconImages[static_cast<std::size_t>(slot)];
        return std::count(image.Bits(), image.Bits() + image.Width() * image.Height(), 0u);
    };
    const auto inked = blackPixels(0);
    ASSERT_GT(inked, 0);
    const std::uint64_t before = generation();
    base::DisplayColors colours;
    colours[base::DisplayColors::Foreground] = base::ColorRef(0x0000FFu); // red
    {
        // Holding the data set, as a caller of these operations may.
        const auto held = doc->GetDataSet();
        doc->SetColours(colours);
        EXPECT_EQ(doc->GetColours(), colours);
    }
    EXPECT_EQ(blackPixels(0), 0);
    EXPECT_EQ(blackPixels(5), inked); // the backlight strips keep their black
    {
        const auto dataSet = doc->GetDataSet();
        const render::CLumImage& strip = (**dataSet).iconImages[0];
        EXPECT_EQ(
            std::count(strip.Bits(), strip.Bits() + strip.Width() * strip.Height(), 0x00FF0000u),
            inked);
    }
    // The all-dark screen is red at once, with no new screen from the instrument.
    EXPECT_GT(generation(), before);
    EXPECT_EQ(doc->LatestFrame()->screen.Pixel(0, 20), 0x00FF0000u);
    EXPECT_GE(framesReady.load(), 2);
}

// A saver whose result tells which frame and which settings it saved.
int frameAndCounter(const Frame& frame, const ScreenshotRequest& request) {
    return static_cast<int>(frame.generation * 100 + request.settings.Counter());
}

ScreenshotRequest counted(std::uint32_t counter) {
    ScreenshotRequest request;
    request.settings.SetCounter(counter);
    return request;
}

// The instrument is unplugged until the test plugs it in, with polling off and
// the model open, so no frame arrives unless a screenshot asks for one.
class DocumentScreenshotTest : public DocumentTest {
protected:
    link::ScriptedDevice& device = addMonoInstrument();
    std::atomic<int> saves{0};

    void SetUp() override {
        device.setPresent(false);
        start([this](const Frame& frame, const ScreenshotRequest& request) {
            ++saves;
            return frameAndCounter(frame, request);
        });
        doc->UpdatePollingMode(kCompactDisplayMode);
        ASSERT_TRUE(doc->OpenDocument(DocumentName(kMono)));
    }

    bool screenshotEnded() {
        return eventually([&] { return doc->ScreenshotResult().has_value(); });
    }
};

TEST_F(DocumentScreenshotTest, AScreenshotSavesTheFrameOfAPollItAskedFor) {
    device.setPresent(true);
    ASSERT_TRUE(doc->StartScreenshot(counted(7)));
    ASSERT_TRUE(screenshotEnded());
    EXPECT_EQ(doc->ScreenshotResult(), 107);
    EXPECT_FALSE(doc->SyncInfo().refreshRequested());
}

TEST_F(DocumentScreenshotTest, ANewScreenshotReplacesOneThatStillWaits) {
    ASSERT_TRUE(doc->StartScreenshot(counted(1)));
    EXPECT_FALSE(doc->ScreenshotResult().has_value());
    ASSERT_TRUE(doc->StartScreenshot(counted(2)));
    device.setPresent(true);
    ASSERT_TRUE(screenshotEnded());
    EXPECT_EQ(doc->ScreenshotResult(), 102);
    EXPECT_EQ(saves.load(), 1);
}

// A saver that does not return before the test releases it.
class DocumentStuckSaverTest : public DocumentTest {
protected:
    std::atomic<int> saverCalls{0};
    std::latch release{1};

    void SetUp() override {
        addMonoInstrument();
        start([this](const Frame&, const ScreenshotRequest&) {
            ++saverCalls;
            release.wait();
            return 5;
        });
        ASSERT_TRUE(doc->OpenDocument(DocumentName(kMono)));
    }
};

TEST_F(DocumentStuckSaverTest, AScreenshotStuckInItsSaverKeepsTheNextFromStarting) {
    ASSERT_TRUE(doc->StartScreenshot({}));
    // Released long after the time a new screenshot waits for the old one.
    const std::jthread releaser([this] {
        std::this_thread::sleep_for(4 * kScreenshotCancelTimeout);
        release.count_down();
    });
    ASSERT_TRUE(eventually([&] { return saverCalls > 0; }));
    EXPECT_FALSE(doc->StartScreenshot({}));
    EXPECT_TRUE(eventually([&] { return doc->ScreenshotResult() == 5; }));

    ASSERT_TRUE(doc->StartScreenshot({}));
    EXPECT_TRUE(eventually([&] { return doc->ScreenshotResult() == 5; }));
    EXPECT_EQ(saverCalls.load(), 2);
}

} // namespace
} // namespace ombrix::document
