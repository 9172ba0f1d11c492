// Reading a diff file's header and index sections, and refusing a file that is not sound before
// an application writes anything.
#pragma once

#include "diff/DiffFormat.h"
#include "util/File.h"

#include <optional>

namespace lw {

struct DiffContents {
    DiffHeader header{};
    WorldSize world; // the classic world for version 2, the header's for version 3
    std::optional<StaticsDiffIndex> statics; // present with the statics part
    std::optional<MapDiffIndex> map;         // present with the map part
};

// The header and both index sections, checked: Version 2, or 3 with the size of a facet's world,
// at least one part, each index
// section inside the file and in its place, every changed entry's bytes inside the data of its
// part, no static block above 2048 records. Anything else is an Error naming what is wrong.
DiffContents ReadDiffContents(File& diff);

// Where the diff's last part ends: what follows it is its trailer, if anything (DiffTrailer.h).
std::uint64_t DiffPartsEnd(const DiffContents& contents);

} // namespace lw
