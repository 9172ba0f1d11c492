#include "diff/DiffFormat.h"

#include <cstring>

namespace lw {

DiffHeader FreshDiffHeader(const WorldSize& world) {
    DiffHeader header{};
    header.Version = world == kClassicWorld ? kDiffVersion : kDiffVersionOfOtherWorlds;
    header.StaticsIndexOffset = kDiffAbsent;
    header.MapIndexOffset = kDiffAbsent;
    if (world != kClassicWorld) {
        const auto columns = static_cast<std::uint32_t>(world.BlockColumns);
        const auto rows = static_cast<std::uint32_t>(world.BlockRows);
        auto* bytes = reinterpret_cast<unsigned char*>(&header);
        std::memcpy(bytes + kDiffBlockColumnsAt, &columns, sizeof columns);
        std::memcpy(bytes + kDiffBlockRowsAt, &rows, sizeof rows);
    }
    return header;
}

WorldSize DiffHeaderWorld(const DiffHeader& header) {
    if (header.Version != kDiffVersionOfOtherWorlds)
        return kClassicWorld;
    std::uint32_t columns = 0, rows = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&header);
    std::memcpy(&columns, bytes + kDiffBlockColumnsAt, sizeof columns);
    std::memcpy(&rows, bytes + kDiffBlockRowsAt, sizeof rows);
    // Beyond any facet's size: DiffContents refuses it before anything is allocated.
    const auto clamp = [](std::uint32_t v) { return static_cast<int>(v > 0xFFFF ? 0 : v); };
    return {clamp(columns), clamp(rows)};
}

} // namespace lw
