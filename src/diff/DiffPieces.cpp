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
void WriteIndexSection(PieceWriter& diff, const std::vector<Entry>& index, DiffProgress& progress) {
    for (int blockX = 0; blockX < kBlockColumns; ++blockX) {
        diff.write(&index[BlockNumber(blockX, 0)], kBlockRows * sizeof(Entry));
        ColumnDone(blockX, progress);
    }
}

template <typename Entry> std::vector<Entry> ReadIndexSection(File& diff, std::uint32_t position) {
    std::vector<Entry> index(kBlockCount);
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

void WriteStaticsDiffIndex(PieceWriter& diff, const StaticsDiffIndex& index,
                           DiffProgress& progress) {
    WriteIndexSection(diff, index, progress);
}

void WriteMapDiffIndex(PieceWriter& diff, const MapDiffIndex& index, DiffProgress& progress) {
    WriteIndexSection(diff, index, progress);
}

StaticsDiffIndex ReadStaticsDiffIndex(File& diff, std::uint32_t position) {
    return ReadIndexSection<StaticsDiffEntry>(diff, position);
}

MapDiffIndex ReadMapDiffIndex(File& diff, std::uint32_t position) {
    return ReadIndexSection<std::uint32_t>(diff, position);
}

void ColumnDone(int blockX, DiffProgress& progress) {
    progress.stageProgress(blockX * 100 / kBlockColumns);
    progress.yield();
}

} // namespace lw
