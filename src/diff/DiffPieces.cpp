#include "diff/DiffPieces.h"

#include "util/Errors.h"

namespace lw {
namespace {

// Positions in the diff are 32-bit, and all bits set means "absent".
std::uint32_t CheckedDiffPosition(std::uint64_t position, std::uint64_t length) {
    if (position + length >= kDiffAbsent)
        throw Error("The diff file would grow beyond 4 GB; it cannot hold these differences");
    return static_cast<std::uint32_t>(position);
}

template <typename Entry>
void WriteIndexSection(PieceWriter& diff, const std::vector<Entry>& index, const WorldSize& world,
                       DiffProgress& progress) {
    for (int blockX = 0; blockX < world.BlockColumns; ++blockX) {
        diff.write(&index[static_cast<std::size_t>(world.blockNumber(blockX, 0))],
                   static_cast<std::size_t>(world.BlockRows) * sizeof(Entry));
        ColumnDone(world, blockX, progress);
    }
}

template <typename Entry>
std::vector<Entry> ReadIndexSection(File& diff, std::uint32_t position, const WorldSize& world) {
    std::vector<Entry> index(static_cast<std::size_t>(world.blockCount()));
    diff.seek(position);
    diff.readExact(index.data(), index.size() * sizeof(Entry));
    return index;
}

} // namespace

StaticsDiffEntry AppendDiffStatics(PieceWriter& diff, std::string_view records) {
    const std::uint32_t position = CheckedDiffPosition(diff.position(), records.size());
    diff.write(records.data(), records.size());
    return {position, static_cast<std::uint32_t>(records.size())};
}

std::string_view ReadDiffStatics(PieceReader& diff, const StaticsDiffEntry& entry) {
    const std::uint32_t count = entry.Length / kStaticRecSize;
    if (count > kMaxStaticsPerBlock)
        throw RangeError();
    const std::size_t length = count * kStaticRecSize;
    return {diff.read(entry.Offset, length), length};
}

std::uint32_t AppendDiffMapBlock(PieceWriter& diff, const void* block) {
    const std::uint32_t position = CheckedDiffPosition(diff.position(), kMapBlockSize);
    diff.write(block, kMapBlockSize);
    return position;
}

const char* ReadDiffMapBlock(PieceReader& diff, std::uint32_t position) {
    return diff.read(position, kMapBlockSize);
}

void WriteStaticsDiffIndex(PieceWriter& diff, const StaticsDiffIndex& index, const WorldSize& world,
                           DiffProgress& progress) {
    WriteIndexSection(diff, index, world, progress);
}

void WriteMapDiffIndex(PieceWriter& diff, const MapDiffIndex& index, const WorldSize& world,
                       DiffProgress& progress) {
    WriteIndexSection(diff, index, world, progress);
}

StaticsDiffIndex ReadStaticsDiffIndex(File& diff, std::uint32_t position, const WorldSize& world) {
    return ReadIndexSection<StaticsDiffEntry>(diff, position, world);
}

MapDiffIndex ReadMapDiffIndex(File& diff, std::uint32_t position, const WorldSize& world) {
    return ReadIndexSection<std::uint32_t>(diff, position, world);
}

void ColumnDone(const WorldSize& world, int blockX, DiffProgress& progress) {
    progress.stageProgress(blockX * 100 / world.BlockColumns);
    progress.yield();
}

} // namespace lw
