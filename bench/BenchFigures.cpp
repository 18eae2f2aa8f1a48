#include "BenchFigures.h"

#include <algorithm>
#include <cmath>

namespace ombrix::bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * double(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

void reportLatency(benchmark::State& state, const std::vector<double>& latency,
                   const std::vector<double>& floor) {
    state.counters["median_ms"] = median(latency);
    state.counters["p95_ms"] = percentile(latency, 0.95);
    state.counters["floor_median_ms"] = median(floor);
    state.counters["floor_p95_ms"] = percentile(floor, 0.95);
    state.counters["median_per_floor"] = median(latency) / median(floor);
    state.counters["p95_per_floor"] = percentile(latency, 0.95) / percentile(floor, 0.95);
}

} // namespace ombrix::bench
