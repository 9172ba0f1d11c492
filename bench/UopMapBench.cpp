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

#include <fcntl.h>
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
    const double readMul = MedianSeconds([&] { MapChecksum(mul, kWide, progress); });
    const double readUop = MedianSeconds([&] { MapChecksum(uop, kWide, progress); });
    const double rawReadMul = MedianSeconds([&] { RawRead(mul, buffer); });
    const double rawReadUop = MedianSeconds([&] { RawRead(uop, buffer); });
    Report("read .mul vs raw read of it", readMul, rawReadMul, 3);
    Report("read .uop vs raw read of it", readUop, rawReadUop, 3);
    Report("read .uop vs read .mul", readUop, readMul, 1.2);

    // The whole map filled: read, filled, written beside the old and put in place.
    ProgramState state;
    const double fillMul = MedianSeconds([&] { FillClear(state, WholeMap(mul), progress); }, 5);
    const double fillUop = MedianSeconds([&] { FillClear(state, WholeMap(uop), progress); }, 5);
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
