#include "diff/DiffContents.h"

#include "diff/DiffPieces.h"
#include "util/Errors.h"

#include <string>

namespace lw {
namespace {

using std::to_string;

[[noreturn]] void Damaged(const std::string& what) {
    throw Error("The diff file is damaged: " + what + ". Nothing was changed.");
}

std::string BlockName(int n) {
    return "block " + to_string(n) + " (" + to_string(n / kBlockRows) + ", " +
           to_string(n % kBlockRows) + ")";
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
    if (header.Version != kDiffVersion)
        throw Error("The file is no Version 2 LW-Diff file: its header gives Version " +
                    to_string(header.Version) + ". Nothing was changed.");
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

void CheckStaticsEntries(const StaticsDiffIndex& index, const Area& data) {
    for (int n = 0; n < kBlockCount; ++n) {
        const StaticsDiffEntry& e = index[n];
        if (IsUnchanged(e) || IsEmptied(e))
            continue;
        if (e.Offset == kDiffAbsent)
            Damaged("the statics entry of " + BlockName(n) + " has no position but a length of " +
                    to_string(e.Length));
        if (e.Length / kStaticRecSize > kMaxStaticsPerBlock)
            Damaged("the statics entry of " + BlockName(n) + " holds " +
                    to_string(e.Length / kStaticRecSize) + " records; a block holds at most 2048");
        if (!data.holds(e.Offset, e.Length))
            Damaged("the statics entry of " + BlockName(n) + " (" + to_string(e.Length) +
                    " bytes at position " + to_string(e.Offset) +
                    ") lies outside the statics data, " + data.text());
    }
}

void CheckMapEntries(const MapDiffIndex& index, const Area& data) {
    for (int n = 0; n < kBlockCount; ++n) {
        if (index[n] != kDiffAbsent && !data.holds(index[n], kMapBlockSize))
            Damaged("the map entry of " + BlockName(n) + " (position " + to_string(index[n]) +
                    ") lies outside the map data, " + data.text());
    }
}

} // namespace

DiffContents ReadDiffContents(File& diff) {
    DiffContents contents;
    contents.header = ReadHeader(diff);
    const DiffHeader& h = contents.header;
    const std::uint64_t size = diff.size();
    std::uint64_t mapDataStart = kDiffHeaderSize;
    if (h.StaticsIndexOffset != kDiffAbsent) {
        RequireSection("statics index", h.StaticsIndexOffset, kStaticsDiffIndexSize,
                       {kDiffHeaderSize, size});
        contents.statics = ReadStaticsDiffIndex(diff, h.StaticsIndexOffset);
        CheckStaticsEntries(*contents.statics, {kDiffHeaderSize, h.StaticsIndexOffset});
        mapDataStart = h.StaticsIndexOffset + kStaticsDiffIndexSize;
    }
    if (h.MapIndexOffset != kDiffAbsent) {
        RequireSection("map index", h.MapIndexOffset, kMapDiffIndexSize, {mapDataStart, size});
        contents.map = ReadMapDiffIndex(diff, h.MapIndexOffset);
        CheckMapEntries(*contents.map, {mapDataStart, h.MapIndexOffset});
    }
    return contents;
}

} // namespace lw
