// Fill/clear of the whole world and of a 1000 x 1000 tile rectangle at an odd position, against
// raw transfers of the same files: writing the staged files for the whole world, and for the
// rectangle copying them plus reading the statics it re-appends.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "fillclear/FillClear.h"
#include "fillclear/NamedTiles.h"
#include "util/File.h"
#include "world/Blocks.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

FillClearRequest Request(const WorldFileSet& world, int left, int top, int right, int bottom) {
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
    const WorldFileSet world = WorldFilesIn("fillclear");
    std::mt19937 random(11);
    MakeSyntheticWorld(world, random);
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
