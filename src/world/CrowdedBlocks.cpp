#include "world/CrowdedBlocks.h"

namespace lw {
namespace {

// Beyond these the line names only how many more there are.
constexpr std::size_t kNamedBlocks = 10;

std::optional<CrowdedBlock> Crowded(const StaticPointer& entry, int block) {
    if (IsEmptyBlock(entry) || entry.Length / kStaticRecSize <= kClientStaticsPerBlock)
        return std::nullopt;
    return CrowdedBlock{block, static_cast<int>(entry.Length / kStaticRecSize)};
}

} // namespace

std::vector<CrowdedBlock> CrowdedBlocksOf(const StaticIndexTable& table) {
    std::vector<CrowdedBlock> blocks;
    for (int n = 0; n < table.world().blockCount(); ++n)
        if (const auto crowded = Crowded(table[n], n))
            blocks.push_back(*crowded);
    return blocks;
}

std::vector<CrowdedBlock> CrowdedBlocksWritten(const StaticIndexTable& before,
                                               const StaticIndexTable& after) {
    if (before.world() != after.world())
        return CrowdedBlocksOf(after);
    std::vector<CrowdedBlock> blocks;
    for (int n = 0; n < after.world().blockCount(); ++n)
        if (before[n].Offset != after[n].Offset || before[n].Length != after[n].Length)
            if (const auto crowded = Crowded(after[n], n))
                blocks.push_back(*crowded);
    return blocks;
}

std::optional<std::string> CrowdedBlocksWarning(const std::vector<CrowdedBlock>& blocks,
                                                const WorldSize& world) {
    if (blocks.empty())
        return std::nullopt;
    const std::string limit = std::to_string(kClientStaticsPerBlock);
    std::string line = "Warning: " + std::to_string(blocks.size()) +
                       (blocks.size() == 1 ? " block holds" : " blocks hold") + " more than " +
                       limit + " statics, and the most used game client reads only the first " +
                       limit + " of a block: ";
    for (std::size_t i = 0; i < blocks.size() && i < kNamedBlocks; ++i)
        line += (i == 0 ? "(" : ", (") + std::to_string(world.blockXOf(blocks[i].Block)) + ", " +
                std::to_string(world.blockYOf(blocks[i].Block)) + ") with " +
                std::to_string(blocks[i].Statics);
    if (blocks.size() > kNamedBlocks)
        line += ", and " + std::to_string(blocks.size() - kNamedBlocks) + " more";
    return line + ".";
}

} // namespace lw
