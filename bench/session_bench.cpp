// The live session over the socket backend, against ombrix-sim started here on a
// private device directory with frozen screens, the sample models as program
// directory. Each figure is read against a baseline of the same run:
// - a polling pass beyond its fixed pauses, per model, against the least any
//   client pays for the same job: the same exchanges with the same pauses on a
//   raw channel of the socket backend, plus the conversion of a fresh frame;
// - the latency from a screen change to the converted frame, against the floor
//   that the pass pause and the command pauses impose;
// - the worker's CPU time while the screen does not change, against the same
//   interval in compact mode (polling off).
#include "BenchFigures.h"
#include "BenchSimulator.h"
#include "document/COmbrixDoc.h"
#include "link/SocketBackend.h"
#include "render/IconPanel.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using namespace ombrix;
using bench::median;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;
using Microseconds = std::chrono::duration<double, std::micro>;

constexpr std::string_view kMenuKeyCommand = ";#0,j;"; // MENU (0x6A) opens and closes the menu
constexpr std::string_view kMenuKeyControl = "key 1 0x6A";
constexpr std::uint32_t kMenuKey = 0x6A;
constexpr std::string_view kIconsRequest = "#7,IC;";
constexpr std::string_view kStatusRequest = "#7,SP,3;";
constexpr std::string_view kScreenRequest = "#7,SC;";
// Both status replies are twelve bytes: six icon words, or an eight-byte block
// header, the length and one status word.
constexpr std::size_t kStatusReplySize = 12;
constexpr std::chrono::seconds kStartTimeout{20};
constexpr std::chrono::seconds kFrameTimeout{5};
constexpr int kPassIterations = 100;
constexpr int kScreenChanges = 200;
constexpr std::chrono::seconds kCpuInterval{5};
constexpr int kCpuRounds = 2;

double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

using Simulator = bench::BenchSimulator;

// The system clock, adding up the pauses it was asked for, so a pass's fixed
// pauses can be taken off its wall time exactly.
class PauseCountingClock final : public link::Clock {
public:
    link::Ticks ticks() const override { return system_.ticks(); }
    void sleepFor(std::chrono::milliseconds duration) override {
        requested_ += duration;
        ++pauses_;
        system_.sleepFor(duration);
    }
    void reset() {
        requested_ = {};
        pauses_ = 0;
    }
    std::chrono::milliseconds requested() const { return requested_; }
    int pauses() const { return pauses_; }

private:
    link::SystemClock system_;
    std::chrono::milliseconds requested_{};
    int pauses_ = 0;
};

// What the document does when it opens a model: the screen image of the model's
// size, the empty and blink panels and the icon strips.
void openModel(document::DocumentDataSet& dataSet, const std::filesystem::path& path) {
    model::ModelFile file;
    if (file.load(QString::fromStdString(path.string())) != model::LoadOutcome::Loaded) {
        throw std::runtime_error("sample model did not load: " + path.string());
    }
    const model::InstrumentModel& model = file.model();
    dataSet.geometry =
        render::ScreenGeometry{model.displayWidth, model.displayHeight, model.iconsPanelHeight};
    render::CreateScreenImage(dataSet.screenImage, dataSet.geometry);
    dataSet.iconImages[render::kBlinkPanelSlot].Load(file.picturePath(model.iconClear));
    if (model.iconsPanelHeight > 0) {
        render::LoadIconImages(
            dataSet.iconImages,
            {file.picturePath(model.iconBitmaps[0]), file.picturePath(model.iconBitmaps[1]),
             file.picturePath(model.iconBitmaps[2]), file.picturePath(model.iconClear)},
            dataSet.colours);
    }
}

// A channel of the socket backend used without the protocol layers: a request
// written, the protocol's pause, exactly the reply's bytes read.
class RawChannel {
public:
    RawChannel(link::SocketBackend& backend, const std::string& path)
        : channel_(backend.open(path)) {
        if (!channel_) {
            throw std::runtime_error("baseline port did not open");
        }
    }
    void send(std::string_view request) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(request.data());
        if (channel_->write({bytes, request.size()}) != request.size()) {
            throw std::runtime_error("baseline write failed");
        }
    }
    // Measured as the worker's pass is: wall time less the requested pause.
    Clock::duration exchange(std::string_view request, std::size_t replySize) {
        const auto start = Clock::now();
        send(request);
        clock_.sleepFor(session::kCommandPause);
        receive(replySize);
        return Clock::now() - start - session::kCommandPause;
    }
    const link::Bytes& reply() const { return reply_; }

private:
    void receive(std::size_t replySize) {
        reply_.resize(replySize);
        const auto deadline = Clock::now() + kFrameTimeout;
        for (std::size_t received = 0; received < replySize;) {
            const auto count = channel_->read(std::span(reply_).subspan(received));
            if (!count || Clock::now() > deadline) {
                throw std::runtime_error("baseline reply cut short");
            }
            received += *count;
        }
    }

    std::unique_ptr<link::DeviceChannel> channel_;
    link::SystemClock clock_;
    link::Bytes reply_;
};

// One model served twice: port 1 for a session worker driven pass by pass on
// this thread, port 2 for the baseline's raw channel.
class WorkerOnModel {
public:
    explicit WorkerOnModel(const QString& model)
        : simulator_({model, model}), backend_(simulator_.deviceDirectory()) {
        if (worker_.RunPass() != document::SessionWorker::Pass::Connected) {
            throw std::runtime_error("the worker did not connect");
        }
        openModel(dataSet_, sync_.selection()->modelPath);
        // A new host always gets the new-screen bit: the first poll reads a frame.
        if (worker_.RunPass() != document::SessionWorker::Pass::Polled || frames() != 1) {
            throw std::runtime_error("the first poll read no frame");
        }
        raw_.emplace(backend_, simulator_.devicePath(2));
        const document::ReadOnlyDataSetProxy dataSet(dataSet_);
        geometry_ = dataSet->geometry;
        parameters_ = dataSet->displayParameters;
        palette_ = parameters_.bitsPerPixel == 1
                       ? render::MonochromePalette(dataSet->colours, false)
                       : dataSet->palette;
        render::CreateScreenImage(scratchScreen_, geometry_);
    }

    struct Sample {
        Clock::duration wall;
        Clock::duration overhead;
        double cpuSeconds = 0;
        Clock::duration baseline;
        int pauses = 0;
    };

    // A MENU press in a pass of its own, then the timed pass reads the new frame.
    Sample passWithScreen() {
        keys_.store(kMenuKey, worker_.connection());
        if (worker_.RunPass() != document::SessionWorker::Pass::KeySent) {
            throw std::runtime_error("the key was not sent");
        }
        const std::uint64_t before = frames();
        Sample sample = timedPass();
        if (frames() != before + 1) {
            throw std::runtime_error("the pass read no new frame");
        }
        raw_->send(kMenuKeyCommand);
        sample.baseline = raw_->exchange(statusRequest(), kStatusReplySize) +
                          raw_->exchange(kScreenRequest, screenBytes()) + timedConversion();
        return sample;
    }

    Sample statusOnlyPass() {
        const std::uint64_t before = frames();
        Sample sample = timedPass();
        if (frames() != before) {
            throw std::runtime_error("the frozen screen changed");
        }
        sample.baseline = raw_->exchange(statusRequest(), kStatusReplySize);
        return sample;
    }

private:
    Sample timedPass() {
        clock_.reset();
        const double cpuStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const auto start = Clock::now();
        const auto pass = worker_.RunPass();
        const auto wall = Clock::now() - start;
        const double cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
        if (pass != document::SessionWorker::Pass::Polled) {
            throw std::runtime_error("the poll failed");
        }
        return {wall, wall - clock_.requested(), cpu, {}, clock_.pauses()};
    }
    Clock::duration timedConversion() {
        const auto start = Clock::now();
        render::ConvertScreen(scratchScreen_, geometry_, parameters_, palette_, raw_->reply());
        return Clock::now() - start;
    }
    std::uint64_t frames() const {
        const std::shared_ptr<const document::Frame> frame = frames_.latest();
        return frame ? frame->generation : 0;
    }
    std::string_view statusRequest() const {
        return parameters_.bitsPerPixel == 1 ? kIconsRequest : kStatusRequest;
    }
    std::size_t screenBytes() const {
        return session::ScreenByteCount(geometry_.displayWidth, geometry_.displayHeight,
                                        parameters_.bitsPerPixel);
    }

    Simulator simulator_;
    link::SocketBackend backend_;
    PauseCountingClock clock_;
    link::UsbConnection connection_{backend_, clock_};
    session::DataSource source_{connection_};
    document::ThreadsSyncInfo sync_;
    document::DataToSend keys_;
    document::DocumentDataSet dataSet_;
    document::FrameBuffer frames_;
    document::SessionWorker worker_{source_,
                                    {sync_, keys_, dataSet_, frames_},
                                    {OMBRIX_SAMPLE_MODELS_DIR, std::nullopt, false, {}}};
    std::optional<RawChannel> raw_;
    render::ScreenGeometry geometry_;
    session::DisplayParameters parameters_;
    session::Palette palette_;
    render::CLumImage scratchScreen_;
};

// Runs a measurement; a failure ends the benchmark with its reason.
void guarded(benchmark::State& state, const std::function<void()>& measure) {
    try {
        measure();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

void reportPasses(benchmark::State& state, const std::vector<WorkerOnModel::Sample>& samples) {
    std::vector<double> wall;
    std::vector<double> overhead;
    std::vector<double> cpu;
    std::vector<double> baseline;
    double pauses = 0;
    for (const auto& sample : samples) {
        wall.push_back(Milliseconds(sample.wall).count());
        overhead.push_back(Microseconds(sample.overhead).count());
        cpu.push_back(sample.cpuSeconds * 1e6);
        baseline.push_back(Microseconds(sample.baseline).count());
        pauses += sample.pauses;
    }
    state.counters["wall_ms"] = median(wall);
    state.counters["pauses"] = pauses / double(samples.size());
    state.counters["overhead_us"] = median(overhead);
    state.counters["cpu_us"] = median(cpu);
    state.counters["baseline_us"] = median(baseline);
    state.counters["overhead_per_baseline"] = median(overhead) / median(baseline);
}

// Manual time is the pass's overhead; the counters give medians.
void measurePasses(benchmark::State& state, const char* model, bool changeScreen) {
    guarded(state, [&] {
        WorkerOnModel rig(model);
        std::vector<WorkerOnModel::Sample> samples;
        for (auto _ : state) {
            samples.push_back(changeScreen ? rig.passWithScreen() : rig.statusOnlyPass());
            state.SetIterationTime(std::chrono::duration<double>(samples.back().overhead).count());
        }
        reportPasses(state, samples);
    });
}

void BM_PassWithScreen(benchmark::State& state, const char* model) {
    measurePasses(state, model, true);
}

void BM_StatusOnlyPass(benchmark::State& state, const char* model) {
    measurePasses(state, model, false);
}

// Learns of every frame a document's worker publishes: when it arrived, and the
// worker thread's CPU clock.
class FrameWatch {
public:
    void attach(const document::COmbrixDoc& doc) { doc_.store(&doc); }

    // On the worker thread, after a frame was published.
    void afterFrame() {
        clockid_t workerClock{};
        pthread_getcpuclockid(pthread_self(), &workerClock);
        const document::COmbrixDoc* doc = doc_.load();
        const std::shared_ptr<const document::Frame> frame = doc ? doc->LatestFrame() : nullptr;
        const std::uint64_t frames = frame ? frame->generation : 0;
        const std::lock_guard lock(mutex_);
        workerClock_ = workerClock;
        if (frames != frames_) {
            frames_ = frames;
            arrival_ = Clock::now();
            frameArrived_.notify_all();
        }
    }

    std::uint64_t frames() const {
        const std::lock_guard lock(mutex_);
        return frames_;
    }
    clockid_t workerClock() const {
        const std::lock_guard lock(mutex_);
        return workerClock_;
    }
    Clock::time_point lastArrival() const {
        const std::lock_guard lock(mutex_);
        return arrival_;
    }
    // When the first frame beyond `frames` was converted.
    Clock::time_point waitBeyond(std::uint64_t frames) {
        std::unique_lock lock(mutex_);
        if (!frameArrived_.wait_for(lock, kFrameTimeout, [&] { return frames_ > frames; })) {
            throw std::runtime_error("no frame arrived");
        }
        return arrival_;
    }

private:
    std::atomic<const document::COmbrixDoc*> doc_{nullptr};
    mutable std::mutex mutex_;
    std::condition_variable frameArrived_;
    clockid_t workerClock_{};
    std::uint64_t frames_ = 0;
    Clock::time_point arrival_;
};

// A document polling a frozen colour instrument with its own worker thread, its
// model opened and its first frame shown.
class LiveDocument {
public:
    explicit LiveDocument(const char* model = "colour") : simulator_({model}) {
        watch_.attach(doc_);
        const auto deadline = Clock::now() + kStartTimeout;
        while (watch_.frames() == 0) {
            if (Clock::now() > deadline) {
                throw std::runtime_error("the document showed no frame");
            }
            // What the user interface's timer does: opens the model found.
            doc_.OnTimer(document::DocumentTimer::Refresh);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    Simulator& simulator() { return simulator_; }
    FrameWatch& watch() { return watch_; }
    document::COmbrixDoc& document() { return doc_; }

private:
    Simulator simulator_;
    link::SocketBackend backend_{simulator_.deviceDirectory()};
    link::SystemClock clock_;
    link::UsbConnection connection_{backend_, clock_};
    FrameWatch watch_;
    document::COmbrixDoc doc_{connection_, options()};

    document::COmbrixDoc::Options options() {
        document::COmbrixDoc::Options options;
        options.programDirectory = OMBRIX_SAMPLE_MODELS_DIR;
        options.hooks.frameReady = [this] { watch_.afterFrame(); };
        return options;
    }
};

// The cycle of passes that find no change: the pass pause and the status command.
constexpr Clock::duration kIdleCycle = document::kPassPause + session::kCommandPause;

// The least latency of a change made `phase` after the last frame arrived: a
// pass that ends starts the next one after the pass pause with its status
// request; passes that find nothing last one command pause; the frame is in two
// command pauses (status and screen) after the status request that sees the
// change.
Clock::duration latencyFloor(Clock::duration phase) {
    Clock::duration statusRequest = document::kPassPause;
    while (statusRequest < phase) {
        statusRequest += kIdleCycle;
    }
    return statusRequest - phase + 2 * session::kCommandPause;
}

// Changes spread evenly over one idle cycle after the last frame, in a shuffled
// order.
Clock::duration changeDelay(int change) {
    const int slot = (change * 77) % kScreenChanges; // 77 is prime to 200: a permutation
    return std::chrono::duration_cast<Clock::duration>(kIdleCycle * (slot + 0.5) / kScreenChanges);
}

void BM_FrameLatency(benchmark::State& state) {
    guarded(state, [&] {
        LiveDocument live;
        std::vector<double> latency;
        std::vector<double> floor;
        for (auto _ : state) {
            Clock::time_point lastFrame = live.watch().lastArrival();
            for (int change = 0; change < kScreenChanges; ++change) {
                std::this_thread::sleep_until(lastFrame + changeDelay(change));
                const std::uint64_t frames = live.watch().frames();
                live.simulator().control(kMenuKeyControl);
                const auto changed = Clock::now();
                const auto arrived = live.watch().waitBeyond(frames);
                latency.push_back(Milliseconds(arrived - changed).count());
                floor.push_back(Milliseconds(latencyFloor(changed - lastFrame)).count());
                lastFrame = arrived;
            }
            state.SetIterationTime(median(latency) / 1000);
        }
        bench::reportLatency(state, latency, floor);
    });
}

// Percent of one core used by the worker thread, and by every thread but this
// (sleeping) one.
struct CpuShare {
    double worker = 0;
    double others = 0;
};

CpuShare measureCpu(clockid_t workerClock, std::chrono::seconds interval) {
    const auto others = [] {
        return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    };
    const double worker0 = cpuSeconds(workerClock);
    const double others0 = others();
    const auto start = Clock::now();
    std::this_thread::sleep_for(interval);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return {(cpuSeconds(workerClock) - worker0) / wall * 100, (others() - others0) / wall * 100};
}

void addRound(CpuShare& mean, const CpuShare& round) {
    mean.worker += round.worker / kCpuRounds;
    mean.others += round.others / kCpuRounds;
}

// Polling and compact mode in alternation, so both see the same machine load.
void BM_IdleWorkerCpu(benchmark::State& state) {
    guarded(state, [&] {
        LiveDocument live;
        const clockid_t workerClock = live.watch().workerClock();
        CpuShare polling;
        CpuShare compact;
        for (auto _ : state) {
            for (int round = 0; round < kCpuRounds; ++round) {
                live.document().UpdatePollingMode(0);
                addRound(polling, measureCpu(workerClock, kCpuInterval));
                live.document().UpdatePollingMode(document::kCompactDisplayMode);
                std::this_thread::sleep_for(kIdleCycle); // lets a pass under way end
                addRound(compact, measureCpu(workerClock, kCpuInterval));
            }
            state.SetIterationTime(polling.worker / 100);
        }
        if (live.watch().frames() != 1) {
            throw std::runtime_error("the frozen screen changed");
        }
        state.counters["polling_cpu_pct"] = polling.worker;
        state.counters["compact_cpu_pct"] = compact.worker;
        state.counters["polling_per_compact"] = polling.worker / compact.worker;
        state.counters["process_polling_pct"] = polling.others;
        state.counters["process_compact_pct"] = compact.others;
    });
}

// New screen colours on the one-bit model: the icon strips read and
// recoloured, the screen converted again and published, while the window
// shows its busy cursor; against the worker's idle pass cycle.
void BM_ColourChange(benchmark::State& state) {
    guarded(state, [&] {
        LiveDocument live("mono");
        base::DisplayColors colours[2];
        colours[1][base::DisplayColors::Foreground] = base::ColorRef(0x0000C0u);
        std::vector<double> times;
        int turn = 0;
        for (auto _ : state) {
            const auto start = Clock::now();
            live.document().SetColours(colours[++turn % 2]);
            const double taken = Milliseconds(Clock::now() - start).count();
            times.push_back(taken);
            state.SetIterationTime(taken / 1000);
        }
        const double cycle = Milliseconds(kIdleCycle).count();
        state.counters["colour_change_ms"] = median(times);
        state.counters["pass_cycle_ms"] = cycle;
        state.counters["change_per_cycle"] = median(times) / cycle;
    });
}

void passSettings(benchmark::internal::Benchmark* pass) {
    pass->UseManualTime()->Iterations(kPassIterations)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_CAPTURE(BM_PassWithScreen, mono, "mono")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_StatusOnlyPass, mono, "mono")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_PassWithScreen, palette, "palette")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_StatusOnlyPass, palette, "palette")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_PassWithScreen, colour, "colour")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_StatusOnlyPass, colour, "colour")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_PassWithScreen, legacy, "legacy")->Apply(passSettings);
BENCHMARK_CAPTURE(BM_StatusOnlyPass, legacy, "legacy")->Apply(passSettings);
BENCHMARK(BM_FrameLatency)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourChange)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWorkerCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
