#include "DiffFixture.h"

#include "util/File.h"
#include "world/Blocks.h"

#include <cstring>
#include <filesystem>
#include <functional>

namespace lw::test {
namespace {

WorldFileSet SetIn(const TempDir& dir, const std::string& name) {
    std::filesystem::create_directory(dir.file(name));
    return {dir.file(name + "/staidx0.mul"), dir.file(name + "/statics0.mul"),
            dir.file(name + "/map0.mul")};
}

template <typename T> T ReadAt(const std::string& path, std::uint64_t position) {
    T value{};
    File file = File::OpenRead(path);
    file.seek(position);
    file.readExact(&value, sizeof value);
    return value;
}

} // namespace

DiffWorlds::DiffWorlds()
    : original(SetIn(dir, "original")), modified(SetIn(dir, "modified")),
      target(SetIn(dir, "target")) {
    for (const WorldFileSet* set : {&original, &modified, &target})
        makeSet(*set);
}

void DiffWorlds::makeSet(const WorldFileSet& set) const {
    MakeEmptyStatics(set.staidx, set.statics);
    MakeSparseMap(set.map);
}

void DiffWorlds::putMapBlock(const WorldFileSet& set, int blockX, int blockY, char fill) const {
    TMapBlock block;
    std::memset(&block, fill, sizeof block);
    WriteMapBlock(set.map, blockX, blockY, block);
}

void DiffWorlds::setEntry(const WorldFileSet& set, int blockX, int blockY,
                          StaticPointer value) const {
    File index = File::OpenReadWrite(set.staidx);
    index.seek(IndexEntryOffset(blockX, blockY));
    index.write(&value, sizeof value);
    index.close();
}

StaticPointer DiffWorlds::entry(const WorldFileSet& set, int blockX, int blockY) const {
    return ReadAt<StaticPointer>(set.staidx, IndexEntryOffset(blockX, blockY));
}

std::map<std::string, std::size_t> FolderHashes(const std::string& folder) {
    std::map<std::string, std::size_t> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder))
        if (item.is_regular_file())
            files[item.path().lexically_relative(folder).generic_string()] =
                FileHash(item.path().string());
    return files;
}

DiffHeader ReadDiffHeader(const std::string& diffPath) {
    return ReadAt<DiffHeader>(diffPath, 0);
}

StaticsDiffEntry ReadStaticsDiffEntry(const std::string& diffPath, int blockNumber) {
    const auto header = ReadDiffHeader(diffPath);
    return ReadAt<StaticsDiffEntry>(diffPath, header.StaticsIndexOffset +
                                                  blockNumber * sizeof(StaticsDiffEntry));
}

std::uint32_t ReadMapDiffEntry(const std::string& diffPath, int blockNumber) {
    const auto header = ReadDiffHeader(diffPath);
    return ReadAt<std::uint32_t>(diffPath,
                                 header.MapIndexOffset + blockNumber * sizeof(std::uint32_t));
}

std::vector<TStaticRec> Records(std::initializer_list<std::uint16_t> ids) {
    std::vector<TStaticRec> records;
    for (const std::uint16_t id : ids)
        records.push_back({id, static_cast<std::uint8_t>(id % 8), 2, -3, 0x0481});
    return records;
}

std::string Bytes(const std::vector<TStaticRec>& records) {
    return {reinterpret_cast<const char*>(records.data()), records.size() * sizeof(TStaticRec)};
}

// A plain polynomial hash over 64-bit words, read in pieces: the world files are big.
std::size_t FileHash(const std::string& path) {
    File file = File::OpenRead(path);
    std::uint64_t hash = file.size();
    std::vector<char> piece(1 << 20);
    while (const std::size_t got = file.readSome(piece.data(), piece.size())) {
        piece.resize((got + 7) / 8 * 8, '\0');
        for (std::size_t i = 0; i < piece.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, piece.data() + i, 8);
            hash = hash * 1099511628211ull + word;
        }
        piece.resize(1 << 20);
    }
    return static_cast<std::size_t>(hash);
}

std::vector<std::string> EveryBlock(const WorldFileSet& set) {
    const StaticIndexTable index = ReadIndexFile(set.staidx);
    const std::string statics = ReadWholeFile(set.statics);
    std::vector<std::string> blocks(kBlockCount);
    for (int n = 0; n < kBlockCount; ++n)
        if (index[n].Offset != kNoStatics)
            blocks[n] =
                statics.substr(static_cast<std::uint32_t>(index[n].Offset), index[n].Length);
    return blocks;
}

bool CompactInBlockOrder(const WorldFileSet& set) {
    const StaticIndexTable index = ReadIndexFile(set.staidx);
    std::uint64_t end = 0;
    for (int n = 0; n < kBlockCount; ++n) {
        if (index[n].Offset == kNoStatics || index[n].Length == 0)
            continue;
        if (static_cast<std::uint64_t>(index[n].Offset) != end)
            return false;
        end += index[n].Length;
    }
    return end == FileSizeOf(set.statics);
}

void DiffEventLog::add(const std::string& event) {
    if (!events.empty() && events.back().first == event)
        ++events.back().second;
    else
        events.emplace_back(event, 1);
}

void DiffEventLog::indexRead() {
    report(0);
    for (int x = 0; x < kBlockColumns; ++x)
        report(x * 100 / kBlockColumns);
    report(100);
}

void DiffEventLog::columns() {
    for (int x = 0; x < kBlockColumns; ++x)
        stageProgress(x * 100 / kBlockColumns);
}

void DiffEventLog::mapChecksum() {
    report(0);
    for (long long n = 1; n <= kBlockCount; ++n)
        report(static_cast<int>(n * 100 / kBlockCount));
    report(100);
}

void DiffEventLog::indexWrite() {
    for (int x = 0; x < kBlockColumns; ++x)
        report(90 + x * 10 / kBlockColumns);
    report(100);
}

} // namespace lw::test
