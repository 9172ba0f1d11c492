// The world size of the files an operation is given: a map's data length decides, and without a
// map the statics index's length among the sizes of its facet.
#pragma once

#include "world/WorldSize.h"

#include <string>

namespace lw {

// The world the map gives (MapFile::world()); a damaged or compressed container is refused.
WorldSize MapWorld(const std::string& mapPath);

// The world a statics index gives by its length, among the sizes of the facet its name gives
// (facet 0 for another name). An index that fits none is refused; facets 0 and 1 take any other
// length for the classic world, as today.
WorldSize IndexWorld(const std::string& staidxPath);

// The map's world, with a statics index that must fit it (RequireIndexOfWorld).
WorldSize WorldOfMapAndIndex(const std::string& mapPath, const std::string& staidxPath);

} // namespace lw
