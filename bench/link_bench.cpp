// Round trips over the socket backend. The protocol pauses 10 ms after each
// command; the baseline measures that pause alone in the same run, so what
// matters is each exchange's time beyond it.
#include "SocketPeer.h"
#include "link/SocketBackend.h"
#include "session/DataSource.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace ombrix;

constexpr std::size_t kScreenBytes = 153'600; // 320 x 240 at 16 bits per pixel

struct SocketInstrument {
    QTemporaryDir directory;
    testing::SocketPeer peer{std::filesystem::path(directory.path().toStdString()) / "i.sock"};
    link::SocketBackend backend{directory.path().toStdString()};
    link::SystemClock clock;
    link::UsbConnection connection{backend, clock};
    session::DataSource source{connection};
    link::Serial serial = 0;

    SocketInstrument() {
        peer.answer(";#1,U?,N?;", "#1,U745A,N1;");
        peer.answer(";#7,US;", "#7,US,3;");
        peer.answer("#7,SC;", std::string(kScreenBytes, '\x5A'));
        std::optional<link::Serial> opened;
        if (!connection.OpenDevice(opened)) {
            throw std::runtime_error("benchmark instrument did not open");
        }
        serial = *opened;
    }
};

void BM_FixedPauseBaseline(benchmark::State& state) {
    link::SystemClock clock;
    for (auto _ : state) {
        clock.sleepFor(session::kCommandPause);
    }
}

void BM_TextRoundTrip(benchmark::State& state) {
    SocketInstrument instrument;
    for (auto _ : state) {
        benchmark::DoNotOptimize(instrument.source.RequestText(instrument.serial, ";#7,US;"));
    }
}

void BM_ScreenRead153600(benchmark::State& state) {
    SocketInstrument instrument;
    for (auto _ : state) {
        benchmark::DoNotOptimize(instrument.source.RequestBytes(instrument.serial, "#7,SC;",
                                                                kScreenBytes, std::nullopt));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScreenBytes));
}

BENCHMARK(BM_FixedPauseBaseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_TextRoundTrip)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_ScreenRead153600)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
