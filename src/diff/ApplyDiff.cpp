#include "diff/ApplyDiff.h"

#include "diff/Checksums.h"
#include "diff/DiffContents.h"
#include "diff/DiffMessages.h"
#include "diff/DiffPieces.h"
#include "diff/DiffTrailer.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"
#include "world/StaticRuns.h"

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
void SectionRead(const char* caption, DiffProgress& progress) {
    progress.stage(caption);
    for (int blockX = 0; blockX < kBlockColumns; ++blockX)
        ColumnDone(blockX, progress);
}

StaticPointer CarryUnchanged(PieceReader& originalStatics, PieceWriter& statics,
                             const StaticPointer& o) {
    if (o.Length == 0)
        return {kNoStatics, kDiffAbsent, o.Extra};
    return AppendStaticRecords(statics, ReadStaticRecords(originalStatics, o), o.Extra);
}

// Index entries past the 393,216 of this world size (a wider map) keep their blocks: they are
// carried over like unchanged blocks; a trailing partial entry is kept as it is.
std::vector<char> CarryIndexTail(const std::string& originalIndexPath, PieceReader& originalStatics,
                                 PieceWriter& statics) {
    File index = File::OpenRead(originalIndexPath);
    const std::uint64_t size = index.size();
    if (size <= kIndexFileSize)
        return {};
    std::vector<char> tail(size - kIndexFileSize);
    index.seek(kIndexFileSize);
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
    StaticsBuild build{std::make_unique<StaticIndexTable>(), {}};
    std::memset(build.table->data(), 0xFF, kIndexFileSize);
    File originalStatics = File::OpenRead(original.statics);
    PieceReader originalReader(originalStatics);
    PieceWriter statics(out);
    for (int blockX = 0; blockX < kBlockColumns; ++blockX) {
        for (int blockY = 0; blockY < kBlockRows; ++blockY) {
            const int n = BlockNumber(blockX, blockY);
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
        ColumnDone(blockX, progress);
    }
    build.indexTail = CarryIndexTail(original.staidx, originalReader, statics);
    statics.flush();
    originalStatics.close();
    return build;
}

// The table with the main bar's 90-99 per column, then the carried tail.
void WriteIndex(const StaticsBuild& build, File& out, DiffProgress& progress) {
    for (int first = 0; first < kBlockColumns; first += kIndexColumnsPerPiece) {
        out.write(&build.table->at(first, 0), kIndexColumnsPerPiece * kIndexColumnSize);
        for (int blockX = first; blockX < first + kIndexColumnsPerPiece; ++blockX) {
            progress.report(90 + blockX * 10 / kBlockColumns);
            progress.yield();
        }
    }
    if (!build.indexTail.empty())
        out.write(build.indexTail.data(), build.indexTail.size());
    progress.report(100);
}

void BuildMap(const MapDiffIndex& diffIndex, const WorldFileSet& original,
              const WorldFileSet& target, PieceReader& diff, File& out, DiffProgress& progress) {
    File originalMap = File::OpenRead(original.map);
    // The whole map passes through: a dozen large transfers each way.
    PieceReader originalReader(originalMap, 64 * kMapColumnSize);
    PieceWriter map(out, 64 * kMapColumnSize);
    for (int blockX = 0; blockX < kBlockColumns; ++blockX) {
        const char* column = originalReader.read(MapBlockOffset(blockX, 0), kMapColumnSize);
        for (int blockY = 0; blockY < kBlockRows; ++blockY) {
            const std::uint32_t d = diffIndex[BlockNumber(blockX, blockY)];
            map.write(d == kDiffAbsent ? column + blockY * kMapBlockSize
                                       : ReadDiffMapBlock(diff, d),
                      kMapBlockSize);
        }
        ColumnDone(blockX, progress);
    }
    originalMap.close();
    // Blocks are written in place in the target, so whatever it holds past them stays.
    File old = File::OpenRead(target.map);
    if (old.size() > kMapFileSize) {
        PieceReader oldReader(old);
        for (std::uint64_t at = kMapFileSize; at < old.size(); at += kMapColumnSize) {
            const std::size_t length = std::min<std::uint64_t>(kMapColumnSize, old.size() - at);
            map.write(oldReader.read(at, length), length);
        }
    }
    old.close();
    map.flush();
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
    RequireSoundDiffTrailer(diffFile);
    if (contents.map)
        RequireTargetMap(target.map);
    const OperationFiles files(ApplicationFiles(original, target, diffPath, contents), log);
    PieceReader diff(diffFile);
    AppliedDiff result;
    ReplacementSet replacements;
    std::unique_ptr<ReplacementFile> staticsOut, indexOut, mapOut;

    if (contents.statics) {
        auto originalIndex = std::make_unique<StaticIndexTable>();
        ReadStaticIndex(original.staidx, *originalIndex, paced);
        const std::uint32_t checksum = IndexChecksum(*originalIndex);
        if (checksum != contents.header.OriginalIndexChecksum)
            return ChecksumMismatch(checksum, contents.header.OriginalIndexChecksum);
        staticsOut = std::make_unique<ReplacementFile>(target.statics);
        SectionRead("Applying Diff (Reading statics index)", paced);
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
        mapOut = std::make_unique<ReplacementFile>(target.map);
        SectionRead("Applying Diff (Reading map index)", paced);
        paced.stage("Applying Diff (Creating map)");
        BuildMap(*contents.map, original, target, diff, mapOut->file(), paced);
        replacements.add(mapOut.get());
    }
    replacements.commit();
    diffFile.close();
    result.applied = true;
    return result;
}

bool TakeWrittenIndex(ProgramState& state, const std::string& targetIndexPath,
                      AppliedDiff& applied) {
    if (!applied.writtenIndex || !state.StaticIndexLoaded ||
        !IsSameFile(state.StaticIndexPath, targetIndexPath))
        return false;
    state.StaticIndex = std::move(*applied.writtenIndex);
    applied.writtenIndex.reset();
    NoteIndexWritten(state, targetIndexPath);
    return true;
}

} // namespace lw
