#include "diff/DiffContents.h"

#include "diff/DiffPieces.h"
#include "util/Errors.h"
#include "world/WorldSizes.h"

#include <string>

namespace lw {
namespace {

using std::to_string;

[[noreturn]] void Damaged(const std::string& what) {
    throw Error("The diff file is damaged: " + what + ". Nothing was changed.");
}

std::string BlockNameOf(const WorldSize& world, int n) {
    return "block " + to_string(n) + " (" + to_string(world.blockXOf(n)) + ", " +
           to_string(world.blockYOf(n)) + ")";
}

// A byte range [start, end) of the file.
struct Area {
    std::uint64_t start, end;
    bool holds(std::uint64_t position, std::uint64_t length) const {
        return position >= start && position <= end && end - position >= length;
    }
    std::string text() const { return "positions " + to_string(start) + " to " + to_string(end); }
};

DiffHeader ReadHeader(File& diff) {
    const std::uint64_t size = diff.size();
    if (size < kDiffHeaderSize)
        throw Error("The file is no LW-Diff file: at " + to_string(size) +
                    " bytes it is shorter than a diff header (1024 bytes). Nothing was changed.");
    DiffHeader header{};
    diff.seek(0);
    diff.readExact(&header, sizeof header);
    if (header.Version != kDiffVersion && header.Version != kDiffVersionOfOtherWorlds)
        throw Error("The file is no Version 2 or 3 LW-Diff file: its header gives Version " +
                    to_string(header.Version) + ". Nothing was changed.");
    const WorldSize world = DiffHeaderWorld(header);
    if (!KnownWorldSize(world.BlockColumns, world.BlockRows))
        Damaged("its header gives a world of " + to_string(world.BlockColumns) + " x " +
                to_string(world.BlockRows) + " blocks, the size of no facet");
    if (header.StaticsIndexOffset == kDiffAbsent && header.MapIndexOffset == kDiffAbsent)
        throw Error("The diff file holds neither statics nor map differences: there is nothing "
                    "to apply. Nothing was changed.");
    return header;
}

void RequireSection(const char* name, std::uint32_t position, std::uint64_t length,
                    const Area& allowed) {
    if (!allowed.holds(position, length))
        Damaged(std::string("its ") + name + " (" + to_string(length) + " bytes at position " +
                to_string(position) + ") does not lie within " + allowed.text() + " of the file");
}

void CheckStaticsEntries(const WorldSize& world, const StaticsDiffIndex& index, const Area& data) {
    for (int n = 0; n < world.blockCount(); ++n) {
        const StaticsDiffEntry& e = index[n];
        if (IsUnchanged(e) || IsEmptied(e))
            continue;
        if (e.Offset == kDiffAbsent)
            Damaged("the statics entry of " + BlockNameOf(world, n) +
                    " has no position but a length of " + to_string(e.Length));
        if (e.Length / kStaticRecSize > kMaxStaticsPerBlock)
            Damaged("the statics entry of " + BlockNameOf(world, n) + " holds " +
                    to_string(e.Length / kStaticRecSize) + " records; a block holds at most 2048");
        if (!data.holds(e.Offset, e.Length))
            Damaged("the statics entry of " + BlockNameOf(world, n) + " (" + to_string(e.Length) +
                    " bytes at position " + to_string(e.Offset) +
                    ") lies outside the statics data, " + data.text());
    }
}

void CheckMapEntries(const WorldSize& world, const MapDiffIndex& index, const Area& data) {
    for (int n = 0; n < world.blockCount(); ++n) {
        if (index[n] != kDiffAbsent && !data.holds(index[n], kMapBlockSize))
            Damaged("the map entry of " + BlockNameOf(world, n) + " (position " +
                    to_string(index[n]) + ") lies outside the map data, " + data.text());
    }
}

} // namespace

DiffContents ReadDiffContents(File& diff) {
    DiffContents contents;
    contents.header = ReadHeader(diff);
    const DiffHeader& h = contents.header;
    const WorldSize world = contents.world = DiffHeaderWorld(h);
    const std::uint64_t size = diff.size();
    std::uint64_t mapDataStart = kDiffHeaderSize;
    if (h.StaticsIndexOffset != kDiffAbsent) {
        RequireSection("statics index", h.StaticsIndexOffset, StaticsDiffIndexSize(world),
                       {kDiffHeaderSize, size});
        contents.statics = ReadStaticsDiffIndex(diff, h.StaticsIndexOffset, world);
        CheckStaticsEntries(world, *contents.statics, {kDiffHeaderSize, h.StaticsIndexOffset});
        mapDataStart = h.StaticsIndexOffset + StaticsDiffIndexSize(world);
    }
    if (h.MapIndexOffset != kDiffAbsent) {
        RequireSection("map index", h.MapIndexOffset, MapDiffIndexSize(world),
                       {mapDataStart, size});
        contents.map = ReadMapDiffIndex(diff, h.MapIndexOffset, world);
        CheckMapEntries(world, *contents.map, {mapDataStart, h.MapIndexOffset});
    }
    return contents;
}

std::uint64_t DiffPartsEnd(const DiffContents& contents) {
    const DiffHeader& h = contents.header;
    if (contents.map)
        return h.MapIndexOffset + MapDiffIndexSize(contents.world);
    if (contents.statics)
        return h.StaticsIndexOffset + StaticsDiffIndexSize(contents.world);
    return kDiffHeaderSize;
}

} // namespace lw
