// Fill/clear of the whole world and of a 1000 x 1000 tile rectangle at an odd position, against
// raw transfers of the same files: writing the staged files for the whole world, and for the
// rectangle copying them plus reading the statics it re-appends.
#include "Harness.h"
#include "fillclear/FillClear.h"
#include "fillclear/NamedTiles.h"
#include "util/File.h"
#include "world/Blocks.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

struct World {
    std::string staidx, statics, map;
};

void WriteAll(const std::string& path, const void* data, std::size_t size) {
    File file = File::Create(path);
    file.write(data, size);
    file.close();
}

// Statics in about 60% of the blocks, one compact run per block in block order.
World MakeWorld(const std::string& name) {
    const std::string folder = ScratchFolder() + "/" + name;
    ::mkdir(folder.c_str(), 0755);
    World world{folder + "/staidx0.mul", folder + "/statics0.mul", folder + "/map0.mul"};
    std::mt19937 random(11);
    std::vector<char> map(kMapFileSize);
    for (auto& byte : map)
        byte = static_cast<char>(random() % 7);
    WriteAll(world.map, map.data(), map.size());
    std::vector<StaticPointer> index(kBlockCount);
    std::vector<char> statics;
    for (int n = 0; n < kBlockCount; ++n) {
        if (random() % 10 >= 6) {
            index[n] = {kNoStatics, 0, 0};
            continue;
        }
        const auto count = 1 + random() % 15;
        index[n] = {static_cast<std::int32_t>(statics.size()),
                    static_cast<std::uint32_t>(count * kStaticRecSize), 0};
        for (std::uint32_t i = 0; i < count; ++i) {
            const TStaticRec rec{static_cast<std::uint16_t>(random()),
                                 static_cast<std::uint8_t>(random() % 8),
                                 static_cast<std::uint8_t>(random() % 8), 0, 0};
            const auto* bytes = reinterpret_cast<const char*>(&rec);
            statics.insert(statics.end(), bytes, bytes + sizeof rec);
        }
    }
    WriteAll(world.staidx, index.data(), kIndexFileSize);
    WriteAll(world.statics, statics.data(), statics.size());
    return world;
}

FillClearRequest Request(const World& world, int left, int top, int right, int bottom) {
    FillClearRequest r;
    r.StaIdxPath = world.staidx;
    r.StaticsPath = world.statics;
    r.MapPath = world.map;
    r.Left = left;
    r.Top = top;
    r.Right = right;
    r.Bottom = bottom;
    r.Tile = {FindNamedTile("Random grass"), 0};
    r.Altitude = 10;
    return r;
}

void RawCopy(const std::string& from, const std::string& to, std::vector<char>& buffer, bool sync) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (ssize_t got; (got = ::read(in, buffer.data(), buffer.size())) > 0;)
        if (::write(out, buffer.data(), static_cast<std::size_t>(got)) != got)
            std::abort();
    if (sync)
        ::fdatasync(out);
    ::close(in);
    ::close(out);
}

// Reads the runs of the blocks the rectangle covers partly, as a raw baseline of that cost.
void RawReadPartlyCovered(const FillClearRequest& r, std::vector<char>& buffer) {
    const int index = ::open(r.StaIdxPath.c_str(), O_RDONLY);
    const int statics = ::open(r.StaticsPath.c_str(), O_RDONLY);
    for (int blockX = 0; blockX < kBlockColumns; ++blockX)
        for (int blockY = 0; blockY < kBlockRows; ++blockY) {
            if (ClassifyBlock(r.Left, r.Top, r.Right, r.Bottom, blockX, blockY) !=
                BlockCover::Partly)
                continue;
            StaticPointer entry{};
            if (::pread(index, &entry, sizeof entry,
                        static_cast<off_t>(IndexEntryOffset(blockX, blockY))) != sizeof entry)
                std::abort();
            if (entry.Offset != kNoStatics && entry.Length > 0)
                if (::pread(statics, buffer.data(), entry.Length, entry.Offset) < 0)
                    std::abort();
        }
    ::close(index);
    ::close(statics);
}

} // namespace

LW_BENCHMARK("fill/clear") {
    const World world = MakeWorld("fillclear");
    const std::string rawOut = ScratchFolder() + "/raw.out";
    std::vector<char> buffer(1 << 20, 'x');
    NullProgress progress;
    ProgramState state;

    const FillClearRequest whole = Request(world, 0, 0, 6144, 4096);
    const FillClearRequest rectangle = Request(world, 1003, 2001, 2002, 3000);
    const auto rawWrites = [&](bool sync) {
        RawWrite(rawOut, kMapFileSize, buffer, sync);
        RawWrite(rawOut, kIndexFileSize, buffer, sync);
    };
    const auto rawCopies = [&](bool sync) {
        RawCopy(world.map, rawOut, buffer, sync);
        RawCopy(world.staidx, rawOut, buffer, sync);
        RawReadPartlyCovered(rectangle, buffer);
    };

    // The rectangle first, while the world still has statics around it.
    const double rectangleRun = MedianSeconds([&] { FillClear(state, rectangle, progress); }, 5);
    const double rawCopied = MedianSeconds([&] { rawCopies(false); }, 5);
    const double rawCopiedSynced = MedianSeconds([&] { rawCopies(true); }, 5);
    Report("rectangle vs raw copies and reads", rectangleRun, rawCopied, 3);
    Report("rectangle vs raw copies (synced) and reads", rectangleRun, rawCopiedSynced, 3);

    const double wholeRun = MedianSeconds([&] { FillClear(state, whole, progress); }, 5);
    const double rawWritten = MedianSeconds([&] { rawWrites(false); }, 5);
    const double rawWrittenSynced = MedianSeconds([&] { rawWrites(true); }, 5);
    Report("whole world vs raw writes", wholeRun, rawWritten, 3);
    Report("whole world vs raw synced writes", wholeRun, rawWrittenSynced, 3);
}

} // namespace lw::bench
