// The world drawn small with the blocks a diff changes marked: on the map overview's colours when
// a map and the client's image files are at hand, else on a plain grid of blocks.
#pragma once

#include "diff/DiffInfo.h"
#include "mapedit/MapOverview.h"

#include <string>

namespace lw {

// Tiles per pixel side: a block is 2 x 2 pixels, the classic world 1536 x 1024, any other world
// its block columns and rows times 2.
inline constexpr int kDiffPictureScale = 4;

// Blocks changed in their statics, their map, or both.
inline constexpr Rgb kStaticsChangeColour{255, 0, 255};
inline constexpr Rgb kMapChangeColour{0, 255, 255};
inline constexpr Rgb kBothChangedColour{255, 255, 255};

// The picture of info.Changes, block for block of info.World. The overview is drawn from mapPath
// with the pictures of imageFolder when both are given and the map is of that world (their read
// errors propagate); else the grid. mapDeclared: the caller holds the map declared for the draw
// (OverviewRequest::MapDeclared).
RgbImage DiffPicture(const DiffInfo& info, const std::string& mapPath = {},
                     const std::string& imageFolder = {}, bool mapDeclared = false);

} // namespace lw
