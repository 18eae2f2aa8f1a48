// The window's figures, each against a baseline of the same run, with ombrix
// on a virtual X server started here and ombrix-sim's frozen colour instrument:
// - start-up: from starting ombrix to the first instrument frame on its window,
//   against starting it with no instrument to its window on the screen (the
//   frame is told by the colour most of the screen has, from ombrix-cli capture);
// - a repaint of the view at 1920 x 1080 in fullscreen mode for the 320 x 240
//   colour model, against one QPainter::drawImage of the screen at that size;
// - a click on a key of the front panel to the instrument's changed screen on
//   the window, against the least latency the pauses of a worker that waits a
//   whole pass after each key allow, with the fast key response on (argument
//   1) and off (0);
// - F8 to the screenshot file on disk, against the worker's pass cycle;
// - CPU time and resident memory of the whole program with an unchanging
//   screen, against the same program in compact mode, which polls nothing, and
//   against the program with the fast key response off;
// - the codes the instrument receives per press of a computer key held with
//   the X server's real auto-repeat for up to well past its repeat delay
//   (one press, one code: the baseline is 1).
#include "BenchFigures.h"
#include "BenchSimulator.h"
#include "BenchWindow.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "XServer.h"
#include "document/DocumentHost.h"
#include "document/SessionWorker.h"
#include "link/SocketBackend.h"
#include "screenshot/ComposeScreenshot.h"
#include "screenshot/SaveScreenshot.h"
#include "session/DataSource.h"
#include "settings/ApplicationSettings.h"
#include "shell/COmbrixView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace ombrix;
using bench::median;
using bench::waitFor;
using Ombrix = bench::OmbrixWindow;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kStarts = 5;
constexpr int kRepaints = 50;
constexpr int kKeyClicks = 50;
constexpr int kScreenshots = 20;
constexpr int kKeyHolds = 200;
// Held from a tap to well past the X server's auto-repeat delay (660 ms).
constexpr int kShortestHoldMs = 50;
constexpr int kLongestHoldMs = 1500;
constexpr std::chrono::milliseconds kAfterRelease{250};
constexpr std::chrono::seconds kCpuInterval{30};
constexpr std::chrono::seconds kMemoryAge{60};
constexpr QSize kFullHd{1920, 1080};
// The front panel of the colour model at about its own size.
constexpr QSize kPanelView{480, 660};
// The normal mode without keyboard in a tall window: the screen fills the top
// of the view.
const char* const kScreenAloneSettings = "[MainSettings]\ndisplay_mode=1\n"
                                         "[MainSettings/MainFrame]\n"
                                         "regular_window_rect=\"0,0,540,760\"\n"
                                         "[MainSettings/CommandsToolbar]\nvisible=0\n";
// The same beside it, with the instrument asked at the pace of passes after a
// key too.
const char* const kSlowKeySettings = "[MainSettings]\ndisplay_mode=1\n"
                                     "[MainSettings/MainFrame]\n"
                                     "regular_window_rect=\"1100,0,1640,760\"\n"
                                     "[MainSettings/CommandsToolbar]\nvisible=0\n"
                                     "[Global]\nFastKeyResponse=0\n";
// Beside the other window, which it would otherwise cover.
const char* const kCompactSettings = "[MainSettings]\ndisplay_mode=3\n"
                                     "[MainSettings/MainFrame]\n"
                                     "regular_window_rect=\"700,0,1000,300\"\n"
                                     "[MainSettings/CommandsToolbar]\nvisible=0\n";
// The colour most of the instrument's screen has, from a capture of its frame.
QRgb dominantScreenColour(const bench::BenchSimulator& simulator) {
    QTemporaryDir scratch;
    const QString file = scratch.filePath(QStringLiteral("screen.png"));
    QProcess capture;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR",
                       QString::fromStdString(simulator.deviceDirectory().string()));
    capture.setProcessEnvironment(environment);
    capture.start(OMBRIX_CLI_PROGRAM, {"capture", "-o", file});
    capture.waitForFinished();
    const QImage screen(file);
    if (screen.isNull()) {
        throw std::runtime_error("ombrix-cli captured no screen");
    }
    std::map<QRgb, int> counts;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            ++counts[screen.pixel(x, y)];
        }
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

void guarded(benchmark::State& state, const std::function<void()>& measure) {
    try {
        measure();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

void BM_StartToFirstFrame(benchmark::State& state) {
    guarded(state, [&] {
        bench::BenchSimulator simulator({"colour"});
        const QRgb screenColour = dominantScreenColour(simulator);
        QTemporaryDir empty;
        std::vector<double> toFrame;
        std::vector<double> toWindow;
        for (auto _ : state) {
            for (int start = 0; start < kStarts; ++start) {
                {
                    Ombrix ombrix(simulator.deviceDirectory(), kScreenAloneSettings);
                    waitFor([&] { return ombrix.showsFrame(screenColour); }, "the first frame");
                    toFrame.push_back(Milliseconds(Clock::now() - ombrix.started()).count());
                }
                Ombrix alone(empty.path().toStdString(), kScreenAloneSettings);
                waitFor([&] { return alone.window() != 0; }, "the window");
                toWindow.push_back(Milliseconds(Clock::now() - alone.started()).count());
            }
            state.SetIterationTime(median(toFrame) / 1000);
        }
        state.counters["first_frame_ms"] = median(toFrame);
        state.counters["window_ms"] = median(toWindow);
        state.counters["frame_per_window"] = median(toFrame) / median(toWindow);
    });
}

// The document and the view in this process, the colour instrument's first
// frame shown in `mode` at `size`.
class ViewOnColour {
public:
    ViewOnColour(shell::DisplayMode mode, QSize size, bool fastKeyResponse = true)
        : backend_(simulator_.deviceDirectory()), connection_(backend_, clock_),
          host_(connection_, options(fastKeyResponse)), view_(host_, settings_) {
        waitFor(
            [&] {
                host_.OnTimer(document::DocumentTimer::Refresh);
                QCoreApplication::processEvents();
                return host_.frame() != nullptr;
            },
            "the first frame");
        view_.resize(size);
        view_.show();
        waitFor(
            [&] {
                QCoreApplication::processEvents();
                return view_.windowHandle() != nullptr && view_.windowHandle()->isExposed();
            },
            "the view on the screen");
        view_.ModelChanged();
        view_.SetDisplayMode(mode);
        QObject::connect(&host_, &document::DocumentHost::frameChanged, &view_,
                         &shell::COmbrixView::FrameChanged);
    }

    shell::COmbrixView& view() { return view_; }
    document::DocumentHost& host() { return host_; }
    std::shared_ptr<const document::Frame> frame() const { return host_.frame(); }

private:
    static document::COmbrixDoc::Options options(bool fastKeyResponse) {
        document::COmbrixDoc::Options options;
        options.programDirectory = OMBRIX_SAMPLE_MODELS_DIR;
        options.fastKeyResponse = fastKeyResponse;
        return options;
    }

    bench::BenchSimulator simulator_{{"colour"}};
    link::SocketBackend backend_;
    link::SystemClock clock_;
    link::UsbConnection connection_;
    document::DocumentHost host_;
    settings::ApplicationSettings settings_;
    shell::COmbrixView view_;
};

void BM_ViewRepaint(benchmark::State& state) {
    guarded(state, [&] {
        ViewOnColour live(shell::DisplayMode::Fullscreen, kFullHd);
        const std::shared_ptr<const document::Frame> frame = live.frame();
        const QImage screen = frame->screen.AsQImage();
        const QRect target =
            live.view().Layout().value().screenSize.isEmpty()
                ? throw std::runtime_error("no layout")
                : QRect(live.view().Layout()->screenOrigin, live.view().Layout()->screenSize);
        QImage canvas(kFullHd, QImage::Format_RGB32);
        std::vector<double> render;
        std::vector<double> repaint;
        std::vector<double> drawImage;
        for (auto _ : state) {
            for (int i = 0; i < kRepaints; ++i) {
                // A new layout: the view stretches the screen anew and draws it,
                // into an image here, and through its window to the X server.
                live.view().SetDisplayMode(shell::DisplayMode::Fullscreen);
                auto start = Clock::now();
                live.view().render(&canvas);
                render.push_back(Milliseconds(Clock::now() - start).count());
                live.view().SetDisplayMode(shell::DisplayMode::Fullscreen);
                start = Clock::now();
                live.view().repaint();
                repaint.push_back(Milliseconds(Clock::now() - start).count());
                start = Clock::now();
                QPainter painter(&canvas);
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.drawImage(target, screen);
                painter.end();
                drawImage.push_back(Milliseconds(Clock::now() - start).count());
            }
            state.SetIterationTime(median(repaint) / 1000);
        }
        state.counters["render_ms"] = median(render);
        state.counters["repaint_ms"] = median(repaint);
        state.counters["draw_image_ms"] = median(drawImage);
        state.counters["render_per_draw_image"] = median(render) / median(drawImage);
    });
}

constexpr Clock::duration kIdleCycle = document::kPassPause + session::kCommandPause;

// The least latency of a key stored `phase` after the pass that published the
// last frame ended: the worker takes it at its next pass (a pass pause after
// that one, then every idle cycle: a pass pause and a status command) and
// sends it without a pause; the pass after the next pass pause reads the
// status and the new screen (two command pauses).
Clock::duration keyLatencyFloor(Clock::duration phase) {
    Clock::duration taken = document::kPassPause;
    while (taken < phase) {
        taken += kIdleCycle;
    }
    return taken - phase + document::kPassPause + 2 * session::kCommandPause;
}

// Clicks spread evenly over one idle cycle after the last frame, shuffled.
Clock::duration clickDelay(int click) {
    const int slot = (click * 17) % kKeyClicks; // 17 is prime to 50: a permutation
    return std::chrono::duration_cast<Clock::duration>(kIdleCycle * (slot + 0.5) / kKeyClicks);
}

void click(QWidget& widget, QPoint point) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, point, widget.mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

// MENU and ESC clicked in turn on the front panel; each click's screen is
// seen on the window when a column through the middle of the screen, read
// back from the X server, changes.
void BM_ClickToScreen(benchmark::State& state) {
    guarded(state, [&] {
        ViewOnColour live(shell::DisplayMode::NormalWithKeyboard, kPanelView, state.range(0) != 0);
        shell::COmbrixView& view = live.view();
        Clock::time_point lastFrame = Clock::now();
        QObject::connect(&live.host(), &document::DocumentHost::frameChanged, &view,
                         [&] { lastFrame = Clock::now(); });
        const shell::ViewLayout layout = view.Layout().value();
        const QRect screen(layout.screenOrigin, layout.screenSize);
        const auto column = [&] {
            return QGuiApplication::primaryScreen()
                ->grabWindow(view.winId(), screen.center().x(), screen.top(), 1, screen.height())
                .toImage();
        };
        const auto keyPoint = [&](const char* name) {
            const base::Rect key =
                live.host().KeyboardLayout().ButtonByName(QString::fromLatin1(name))->rect;
            return shell::PictureToWindow(
                QPoint((key.left + key.right) / 2, (key.top + key.bottom) / 2), layout);
        };
        const QPoint keys[] = {keyPoint("MENU"), keyPoint("ESC")};
        std::vector<double> latency;
        std::vector<double> floor;
        for (auto _ : state) {
            for (int i = 0; i < kKeyClicks; ++i) {
                std::this_thread::sleep_until(lastFrame + clickDelay(i));
                const QImage before = column();
                click(view, keys[i % 2]);
                const auto clicked = Clock::now();
                const Clock::duration phase = clicked - lastFrame;
                waitFor(
                    [&] {
                        QCoreApplication::processEvents();
                        return column() != before;
                    },
                    "the new screen on the window", std::chrono::microseconds(200));
                latency.push_back(Milliseconds(Clock::now() - clicked).count());
                floor.push_back(Milliseconds(keyLatencyFloor(phase)).count());
            }
            state.SetIterationTime(median(latency) / 1000);
        }
        bench::reportLatency(state, latency, floor);
    });
}

// A document on the frozen colour instrument that saves screenshots as the
// application does, noting when each file is written.
class ScreenshotDocument {
public:
    ScreenshotDocument() {
        waitFor(
            [&] {
                doc_.OnTimer(document::DocumentTimer::Refresh);
                return doc_.LatestFrame() != nullptr;
            },
            "the first frame");
    }

    // The time from asking for a screenshot to its file written.
    Clock::duration save(const settings::ScreenshotSettings& settings) {
        const std::uint64_t before = saved_.load();
        const auto asked = Clock::now();
        if (!doc_.StartScreenshot({settings, 1})) {
            throw std::runtime_error("the screenshot did not start");
        }
        waitFor([&] { return saved_.load() > before; }, "the screenshot file",
                std::chrono::microseconds(200));
        return Clock::time_point(Clock::duration(written_.load())) - asked;
    }

private:
    document::COmbrixDoc::Options options() {
        document::COmbrixDoc::Options options;
        options.programDirectory = OMBRIX_SAMPLE_MODELS_DIR;
        options.hooks.saveScreenshot = [this](const document::Frame& frame,
                                              const document::ScreenshotRequest& request) {
            const screenshot::ScreenshotOutcome outcome = screenshot::SaveScreenshot(
                screenshot::ComposeScreenshot(frame.shown()), request.settings, request.zoom);
            written_.store(Clock::now().time_since_epoch().count());
            saved_.fetch_add(outcome.written ? 1 : 0);
            return outcome.written ? 1 : 0;
        };
        return options;
    }

    bench::BenchSimulator simulator_{{"colour"}};
    link::SocketBackend backend_{simulator_.deviceDirectory()};
    link::SystemClock clock_;
    link::UsbConnection connection_{backend_, clock_};
    std::atomic<Clock::rep> written_{0};
    std::atomic<std::uint64_t> saved_{0};
    document::COmbrixDoc doc_{connection_, options()};
};

// F8 to the TIFF on disk: the screenshot asks for a fresh poll, waits for it
// (looking every pass pause) and writes the frame; against one idle cycle of
// the worker's passes.
void BM_ScreenshotToFile(benchmark::State& state) {
    guarded(state, [&] {
        ScreenshotDocument document;
        QTemporaryDir folder;
        settings::ScreenshotSettings settings;
        settings.SetFolder(folder.path());
        settings.SetPrefix(QStringLiteral("bench"));
        std::vector<double> toFile;
        for (auto _ : state) {
            for (int i = 0; i < kScreenshots; ++i) {
                settings.SetCounter(static_cast<std::uint32_t>(i));
                toFile.push_back(Milliseconds(document.save(settings)).count());
            }
            state.SetIterationTime(median(toFile) / 1000);
        }
        state.counters["median_ms"] = median(toFile);
        state.counters["pass_cycle_ms"] = Milliseconds(kIdleCycle).count();
        state.counters["median_per_cycle"] = median(toFile) / Milliseconds(kIdleCycle).count();
    });
}

void BM_IdleProgram(benchmark::State& state) {
    guarded(state, [&] {
        bench::BenchSimulator simulator({"colour", "colour", "colour"});
        const QRgb screenColour = dominantScreenColour(simulator);
        const QString model = QStringLiteral(OMBRIX_SAMPLE_MODELS_DIR "/Data/lum302plus.def");
        Ombrix polling(simulator.deviceDirectory(), kScreenAloneSettings, {model + "*30302"});
        Ombrix compact(simulator.deviceDirectory(), kCompactSettings, {model + "*30303"});
        Ombrix slowKeys(simulator.deviceDirectory(), kSlowKeySettings, {model + "*30304"});
        waitFor(
            [&] {
                return polling.showsFrame(screenColour) && compact.window() != 0 &&
                       slowKeys.window() != 0;
            },
            "the three windows");
        for (auto _ : state) {
            const double polling0 = polling.cpuSeconds();
            const double compact0 = compact.cpuSeconds();
            const double slowKeys0 = slowKeys.cpuSeconds();
            const auto start = Clock::now();
            std::this_thread::sleep_for(kCpuInterval);
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            state.counters["polling_cpu_pct"] = (polling.cpuSeconds() - polling0) / wall * 100;
            state.counters["compact_cpu_pct"] = (compact.cpuSeconds() - compact0) / wall * 100;
            state.counters["slow_keys_cpu_pct"] = (slowKeys.cpuSeconds() - slowKeys0) / wall * 100;
            state.SetIterationTime(wall);
        }
        std::this_thread::sleep_until(polling.started() + kMemoryAge);
        state.counters["polling_per_compact"] =
            state.counters["polling_cpu_pct"] / state.counters["compact_cpu_pct"];
        state.counters["polling_per_slow_keys"] =
            state.counters["polling_cpu_pct"] / state.counters["slow_keys_cpu_pct"];
        state.counters["rss_mb"] = polling.residentMegabytes();
        state.counters["compact_rss_mb"] = compact.residentMegabytes();
    });
}

void xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished();
}

void BM_CodesPerKeyPress(benchmark::State& state) {
    guarded(state, [&] {
        sim::testing::SimProcess simulator({"--do", "freeze all on", "colour"});
        Ombrix ombrix(simulator.deviceDirectory(), kScreenAloneSettings);
        const auto codes = [&] {
            return sim::testing::SimRecord(simulator.recordPath(), 1).keyCodes().size();
        };
        waitFor(
            [&] {
                return ombrix.window() != 0 && codes() == 0 &&
                       sim::testing::SimRecord(simulator.recordPath(), 1).polls() > 20;
            },
            "the instrument in the window");
        xdotool({"windowfocus", "--sync", QString::number(ombrix.window())});
        std::mt19937 random(7);
        std::uniform_int_distribution<int> heldMs(kShortestHoldMs, kLongestHoldMs);
        std::vector<double> perPress;
        const auto start = Clock::now();
        for (auto _ : state) {
            for (int hold = 0; hold < kKeyHolds; ++hold) {
                const std::size_t before = codes();
                xdotool({"keydown", "Down"});
                std::this_thread::sleep_for(std::chrono::milliseconds(heldMs(random)));
                xdotool({"keyup", "Down"});
                std::this_thread::sleep_for(kAfterRelease);
                perPress.push_back(static_cast<double>(codes() - before));
            }
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        }
        state.counters["presses"] = static_cast<double>(perPress.size());
        state.counters["codes_per_press_median"] = median(perPress);
        state.counters["codes_per_press_max"] = *std::max_element(perPress.begin(), perPress.end());
    });
}

BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewRepaint)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToScreen)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenshotToFile)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleProgram)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CodesPerKeyPress)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    const testing::XServer server(kFullHd.width(), kFullHd.height());
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
