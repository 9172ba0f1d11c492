#include "world/StaticIndex.h"

#include "util/Errors.h"
#include "util/File.h"

#include <algorithm>
#include <cstring>

namespace lw {
namespace {

// Copies what the old index holds past the table, in large pieces.
void CopyTail(const std::string& path, std::uint64_t tableSize, File& out) {
    if (!FileExists(path))
        return;
    File old = File::OpenRead(path);
    if (old.size() <= tableSize)
        return;
    old.seek(tableSize);
    std::vector<char> buffer(1 << 20);
    while (const std::size_t got = old.readSome(buffer.data(), buffer.size()))
        out.write(buffer.data(), got);
    old.close();
}

} // namespace

bool StaticIndexTable::operator==(const StaticIndexTable& other) const {
    return world_ == other.world_ && std::memcmp(data(), other.data(), byteSize()) == 0;
}

void ReadStaticIndex(const std::string& path, StaticIndexTable& table, Progress& progress) {
    // Read in large pieces, then report every column the piece completed, so the progress
    // sequence is the one of a column-by-column read, also when the file ends early.
    const WorldSize& world = table.world();
    progress.report(0);
    File file = File::OpenRead(path);
    for (int first = 0; first < world.BlockColumns; first += kIndexColumnsPerPiece) {
        const int columns = std::min(kIndexColumnsPerPiece, world.BlockColumns - first);
        const std::size_t got =
            file.readSome(&table.at(first, 0), columns * world.indexColumnLength());
        const int columnsRead = static_cast<int>(got / world.indexColumnLength());
        for (int blockX = first; blockX < first + columnsRead; ++blockX) {
            progress.report(blockX * 100 / world.BlockColumns);
            progress.yield();
        }
        if (columnsRead < columns)
            throw IoError(kIoReadPastEnd, path);
    }
    file.close();
    progress.report(100);
}

void WriteStaticIndexColumns(const StaticIndexTable& table, File& out, Progress& progress) {
    // Written in large pieces, with the progress of a column-by-column write after each.
    const WorldSize& world = table.world();
    for (int first = 0; first < world.BlockColumns; first += kIndexColumnsPerPiece) {
        const int columns = std::min(kIndexColumnsPerPiece, world.BlockColumns - first);
        out.write(&table.at(first, 0), columns * world.indexColumnLength());
        for (int blockX = first; blockX < first + columns; ++blockX) {
            progress.report(90 + blockX * 10 / world.BlockColumns);
            progress.yield();
        }
    }
}

void WriteStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress) {
    StageStaticIndex(path, table, progress)->commit();
}

std::unique_ptr<ReplacementFile>
StageStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress) {
    auto replacement = std::make_unique<ReplacementFile>(path);
    File& out = replacement->file();
    WriteStaticIndexColumns(table, out, progress);
    CopyTail(path, table.byteSize(), out);
    replacement->finish();
    return replacement;
}

} // namespace lw
