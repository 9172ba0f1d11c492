// Generating and applying a diff of a full-size world with about 5% of its map blocks and 5% of
// its static blocks changed, against raw reads and writes of the same files.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "diff/ApplyDiff.h"
#include "diff/GenerateDiff.h"
#include "util/File.h"
#include "world/StaticIndex.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

// The working tables both operations hold: two index tables and the two diff indexes.
constexpr double kWorkingTables = 2 * 4'718'592 + 3'145'728 + 1'572'864;

// 5% of the map blocks redrawn; 5% of the blocks with statics changed as a tool changes them,
// with a new run at the end of statics0.mul.
void MakeModified(const WorldFileSet& original, const WorldFileSet& set, std::mt19937& random) {
    std::vector<char> map = ReadAll(original.map);
    for (int n = 0; n < kBlockCount; ++n)
        if (random() % 20 == 0)
            std::memset(map.data() + n * kMapBlockSize, static_cast<char>(random()), kMapBlockSize);
    WriteAll(set.map, map.data(), map.size());
    std::vector<char> statics = ReadAll(original.statics);
    std::vector<StaticPointer> index(kBlockCount);
    std::memcpy(index.data(), ReadAll(original.staidx).data(), kIndexFileSize);
    for (StaticPointer& entry : index) {
        if (entry.Offset == kNoStatics || random() % 20 != 0)
            continue;
        const auto length = static_cast<std::uint32_t>((1 + random() % 15) * 7);
        entry = {static_cast<std::int32_t>(statics.size()), length, entry.Extra};
        for (std::uint32_t i = 0; i < length; ++i)
            statics.push_back(static_cast<char>(random()));
    }
    WriteAll(set.staidx, index.data(), kIndexFileSize);
    WriteAll(set.statics, statics.data(), statics.size());
}

void RawRead(const std::vector<std::string>& paths, std::vector<char>& buffer) {
    for (const auto& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }
}

long long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atoll(line.c_str() + std::strlen(field));
    return 0;
}

double Megabytes(const std::string& path) {
    return static_cast<double>(FileSizeOf(path)) / 1e6;
}

// Peak resident memory of one call above the memory held before it, in MB.
double PeakGrowthMB(const std::function<void()>& body) {
    // Give freed heap pages back first, or the call would reuse them unseen.
    ::malloc_trim(0);
    {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5"; // resets the peak to the current resident size
    }
    const long long before = StatusKilobytes("VmRSS:");
    body();
    return static_cast<double>(StatusKilobytes("VmHWM:") - before) / 1024.0;
}

} // namespace

LW_BENCHMARK("diff") {
    std::mt19937 random(5);
    const WorldFileSet original = WorldFilesIn("original"), modified = WorldFilesIn("modified"),
                       target = WorldFilesIn("target");
    MakeSyntheticWorld(original, random);
    MakeModified(original, modified, random);
    for (const auto& [from, to] : {std::pair{original.staidx, target.staidx},
                                   {original.statics, target.statics},
                                   {original.map, target.map}})
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    const std::string diff = ScratchFolder() + "/world.lw2";
    NullDiffProgress progress;
    std::vector<char> buffer(1 << 20, 'x');

    const auto generate = [&] { GenerateDiff(original, modified, diff, {}, progress); };
    const auto apply = [&] {
        if (!ApplyDiff(original, target, diff, progress).applied)
            std::abort();
    };
    const double generateMB = PeakGrowthMB(generate);
    const double applyMB = PeakGrowthMB(apply);

    const std::vector<std::string> inputs{original.staidx, original.statics, original.map,
                                          modified.staidx, modified.statics, modified.map};
    const double rawInputs = MedianSeconds([&] { RawRead(inputs, buffer); }, 5);
    const double generation = MedianSeconds(generate, 5);
    Report("GenerateDiff vs reading its six inputs", generation, rawInputs, 3);

    const std::string rawOut = ScratchFolder() + "/raw.out";
    const auto rawApply = [&](bool sync) {
        RawRead({original.staidx, original.statics, original.map, diff}, buffer);
        for (const auto& path : {target.staidx, target.statics, target.map})
            RawWrite(rawOut, FileSizeOf(path), buffer, sync);
    };
    const double rawApplied = MedianSeconds([&] { rawApply(false); }, 5);
    const double rawAppliedSynced = MedianSeconds([&] { rawApply(true); }, 5);
    const double application = MedianSeconds(apply, 5);
    Report("ApplyDiff vs raw reads and writes", application, rawApplied, 3);
    Report("ApplyDiff vs raw reads and synced writes", application, rawAppliedSynced, 3);

    std::printf("diff file %.1f MB; statics %.1f MB original, %.1f MB modified\n", Megabytes(diff),
                Megabytes(original.statics), Megabytes(modified.statics));
    std::printf("peak memory above the working tables (%.1f MB): generation %.1f MB, "
                "application %.1f MB (target <= 64 MB)\n",
                kWorkingTables / 1048576, generateMB - kWorkingTables / 1048576,
                applyMB - kWorkingTables / 1048576);
}

} // namespace lw::bench
