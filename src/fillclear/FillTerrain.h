// The fill pass of fill/clear: the map (plain or in a container) with the rectangle's cells set to
// the chosen tile and altitude, written beside the old one.
#pragma once

#include "fillclear/FillClear.h"
#include "world/MapFile.h"

#include <cstdint>
#include <memory>

namespace lw {

// Writes the filled map beside map0.mul (synced; not yet in place). Every block is copied as
// read, headers included; cells inside the rectangle get the altitude, then the tile, visited
// block X, block Y, cell x, cell y from the outside in, so random picks (advancing seed) fall
// in that order. Bytes past the world's blocks are kept. Progress after each block column.
std::unique_ptr<StagedMap> StageFilledMap(const FillClearRequest& request, const WorldSize& world,
                                          std::uint32_t& seed, Progress& progress);

} // namespace lw
