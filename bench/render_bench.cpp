// Our column-major screen conversion against Qt's own row-major conversion of
// the same number of pixels to RGB32, in one run; prints ours/Qt per format.
#include "render/ScreenConversion.h"

#include <QImage>
#include <benchmark/benchmark.h>
#include <iostream>
#include <map>
#include <random>

namespace {

using namespace ombrix;

session::Bytes randomBytes(std::size_t count) {
    std::mt19937 generator(42);
    std::uniform_int_distribution<int> byte(0, 255);
    session::Bytes bytes(count);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(byte(generator));
    }
    return bytes;
}

session::DisplayParameters parameters(int bits) {
    session::DisplayParameters params;
    params.bitsPerPixel = static_cast<std::uint32_t>(bits);
    if (bits == 16) {
        params.colourLayoutValid = 1;
        auto& t = params.translator;
        t.redShift = 11;
        t.greenShift = 5;
        t.redMask = 0x1F;
        t.greenMask = 0x3F;
        t.blueMask = 0x1F;
        t.redLeftShift = 3;
        t.greenLeftShift = 2;
        t.blueLeftShift = 3;
    }
    return params;
}

void ours(benchmark::State& state, int width, int height, int bits) {
    const render::ScreenGeometry geometry{width, height, bits == 1 ? 11 : 0};
    render::CLumImage screen;
    render::CreateScreenImage(screen, geometry);
    const auto params = parameters(bits);
    const auto data = randomBytes(session::ScreenByteCount(width, height, params.bitsPerPixel));
    session::Palette palette(bits == 8 ? 256 : 2);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<std::uint32_t>(i * 0x010203u);
    }
    for (auto _ : state) {
        render::ConvertScreen(screen, geometry, params, palette, data);
        benchmark::DoNotOptimize(screen.Bits());
        benchmark::ClobberMemory();
    }
}

void qt(benchmark::State& state, int width, int height, QImage::Format format) {
    QImage source(width, height, format);
    const auto data = randomBytes(static_cast<std::size_t>(source.sizeInBytes()));
    std::copy(data.begin(), data.end(), source.bits());
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i) {
            table[i] = qRgb(i, i / 2, 255 - i);
        }
        source.setColorTable(table);
    } else if (format == QImage::Format_Mono) {
        source.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    }
    for (auto _ : state) {
        QImage converted = source.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(converted.constBits());
    }
}

// Prints the usual table, then ours/Qt for each format from the median CPU times
// (CPU time, so other processes on the machine do not skew the ratio).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const char* format : {"16bpp_320x240", "8bpp_240x160", "1bpp_128x64"}) {
            const double ratio =
                medians_["Ours/" + std::string(format)] / medians_["Qt/" + std::string(format)];
            std::cout << "ratio ours/Qt " << format << ": " << ratio << "\n";
        }
    }

private:
    std::map<std::string, double> medians_;
};

} // namespace

int main(int argc, char** argv) {
    const auto add = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly();
    };
    add(benchmark::RegisterBenchmark("Ours/16bpp_320x240", ours, 320, 240, 16));
    add(benchmark::RegisterBenchmark("Qt/16bpp_320x240", qt, 320, 240, QImage::Format_RGB16));
    add(benchmark::RegisterBenchmark("Ours/8bpp_240x160", ours, 240, 160, 8));
    add(benchmark::RegisterBenchmark("Qt/8bpp_240x160", qt, 240, 160, QImage::Format_Indexed8));
    add(benchmark::RegisterBenchmark("Ours/1bpp_128x64", ours, 128, 64, 1));
    add(benchmark::RegisterBenchmark("Qt/1bpp_128x64", qt, 128, 64, QImage::Format_Mono));
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
