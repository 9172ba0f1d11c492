// Applies patched diff files to a small world built once per process. The properties: a refused
// or failed application leaves every target as it was, and an accepted one writes an index whose
// every entry lies inside the statics file written beside it.
#include "FuzzFiles.h"
#include "PatchedDiff.h"
#include "diff/ApplyDiff.h"
#include "diff/Checksums.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/StaticIndex.h"
#include "world/StaticRuns.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using namespace lw;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

WorldFileSet Set(const std::string& prefix) {
    return {fuzz::ScratchFile(prefix + "staidx0.mul"), fuzz::ScratchFile(prefix + "statics0.mul"),
            fuzz::ScratchFile(prefix + "map0.mul")};
}

// Two blocks with records, the rest empty, one index entry past the world's (a wider map) and a
// few stray bytes behind it; an all-zero map. Returns the index checksum.
std::uint32_t MakeOriginal(const WorldFileSet& set) {
    const std::string records = "ABCDEFGHIJKLMNOPQRSTU"; // three records
    StaticIndexTable table;
    for (int n = 0; n < kBlockCount; ++n)
        table[n] = {kNoStatics, 0, 0};
    table.at(0, 0) = {0, 14, 7};
    table.at(767, 511) = {14, 7, 0};
    std::string index(reinterpret_cast<const char*>(table.data()), kIndexFileSize);
    const StaticPointer tail{7, 14, 0};
    index.append(reinterpret_cast<const char*>(&tail), sizeof tail);
    index.append("xyz");
    fuzz::WriteBytes(set.staidx, index);
    fuzz::WriteBytes(set.statics, records);
    File map = File::Create(set.map);
    map.truncate(kMapFileSize);
    map.close();
    return IndexChecksum(table);
}

void CopyFile(const std::string& from, const std::string& to) {
    File out = File::Create(to);
    File in = File::OpenRead(from);
    std::string piece(1 << 20, '\0');
    while (const std::size_t n = in.readSome(piece.data(), piece.size()))
        out.write(piece.data(), n);
    out.close();
}

using Stamps = std::array<std::optional<FileStamp>, 3>;

Stamps StampsOf(const WorldFileSet& set) {
    return {StampOf(set.staidx), StampOf(set.statics), StampOf(set.map)};
}

void CheckWritten(const WorldFileSet& target, const StaticIndexTable& index) {
    const std::uint64_t staticsSize = FileSizeOf(target.statics);
    for (int n = 0; n < kBlockCount; ++n) {
        const StaticPointer& entry = index[n];
        if (entry.Offset == kNoStatics)
            continue;
        StaticRecordCount(entry); // throws for a length no block can have
        Require(entry.Offset >= 0 &&
                static_cast<std::uint64_t>(entry.Offset) + entry.Length <= staticsSize);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const WorldFileSet original = Set("o-"), target = Set("t-");
    static const std::string diffPath = fuzz::ScratchFile("world.lw2");
    static const std::string sound = [] {
        const std::uint32_t checksum = MakeOriginal(original);
        CopyFile(original.staidx, target.staidx);
        CopyFile(original.statics, target.statics);
        CopyFile(original.map, target.map);
        return fuzz::SoundDiff(checksum);
    }();
    fuzz::WriteBytes(diffPath, fuzz::Patched(sound, data, size));

    const Stamps before = StampsOf(target);
    NullDiffProgress progress;
    try {
        AppliedDiff applied = ApplyDiff(original, target, diffPath, progress);
        if (!applied.applied)
            Require(StampsOf(target) == before);
        else if (applied.writtenIndex)
            CheckWritten(target, *applied.writtenIndex);
    } catch (const Error&) {
        Require(StampsOf(target) == before);
    }
    return 0;
}
