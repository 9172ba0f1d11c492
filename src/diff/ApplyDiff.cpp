#include "diff/ApplyDiff.h"

#include "diff/Checksums.h"
#include "diff/DiffContents.h"
#include "diff/DiffMessages.h"
#include "diff/DiffPieces.h"
#include "diff/DiffTrailer.h"
#include "diff/DiffWorld.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/SafeReplace.h"
#include "world/AdoptWrittenIndex.h"
#include "world/CrowdedBlocks.h"
#include "world/FileRoles.h"
#include "world/MapFile.h"
#include "world/StaticRuns.h"

#include <algorithm>
#include <cstring>

namespace lw {
namespace {

// The targets are replaced whole at the end, so what would make that fail is refused first.
void RefuseTargets(const WorldFileSet& original, const WorldFileSet& target) {
    if (IsSameFile(original.statics, target.statics))
        throw Error("The target statics0.mul is the original statics0.mul. A diff is applied to "
                    "copies of the original files, never to the originals themselves.");
    for (const std::string* path : {&target.staidx, &target.statics, &target.map})
        if (FileExists(*path) && !IsRegularFile(*path))
            throw IoError(kIoAccessDenied);
}

// The files of the parts the diff holds: the originals and the diff are only read, and no
// target may be one of them.
std::vector<DeclaredFile> ApplicationFiles(const WorldFileSet& original, const WorldFileSet& target,
                                           const std::string& diffPath,
                                           const DiffContents& contents) {
    std::vector<DeclaredFile> files{{kDiffFileRole, diffPath, FileUse::Read}};
    if (contents.statics) {
        files.push_back({kOriginalStaticsIndexRole, original.staidx, FileUse::Read});
        files.push_back({kOriginalStaticsFileRole, original.statics, FileUse::Read});
        files.push_back({kTargetStaticsIndexRole, target.staidx, FileUse::Write});
        files.push_back({kTargetStaticsFileRole, target.statics, FileUse::Write});
    }
    if (contents.map) {
        files.push_back({kOriginalMapFileRole, original.map, FileUse::Read});
        files.push_back({kTargetMapFileRole, target.map, FileUse::Write});
    }
    return files;
}

// An application overwrites the blocks of the player's map; it makes no map where none was.
void RequireTargetMap(const std::string& path) {
    if (!FileExists(path))
        throw IoError(kIoFileNotFound);
}

// The column ticks of a section that the check of the diff file has already read.
void SectionRead(const WorldSize& world, const char* caption, DiffProgress& progress) {
    progress.stage(caption);
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX)
        ColumnDone(world, blockX, progress);
}

StaticPointer CarryUnchanged(PieceReader& originalStatics, PieceWriter& statics,
                             const StaticPointer& o) {
    if (o.Length == 0)
        return {kNoStatics, kDiffAbsent, o.Extra};
    return AppendStaticRecords(statics, ReadStaticRecords(originalStatics, o), o.Extra);
}

// Index entries past the world's (the classic world's index of a wider map) keep their blocks:
// they are carried over like unchanged blocks; a trailing partial entry is kept as it is.
std::vector<char> CarryIndexTail(const std::string& originalIndexPath, std::uint64_t tableSize,
                                 PieceReader& originalStatics, PieceWriter& statics) {
    File index = File::OpenRead(originalIndexPath);
    const std::uint64_t size = index.size();
    if (size <= tableSize)
        return {};
    std::vector<char> tail(size - tableSize);
    index.seek(tableSize);
    index.readExact(tail.data(), tail.size());
    index.close();
    for (std::size_t at = 0; at + kIndexEntrySize <= tail.size(); at += kIndexEntrySize) {
        StaticPointer entry;
        std::memcpy(&entry, tail.data() + at, sizeof entry);
        entry = CarryUnchanged(originalStatics, statics, entry);
        std::memcpy(tail.data() + at, &entry, sizeof entry);
    }
    return tail;
}

struct StaticsBuild {
    std::unique_ptr<StaticIndexTable> table;
    std::vector<char> indexTail;
};

StaticsBuild BuildStatics(const StaticIndexTable& originalIndex, const StaticsDiffIndex& diffIndex,
                          const WorldFileSet& original, PieceReader& diff, File& out,
                          DiffProgress& progress) {
    const WorldSize& world = originalIndex.world();
    StaticsBuild build{std::make_unique<StaticIndexTable>(world), {}};
    std::memset(build.table->data(), 0xFF, build.table->byteSize());
    File originalStatics = File::OpenRead(original.statics);
    PieceReader originalReader(originalStatics);
    PieceWriter statics(out);
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
            const int n = world.blockNumber(blockX, blockY);
            const StaticsDiffEntry& d = diffIndex[n];
            const StaticPointer& o = originalIndex[n];
            StaticPointer& entry = (*build.table)[n];
            if (IsUnchanged(d))
                entry = CarryUnchanged(originalReader, statics, o);
            else if (IsEmptied(d))
                entry = {kNoStatics, kDiffAbsent, o.Extra};
            else
                entry = AppendStaticRecords(statics, ReadDiffStatics(diff, d), kDiffAbsent);
        }
        ColumnDone(world, blockX, progress);
    }
    build.indexTail =
        CarryIndexTail(original.staidx, originalIndex.byteSize(), originalReader, statics);
    statics.flush();
    originalStatics.close();
    return build;
}

// The table with the main bar's 90-99 per column, then the carried tail.
void WriteIndex(const StaticsBuild& build, File& out, DiffProgress& progress) {
    WriteStaticIndexColumns(*build.table, out, progress);
    if (!build.indexTail.empty())
        out.write(build.indexTail.data(), build.indexTail.size());
    progress.report(100);
}

void BuildMap(const WorldSize& world, const MapDiffIndex& diffIndex, const WorldFileSet& original,
              const WorldFileSet& target, PieceReader& diff, StagedMap& out,
              DiffProgress& progress) {
    MapFile originalMap = MapFile::OpenRead(original.map);
    // The whole map passes through: a dozen large transfers each way.
    const std::size_t columnLength = world.mapColumnLength();
    MapPieceReader originalReader(originalMap, 64 * columnLength);
    std::vector<char> piece;
    piece.reserve(64 * columnLength);
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        const char* column = originalReader.read(world.mapBlockOffset(blockX, 0), columnLength);
        for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
            const std::uint32_t d =
                diffIndex[static_cast<std::size_t>(world.blockNumber(blockX, blockY))];
            const char* block =
                d == kDiffAbsent ? column + blockY * kMapBlockSize : ReadDiffMapBlock(diff, d);
            piece.insert(piece.end(), block, block + kMapBlockSize);
        }
        if (piece.size() + columnLength > piece.capacity()) {
            out.write(piece.data(), piece.size());
            piece.clear();
        }
        ColumnDone(world, blockX, progress);
    }
    out.write(piece.data(), piece.size());
    originalMap.close();
    // Blocks are written in place in the target, so whatever it holds past them stays.
    MapFile old = MapFile::OpenRead(target.map);
    for (std::uint64_t at = world.mapLength(); at < old.length();) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.capacity(), old.length() - at));
        piece.resize(length);
        old.read(at, piece.data(), length);
        out.write(piece.data(), length);
        at += length;
    }
    old.close();
    out.finish();
}

AppliedDiff ChecksumMismatch(std::uint32_t computed, std::uint32_t stored) {
    AppliedDiff result;
    result.caption = kCrcErrorCaption;
    result.message = CrcErrorMessage(computed, stored);
    return result;
}

} // namespace

AppliedDiff ApplyDiff(const WorldFileSet& original, const WorldFileSet& target,
                      const std::string& diffPath, DiffProgress& progress, const LogSink& log) {
    RefuseTargets(original, target);
    PacedProgress paced(progress);
    File diffFile = File::OpenRead(diffPath);
    const DiffContents contents = ReadDiffContents(diffFile);
    CheckDiffTrailer(diffFile, DiffPartsEnd(contents));
    if (contents.map)
        RequireTargetMap(target.map);
    const OperationFiles files(ApplicationFiles(original, target, diffPath, contents), log);
    const WorldSize& world = contents.world;
    RequireApplicationWorld(world, original, target, contents.statics.has_value(),
                            contents.map.has_value());
    PieceReader diff(diffFile);
    AppliedDiff result;
    ReplacementSet replacements;
    std::unique_ptr<ReplacementFile> staticsOut, indexOut;
    std::unique_ptr<StagedMap> mapOut;

    if (contents.statics) {
        auto originalIndex = std::make_unique<StaticIndexTable>(world);
        ReadStaticIndex(original.staidx, *originalIndex, paced);
        const std::uint32_t checksum = IndexChecksum(*originalIndex);
        if (checksum != contents.header.OriginalIndexChecksum)
            return ChecksumMismatch(checksum, contents.header.OriginalIndexChecksum);
        staticsOut = std::make_unique<ReplacementFile>(target.statics);
        SectionRead(world, "Applying Diff (Reading statics index)", paced);
        paced.stage("Applying Diff (Creating statics)");
        StaticsBuild build = BuildStatics(*originalIndex, *contents.statics, original, diff,
                                          staticsOut->file(), paced);
        indexOut = std::make_unique<ReplacementFile>(target.staidx);
        WriteIndex(build, indexOut->file(), paced);
        replacements.add(staticsOut.get());
        replacements.add(indexOut.get());
        result.writtenIndex = std::move(build.table);
    }
    if (contents.map) {
        mapOut = std::make_unique<StagedMap>(target.map);
        SectionRead(world, "Applying Diff (Reading map index)", paced);
        paced.stage("Applying Diff (Creating map)");
        BuildMap(world, *contents.map, original, target, diff, *mapOut, paced);
        replacements.add(mapOut->replacement());
    }
    replacements.commit();
    diffFile.close();
    result.applied = true;
    if (result.writtenIndex)
        if (const auto warning = CrowdedBlocksWarning(CrowdedBlocksOf(*result.writtenIndex),
                                                      result.writtenIndex->world()))
            log(*warning);
    return result;
}

bool TakeWrittenIndex(ProgramState& state, const std::string& targetIndexPath,
                      AppliedDiff& applied) {
    return AdoptWrittenIndex(state, targetIndexPath, applied.writtenIndex);
}

} // namespace lw
