#include "world/StaticIndex.h"

#include "util/Errors.h"
#include "util/File.h"

#include <cstring>

namespace lw {
namespace {

// Copies what the old index holds past the table, in large pieces.
void CopyTail(const std::string& path, File& out) {
    if (!FileExists(path))
        return;
    File old = File::OpenRead(path);
    if (old.size() <= kIndexFileSize)
        return;
    old.seek(kIndexFileSize);
    std::vector<char> buffer(1 << 20);
    while (const std::size_t got = old.readSome(buffer.data(), buffer.size()))
        out.write(buffer.data(), got);
    old.close();
}

} // namespace

bool StaticIndexTable::operator==(const StaticIndexTable& other) const {
    return std::memcmp(data(), other.data(), kIndexFileSize) == 0;
}

void ReadStaticIndex(const std::string& path, StaticIndexTable& table, Progress& progress) {
    // Read in large pieces, then report every column the piece completed, so the progress
    // sequence is the one of a column-by-column read, also when the file ends early.
    progress.report(0);
    File file = File::OpenRead(path);
    for (int first = 0; first < kBlockColumns; first += kIndexColumnsPerPiece) {
        const std::size_t got =
            file.readSome(&table.at(first, 0), kIndexColumnsPerPiece * kIndexColumnSize);
        const int columnsRead = static_cast<int>(got / kIndexColumnSize);
        for (int blockX = first; blockX < first + columnsRead; ++blockX) {
            progress.report(blockX * 100 / kBlockColumns);
            progress.yield();
        }
        if (columnsRead < kIndexColumnsPerPiece)
            throw IoError(kIoReadPastEnd, path);
    }
    file.close();
    progress.report(100);
}

void WriteStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress) {
    StageStaticIndex(path, table, progress)->commit();
}

std::unique_ptr<ReplacementFile>
StageStaticIndex(const std::string& path, const StaticIndexTable& table, Progress& progress) {
    auto replacement = std::make_unique<ReplacementFile>(path);
    File& out = replacement->file();
    // Written in large pieces, with the progress of a column-by-column write after each.
    for (int first = 0; first < kBlockColumns; first += kIndexColumnsPerPiece) {
        out.write(&table.at(first, 0), kIndexColumnsPerPiece * kIndexColumnSize);
        for (int blockX = first; blockX < first + kIndexColumnsPerPiece; ++blockX) {
            progress.report(90 + blockX * 10 / kBlockColumns);
            progress.yield();
        }
    }
    CopyTail(path, out);
    replacement->finish();
    return replacement;
}

} // namespace lw
