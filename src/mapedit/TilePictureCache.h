// Tile pictures kept between draws while the image files stay as they are on disk.
#pragma once

#include "mapedit/ArtEntries.h"
#include "mapedit/ImageFilesVersion.h"
#include "mapedit/TileImage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace lw {

class TilePictureCache {
public:
    // Looks at the image files of folder once per draw: another folder, or a file of another size,
    // time or identity, drops every kept picture. False when the files are not all there.
    bool refresh(const std::string& folder);

    // The picture of tile id by the tile picture rule, from the files of the last refresh; black
    // when that refresh found no files. A read error propagates and nothing is kept for the id.
    // The reference holds until the next call.
    const TileImage& picture(std::uint16_t id);

    // Changes whenever the kept pictures are dropped, for callers that keep derived pictures.
    std::uint64_t generation() const { return generation_; }

private:
    void drop();

    std::optional<ImageFilesVersion> key_;
    std::optional<ArtEntries> art_; // read at the first picture after a drop
    std::unordered_map<std::uint16_t, TileImage> pictures_;
    std::size_t bytes_ = 0;
    std::uint64_t generation_ = 0;
    TileImage black_ = BlackTileImage();
};

} // namespace lw
