#include "support/WorldFiles.h"

#include "util/File.h"
#include "world/Blocks.h"

#include <memory>

namespace lw::test {

void MakeSparseMap(const std::string& path, const WorldSize& world) {
    File file = File::Create(path);
    file.truncate(world.mapLength());
    file.close();
}

void MakeEmptyStatics(const std::string& staidxPath, const std::string& staticsPath,
                      const WorldSize& world) {
    std::vector<StaticPointer> entries(static_cast<std::size_t>(world.blockCount()),
                                       StaticPointer{kNoStatics, 0, 0});
    File index = File::Create(staidxPath);
    index.write(entries.data(), world.indexLength());
    index.close();
    File::Create(staticsPath).close();
}

void PutStaticBlock(const std::string& staidxPath, const std::string& staticsPath, int blockX,
                    int blockY, const std::vector<TStaticRec>& records, const WorldSize& world) {
    auto block = std::make_unique<TStaticBlock>();
    block->Count = static_cast<std::uint16_t>(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        block->Recs[i] = records[i];
    File index = File::OpenReadWrite(staidxPath);
    StaticPointer entry{};
    index.seek(world.indexEntryOffset(blockX, blockY));
    index.readExact(&entry, sizeof entry);
    AppendStaticBlock(staticsPath, entry, *block);
    index.seek(world.indexEntryOffset(blockX, blockY));
    index.write(&entry, sizeof entry);
    index.close();
}

StaticIndexTable ReadIndexFile(const std::string& staidxPath, const WorldSize& world) {
    StaticIndexTable table(world);
    NullProgress progress;
    ReadStaticIndex(staidxPath, table, progress);
    return table;
}

std::vector<TStaticRec> ReadBlockRecords(const std::string& staidxPath,
                                         const std::string& staticsPath, int blockX, int blockY,
                                         const WorldSize& world) {
    File index = File::OpenRead(staidxPath);
    StaticPointer entry{};
    index.seek(world.indexEntryOffset(blockX, blockY));
    index.readExact(&entry, sizeof entry);
    auto block = std::make_unique<TStaticBlock>();
    ReadStaticBlock(staticsPath, entry, *block);
    return {block->Recs, block->Recs + block->Count};
}

std::string ReadWholeFile(const std::string& path) {
    File file = File::OpenRead(path);
    std::string content(file.size(), '\0');
    file.readExact(content.data(), content.size());
    return content;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    File file = File::Create(path);
    file.write(content.data(), content.size());
    file.close();
}

} // namespace lw::test
