#include "Harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace lw::bench {

double MedianSeconds(const std::function<void()>& body, int runs) {
    body();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Report(const std::string& name, double operationSeconds, double baselineSeconds,
              double targetRatio) {
    const double ratio = operationSeconds / baselineSeconds;
    std::printf("%-44s %9.2f ms   raw %9.2f ms   ratio %5.2fx   (target <= %gx) %s\n", name.c_str(),
                operationSeconds * 1e3, baselineSeconds * 1e3, ratio, targetRatio,
                ratio <= targetRatio ? "ok" : "OVER");
    std::fflush(stdout);
    return ratio;
}

std::string ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "lw-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return pattern;
    }();
    return folder;
}

long long PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

std::vector<Benchmark>& Registry() {
    static std::vector<Benchmark> benchmarks;
    return benchmarks;
}

void RawWrite(const std::string& path, std::uint64_t size, const std::vector<char>& buffer,
              bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::uint64_t done = 0; done < size;) {
        const std::size_t piece = std::min<std::uint64_t>(buffer.size(), size - done);
        if (::write(fd, buffer.data(), piece) != static_cast<ssize_t>(piece))
            std::abort();
        done += piece;
    }
    if (sync)
        ::fdatasync(fd);
    ::close(fd);
}

} // namespace lw::bench

int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    for (const auto& b : lw::bench::Registry())
        if (b.name.find(filter) != std::string::npos) {
            std::printf("== %s\n", b.name.c_str());
            b.run();
        }
    return 0;
}
