// Tile pictures from the image files: a texture, else the art image turned to stand square on the
// grid, else black.
#pragma once

#include "mapedit/ArtEntries.h"
#include "mapedit/ImageFiles.h"
#include "mapedit/TileImage.h"

#include <cstdint>
#include <span>

namespace lw {

inline constexpr int kArtSide = 45;
// The pixel values of an art tile: runs of 2, 4, ..., 44, then 44, 42, ..., 2.
inline constexpr int kArtPixelCount = 1012;

// Fills image with texture id (64 x 64 or 128 x 128) and returns true; false, with image
// untouched, for an id of 4096 or more or an entry whose length gives no square.
bool LoadTextureImage(const ImageFiles& files, std::uint16_t id, TileImage& image);

// Fills image with the 45 x 45 rotated art picture of id and returns true; false, with image
// untouched, for an id of 4096 or more, a missing entry or one of another length than 2048 or
// 2024.
// The art comes from art.mul or the art container, whichever files holds.
bool LoadArtImage(const ImageFiles& files, std::uint16_t id, TileImage& image);
// The same with the art's entries at hand, for callers that look up many pictures.
bool LoadArtImage(const ArtEntries& art, std::uint16_t id, TileImage& image);

// The picture the grids show for tile id: texture, else art, else one black pixel.
TileImage MakeTileImage(const ImageFiles& files, std::uint16_t id);
TileImage MakeTileImage(const ImageFiles& files, const ArtEntries& art, std::uint16_t id);

// Turns the diamond of stored art values into the 45 x 45 square: the diamond's top corner goes to
// the square's top-left, so the tile's map axes run right and down like the grid's.
TileImage RotateArt(std::span<const std::uint16_t, kArtPixelCount> values);

} // namespace lw
