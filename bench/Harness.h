// A small benchmark harness: each figure is printed beside a raw-I/O baseline of the same run,
// with the ratio, since ratios are what stay comparable across noisy machines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lw::bench {

// Median wall time in seconds of `runs` calls (after one warm-up call).
double MedianSeconds(const std::function<void()>& body, int runs = 7);

// Prints "name  op ms  baseline ms  ratio x  (target <= limit x)" and returns op / baseline.
double Report(const std::string& name, double operationSeconds, double baselineSeconds,
              double targetRatio);

// A folder under the system's temporary folder, removed when the process ends.
std::string ScratchFolder();

// The raw-I/O baseline of writing a file of size bytes from buffer, synced when asked.
void RawWrite(const std::string& path, std::uint64_t size, const std::vector<char>& buffer,
              bool sync);

// Peak resident memory of this process so far, in bytes.
long long PeakResidentBytes();

struct Benchmark {
    std::string name;
    std::function<void()> run;
};
std::vector<Benchmark>& Registry();

struct Registrar {
    Registrar(std::string name, std::function<void()> run) {
        Registry().push_back({std::move(name), std::move(run)});
    }
};

} // namespace lw::bench

#define LW_BENCH_CONCAT2(a, b) a##b
#define LW_BENCH_CONCAT(a, b) LW_BENCH_CONCAT2(a, b)
// Defines a benchmark body that lw_bench runs (all, or those whose name contains its argument).
#define LW_BENCHMARK(name)                                                                         \
    static void LW_BENCH_CONCAT(BenchBody_, __LINE__)();                                           \
    static ::lw::bench::Registrar LW_BENCH_CONCAT(benchRegistrar_, __LINE__)(                      \
        name, LW_BENCH_CONCAT(BenchBody_, __LINE__));                                              \
    static void LW_BENCH_CONCAT(BenchBody_, __LINE__)()
