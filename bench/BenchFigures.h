#pragma once

#include <benchmark/benchmark.h>
#include <vector>

namespace ombrix::bench {

// The middle value (the mean of the two middle ones for an even count).
double median(std::vector<double> values);
// Nearest rank.
double percentile(std::vector<double> values, double fraction);

// The counters of a latency measured against the least latency the worker's
// pauses allow, one floor value per measurement: medians, 95th percentiles and
// their ratios.
void reportLatency(benchmark::State& state, const std::vector<double>& latency,
                   const std::vector<double>& floor);

} // namespace ombrix::bench
