// Recording in the window, each figure against the same program not recording,
// with ombrix on a virtual X server started here and ombrix-sim's frozen colour
// instrument:
// - CPU time of the whole program while it records, in each format, an
//   unchanging screen and a screen that changes 5 times a second (RIGHT and
//   LEFT pressed in turn through the simulator switch its quantity), against
//   the same program the seconds before, not recording, with the screen doing
//   the same;
// - the recording's bytes per minute in each format, for both screens, beyond
//   its first picture (the size of a recording stopped at once), which an
//   unchanging screen adds nothing to.
// The changing screen is recorded at zoom 1 and at zoom 4 too.
#include "BenchSimulator.h"
#include "BenchWindow.h"
#include "XServer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using namespace ombrix;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kInterval{20};
constexpr std::chrono::milliseconds kChangePeriod{200};
constexpr std::chrono::seconds kSettle{2};
constexpr int kRightKey = 0x67;
constexpr int kLeftKey = 0x65;
const char* const kExtensions[] = {"webm", "gif", "png"};

QByteArray settings(int format, int zoom, const QString& folder) {
    return "[Global]\nScreenshotZoom=" + QByteArray::number(zoom) +
           "\n[MainSettings]\ndisplay_mode=1\n"
           "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,540,760\"\n"
           "[MainSettings/CommandsToolbar]\nvisible=0\n"
           "[MainSettings/Screenshot]\nfile_name_prefix=rec\nrecord_format=" +
           QByteArray::number(format) + "\nimage_folder=\"" + folder.toUtf8() + "\"\n";
}

// The program's CPU time in per cent of the interval, while the screen
// changes (or not) as the benchmark asks.
double cpuPercent(bench::OmbrixWindow& window, bench::BenchSimulator& simulator, bool changing) {
    const double before = window.cpuSeconds();
    const auto start = Clock::now();
    for (int press = 0; Clock::now() - start < kInterval; ++press) {
        if (changing) {
            simulator.control("key 1 " + std::to_string(press % 2 == 0 ? kRightKey : kLeftKey));
        }
        std::this_thread::sleep_until(start + (press + 1) * kChangePeriod);
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return (window.cpuSeconds() - before) / wall * 100;
}

QString recordingFile(const QTemporaryDir& folder, int counter, int format) {
    return folder.filePath(QStringLiteral("rec%1.%2")
                               .arg(counter, 4, 10, QChar(u'0'))
                               .arg(QLatin1String(kExtensions[format])));
}

// Ctrl+R until the recording's file is there: until the first frame is on
// show there is nothing to record.
void startRecording(bench::OmbrixWindow& window, const QString& file) {
    bench::waitFor(
        [&] {
            window.press(QStringLiteral("ctrl+r"));
            return QFile::exists(file);
        },
        "the recording", std::chrono::milliseconds(500));
}

void BM_Recording(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    const bool changing = state.range(1) != 0;
    const int zoom = static_cast<int>(state.range(2));
    try {
        bench::BenchSimulator simulator({"colour"});
        QTemporaryDir folder;
        const QByteArray text = settings(format, zoom, folder.path());
        bench::OmbrixWindow window(
            simulator.deviceDirectory(), text.constData(),
            {QStringLiteral(OMBRIX_SAMPLE_MODELS_DIR "/Data/lum302plus.def*30302")});
        bench::waitFor([&] { return window.window() != 0; }, "the window");
        startRecording(window, recordingFile(folder, 0, format));
        window.press(QStringLiteral("ctrl+r"));
        std::this_thread::sleep_for(kSettle);
        const qint64 firstPicture = QFile(recordingFile(folder, 0, format)).size();
        const QString file = recordingFile(folder, 1, format);
        for (auto _ : state) {
            const double idle = cpuPercent(window, simulator, changing);
            startRecording(window, file);
            const double recording = cpuPercent(window, simulator, changing);
            window.press(QStringLiteral("ctrl+r"));
            std::this_thread::sleep_for(kSettle);
            state.counters["idle_cpu_pct"] = idle;
            state.counters["recording_cpu_pct"] = recording;
            state.counters["recording_per_idle"] = recording / idle;
            state.counters["first_picture_bytes"] = static_cast<double>(firstPicture);
            state.counters["bytes_per_minute"] =
                static_cast<double>(QFile(file).size() - firstPicture) * 60.0 /
                std::chrono::duration<double>(kInterval).count();
            state.SetIterationTime(std::chrono::duration<double>(kInterval).count());
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

// Format (0 WebM, 1 GIF, 2 animated PNG), an unchanging (0) or changing (1)
// screen, the zoom.
BENCHMARK(BM_Recording)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {1}})
    ->ArgsProduct({{0, 1, 2}, {1}, {4}})
    ->ArgNames({"format", "changing", "zoom"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    const testing::XServer server(1280, 1024);
    if (server.display().empty()) {
        std::fprintf(stderr, "no virtual X server (Xvfb) could be started\n");
        return 1;
    }
    qputenv("DISPLAY", server.display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
