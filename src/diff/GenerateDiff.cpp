#include "diff/GenerateDiff.h"

#include "diff/Checksums.h"
#include "diff/Comparisons.h"
#include "diff/DiffFormat.h"
#include "diff/DiffMessages.h"
#include "diff/DiffPieces.h"
#include "diff/DiffTrailer.h"
#include "diff/DiffWorld.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/SafeReplace.h"
#include "world/FileRoles.h"
#include "world/MapFile.h"
#include "world/StaticIndex.h"
#include "world/StaticRuns.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace lw {
namespace {

void RefuseOutputAmongInputs(const WorldFileSet& original, const WorldFileSet& modified,
                             const std::string& diffPath) {
    for (const std::string* input : {&original.staidx, &original.statics, &original.map,
                                     &modified.staidx, &modified.statics, &modified.map}) {
        if (IsSameFile(diffPath, *input))
            throw Error("The diff file " + diffPath +
                        " is one of the world files it is made from; choose another name.");
    }
    // A folder of that name could not be replaced once the whole diff is written.
    if (FileExists(diffPath) && !IsRegularFile(diffPath))
        throw IoError(kIoAccessDenied);
}

// The inputs of the chosen parts are only read; the diff file is written.
std::vector<DeclaredFile> GenerationFiles(const WorldFileSet& original,
                                          const WorldFileSet& modified, const std::string& diffPath,
                                          DiffParts parts) {
    std::vector<DeclaredFile> files{{kDiffFileRole, diffPath, FileUse::Write}};
    if (parts.statics) {
        files.push_back({kOriginalStaticsIndexRole, original.staidx, FileUse::Read});
        files.push_back({kOriginalStaticsFileRole, original.statics, FileUse::Read});
        files.push_back({kModifiedStaticsIndexRole, modified.staidx, FileUse::Read});
        files.push_back({kModifiedStaticsFileRole, modified.statics, FileUse::Read});
    }
    if (parts.map) {
        files.push_back({kOriginalMapFileRole, original.map, FileUse::Read});
        files.push_back({kModifiedMapFileRole, modified.map, FileUse::Read});
    }
    return files;
}

std::uint32_t SizeField(std::uint64_t size) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 0xFFFFFFFF));
}

// A position in the diff where a section of the given length can start.
std::uint32_t SectionPosition(const PieceWriter& diff, std::uint64_t length) {
    if (diff.position() + length >= kDiffAbsent)
        throw Error("The diff file would grow beyond 4 GB; it cannot hold these differences");
    return static_cast<std::uint32_t>(diff.position());
}

// Blocks whose index entries agree count as unchanged without a look at their records.
StaticsDiffIndex CompareStatics(const StaticIndexTable& originalIndex,
                                const StaticIndexTable& modifiedIndex, File& originalStatics,
                                File& modifiedStatics, PieceWriter& diff, DiffProgress& progress) {
    const WorldSize& world = originalIndex.world();
    StaticsDiffIndex index = UnchangedStaticsDiffIndex(world);
    PieceReader originalReader(originalStatics), modifiedReader(modifiedStatics);
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
            const int n = world.blockNumber(blockX, blockY);
            const StaticPointer& o = originalIndex[n];
            const StaticPointer& m = modifiedIndex[n];
            if (m.Offset == kNoStatics) {
                index[n] = kStaticsEmptied;
            } else if (!IndexEntriesEqual(o, m)) {
                const std::string_view before = ReadStaticRecords(originalReader, o);
                const std::string_view after = ReadStaticRecords(modifiedReader, m);
                if (!StaticRecordsEqual(before, after))
                    index[n] = AppendDiffStatics(diff, after);
            }
        }
        ColumnDone(world, blockX, progress);
    }
    return index;
}

void GenerateStaticsPart(const WorldSize& world, const WorldFileSet& original,
                         const WorldFileSet& modified, PieceWriter& diff, DiffHeader& header,
                         DiffProgress& progress) {
    progress.stage("Generating Diff (Statics)");
    auto originalIndex = std::make_unique<StaticIndexTable>(world);
    auto modifiedIndex = std::make_unique<StaticIndexTable>(world);
    ReadStaticIndex(original.staidx, *originalIndex, progress);
    ReadStaticIndex(modified.staidx, *modifiedIndex, progress);
    header.OriginalIndexChecksum = IndexChecksum(*originalIndex);
    header.ModifiedIndexChecksum = IndexChecksum(*modifiedIndex);
    File originalStatics = File::OpenRead(original.statics);
    File modifiedStatics = File::OpenRead(modified.statics);
    header.OriginalStaticsSize = SizeField(originalStatics.size());
    header.ModifiedStaticsSize = SizeField(modifiedStatics.size());

    const StaticsDiffIndex index = CompareStatics(*originalIndex, *modifiedIndex, originalStatics,
                                                  modifiedStatics, diff, progress);
    header.StaticsIndexOffset = SectionPosition(diff, StaticsDiffIndexSize(world));
    progress.stage("Generating Diff (Statics index)");
    WriteStaticsDiffIndex(diff, index, world, progress);
    originalStatics.close();
    modifiedStatics.close();
}

MapDiffIndex CompareMaps(const WorldSize& world, const std::string& originalPath,
                         const std::string& modifiedPath, PieceWriter& diff,
                         DiffProgress& progress) {
    MapDiffIndex index = UnchangedMapDiffIndex(world);
    MapFile originalMap = MapFile::OpenRead(originalPath);
    MapFile modifiedMap = MapFile::OpenRead(modifiedPath);
    const std::size_t columnLength = world.mapColumnLength();
    const std::size_t window = 8 * columnLength;
    MapPieceReader originalReader(originalMap, window), modifiedReader(modifiedMap, window);
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        const std::uint64_t column = world.mapBlockOffset(blockX, 0);
        const char* before = originalReader.read(column, columnLength);
        const char* after = modifiedReader.read(column, columnLength);
        if (std::memcmp(before, after, columnLength) != 0) {
            for (int blockY = 0; blockY < world.BlockRows; ++blockY) {
                const std::size_t at = blockY * kMapBlockSize;
                if (!MapBlocksEqual(before + at, after + at))
                    index[static_cast<std::size_t>(world.blockNumber(blockX, blockY))] =
                        AppendDiffMapBlock(diff, after + at);
            }
        }
        ColumnDone(world, blockX, progress);
    }
    originalMap.close();
    modifiedMap.close();
    return index;
}

void GenerateMapPart(const WorldSize& world, const WorldFileSet& original,
                     const WorldFileSet& modified, PieceWriter& diff, DiffHeader& header,
                     DiffProgress& progress) {
    header.ModifiedMapChecksum = MapChecksum(modified.map, world, progress);
    progress.stage("Generating Diff (Map)");
    const MapDiffIndex index = CompareMaps(world, original.map, modified.map, diff, progress);
    header.MapIndexOffset = SectionPosition(diff, MapDiffIndexSize(world));
    progress.stage("Generating Diff (Map index)");
    WriteMapDiffIndex(diff, index, world, progress);
}

} // namespace

GeneratedDiff GenerateDiff(const WorldFileSet& original, const WorldFileSet& modified,
                           const std::string& diffPath, DiffParts parts, DiffProgress& progress,
                           const LogSink& log) {
    RefuseOutputAmongInputs(original, modified, diffPath);
    if (!parts.statics && !parts.map)
        throw Error("A diff holds the statics, the map or both; choose at least one.");
    const OperationFiles files(GenerationFiles(original, modified, diffPath, parts), log);
    const WorldSize world = GenerationWorld(original, modified, parts.statics, parts.map);
    PacedProgress paced(progress);

    ReplacementFile output(diffPath);
    PieceWriter diff(output.file());
    DiffHeader header = FreshDiffHeader(world);
    diff.write(&header, sizeof header);
    if (parts.statics)
        GenerateStaticsPart(world, original, modified, diff, header, paced);
    if (parts.map)
        GenerateMapPart(world, original, modified, diff, header, paced);
    diff.flush();
    output.file().seek(0);
    output.file().write(&header, sizeof header);
    AppendDiffTrailer(output.file());
    output.commit();

    return {header.OriginalIndexChecksum, kCrcValueCaption,
            CrcValueMessage(header.OriginalIndexChecksum)};
}

} // namespace lw
