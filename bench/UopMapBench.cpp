// A 7168 x 4096 map read and filled whole as mapN.mul and as mapNLegacyMUL.uop, in one run: the
// container's figures beside the plain map's, and both beside raw transfers of the same files.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "diff/Checksums.h"
#include "fillclear/FillClear.h"
#include "fillclear/NamedTiles.h"
#include "util/File.h"
#include "world/MapConversion.h"
#include "world/WorldSizes.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <random>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

constexpr WorldSize kWide{896, 512};

void RawRead(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

// Median times of two bodies run by turns, so that a machine that slows down meanwhile slows both.
std::pair<double, double> MedianSecondsByTurns(const std::function<void()>& first,
                                               const std::function<void()>& second, int runs) {
    std::vector<double> a, b;
    for (int i = 0; i <= runs; ++i) {
        for (auto [body, times] : {std::pair{&first, &a}, std::pair{&second, &b}}) {
            const auto start = std::chrono::steady_clock::now();
            (*body)();
            if (i > 0) // the first round warms the caches
                times->push_back(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
                        .count());
        }
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
}

FillClearRequest WholeMap(const std::string& map) {
    FillClearRequest r;
    r.MapPath = map;
    r.ClearStatics = false;
    r.Left = 0;
    r.Top = 0;
    r.Right = kWide.width();
    r.Bottom = kWide.height();
    r.Tile = {FindNamedTile("Random grass"), 0};
    r.Altitude = 10;
    return r;
}

} // namespace

LW_BENCHMARK("uop map") {
    const std::string folder = ScratchFolder();
    const std::string mul = folder + "/map0.mul", uop = folder + "/map0LegacyMUL.uop";
    {
        std::mt19937 random(5);
        std::vector<char> map(kWide.mapLength());
        for (auto& byte : map)
            byte = static_cast<char>(random() % 7);
        WriteAll(mul, map.data(), map.size());
    }
    ConvertMap(mul, uop, true);
    std::vector<char> buffer(1 << 20, 'x');
    NullProgress progress;

    // Reading: the map checksum reads every block of the world, through the map reader.
    const auto [readMul, readUop] = MedianSecondsByTurns(
        [&] { MapChecksum(mul, kWide, progress); }, [&] { MapChecksum(uop, kWide, progress); }, 9);
    const double rawReadMul = MedianSeconds([&] { RawRead(mul, buffer); });
    const double rawReadUop = MedianSeconds([&] { RawRead(uop, buffer); });
    Report("read .mul vs raw read of it", readMul, rawReadMul, 3);
    Report("read .uop vs raw read of it", readUop, rawReadUop, 3);
    Report("read .uop vs read .mul", readUop, readMul, 1.2);

    // The whole map filled: read, filled, written beside the old and put in place.
    ProgramState state;
    const auto [fillMul, fillUop] =
        MedianSecondsByTurns([&] { FillClear(state, WholeMap(mul), progress); },
                             [&] { FillClear(state, WholeMap(uop), progress); }, 9);
    const std::string rawOut = folder + "/raw.out";
    const double rawWriteMul =
        MedianSeconds([&] { RawWrite(rawOut, kWide.mapLength(), buffer, true); }, 5);
    const double rawWriteUop =
        MedianSeconds([&] { RawWrite(rawOut, FileSizeOf(uop), buffer, true); }, 5);
    Report("fill whole .mul vs raw synced write", fillMul, rawWriteMul, 3);
    Report("fill whole .uop vs raw synced write", fillUop, rawWriteUop, 3);
    Report("fill whole .uop vs fill whole .mul", fillUop, fillMul, 1.2);
}

} // namespace lw::bench
