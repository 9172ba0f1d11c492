// Compaction of the whole classic world with a tenth of its blocks moved to new runs at the end
// (as freezes and fill/clears leave it), against a raw copy of its two files.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "util/File.h"
#include "world/Compaction.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace lw::bench {
namespace {

struct Fragmented {
    std::vector<char> index, statics;
};

Fragmented Fragment(const WorldFileSet& set, std::mt19937& random) {
    Fragmented world{ReadAll(set.staidx), ReadAll(set.statics)};
    std::vector<StaticPointer> entries(kBlockCount);
    std::memcpy(entries.data(), world.index.data(), kIndexFileSize);
    for (StaticPointer& entry : entries) {
        if (entry.Offset == kNoStatics || random() % 10 != 0)
            continue;
        const auto at = world.statics.begin() + entry.Offset;
        std::vector<char> run(at, at + entry.Length);
        entry.Offset = static_cast<std::int32_t>(world.statics.size());
        world.statics.insert(world.statics.end(), run.begin(), run.end());
    }
    std::memcpy(world.index.data(), entries.data(), kIndexFileSize);
    return world;
}

void RawRead(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

// Median of runs, each on the fragmented files written afresh before its clock starts.
double MedianOnFreshFiles(const WorldFileSet& set, const Fragmented& world,
                          const std::function<void()>& body, int runs = 7) {
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {
        WriteAll(set.staidx, world.index.data(), world.index.size());
        WriteAll(set.statics, world.statics.data(), world.statics.size());
        ::sync();
        const auto start = std::chrono::steady_clock::now();
        body();
        if (i > 0) // the first is a warm-up
            times.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

LW_BENCHMARK("compaction") {
    std::mt19937 random(22);
    const WorldFileSet set = WorldFilesIn("compaction");
    MakeSyntheticWorld(set, random);
    const Fragmented world = Fragment(set, random);
    const std::string rawIndex = ScratchFolder() + "/raw-staidx",
                      rawStatics = rawIndex + "-statics";
    std::vector<char> buffer(1 << 20, 'x');
    const auto copy = [&](bool sync) {
        RawRead(set.staidx, buffer);
        RawRead(set.statics, buffer);
        RawWrite(rawIndex, world.index.size(), buffer, sync);
        RawWrite(rawStatics, world.statics.size(), buffer, sync);
    };
    NullProgress progress;
    std::int64_t reclaimed = 0;
    const double compaction = MedianOnFreshFiles(set, world, [&] {
        reclaimed = CompactStatics(set.staidx, set.statics, progress).reclaimed();
    });
    const double rawCopy = MedianOnFreshFiles(set, world, [&] { copy(false); });
    const double rawCopySynced = MedianOnFreshFiles(set, world, [&] { copy(true); });
    Report("CompactStatics vs raw copy of both files", compaction, rawCopy, 1.5);
    Report("CompactStatics vs raw copy + sync", compaction, rawCopySynced, 1.5);
    std::printf("statics %.1f MB, %.1f MB reclaimed\n",
                static_cast<double>(world.statics.size()) / 1e6,
                static_cast<double>(reclaimed) / 1e6);
}

} // namespace lw::bench
