#include "fillclear/NamedTiles.h"

#include "util/Errors.h"
#include "util/Text.h"

namespace lw {

int FindNamedTile(std::string_view text) {
    const std::string wanted = UpperCase(text);
    for (std::size_t i = 0; i < NamedTiles.size(); ++i)
        if (UpperCase(NamedTiles[i].Name) == wanted)
            return static_cast<int>(i);
    return -1;
}

std::uint16_t PickNamedTile(std::uint32_t& seed, int index) {
    if (index < 0 || index >= static_cast<int>(NamedTiles.size()))
        throw RangeError();
    const TNamedTile& group = NamedTiles[static_cast<std::size_t>(index)];
    const std::uint32_t tile =
        group.BaseTile + RandomPick(seed, static_cast<std::uint32_t>(group.TileCount));
    return static_cast<std::uint16_t>(CheckRange(tile, 0, 65535));
}

std::uint16_t PickNamedTileByName(std::uint32_t& seed, std::string_view name) {
    const int index = FindNamedTile(name);
    if (index < 0)
        throw Error("Invalid tile name: " + std::string(name));
    return PickNamedTile(seed, index);
}

} // namespace lw
