#include "mapedit/TilePictureCache.h"

#include "mapedit/TilePictures.h"

namespace lw {
namespace {

// Enough for every id as a 64 x 64 texture; beyond it the cache starts over rather than grow.
constexpr std::size_t kMaxCachedBytes = std::size_t{kImageIdCount} * 64 * 64 * 2;

} // namespace

bool TilePictureCache::refresh(const std::string& folder) {
    Key key{folder, FindImageFiles(folder), {}};
    if (key.files) {
        const ImageFiles& f = *key.files;
        key.stamps = {StampOf(f.TexIdx), StampOf(f.TexMaps), StampOf(f.ArtIdx), StampOf(f.Art),
                      StampOf(f.ArtContainer)};
    }
    if (!key_ || !(*key_ == key)) {
        drop();
        key_ = std::move(key);
    }
    return key_->files.has_value();
}

const TileImage& TilePictureCache::picture(std::uint16_t id) {
    if (!key_ || !key_->files || id >= kImageIdCount)
        return black_;
    if (const auto found = pictures_.find(id); found != pictures_.end())
        return found->second;
    if (!art_)
        art_.emplace(*key_->files);
    TileImage image = MakeTileImage(*key_->files, *art_, id);
    if (bytes_ > kMaxCachedBytes)
        drop();
    bytes_ += image.Pixels.size() * sizeof(std::uint16_t);
    return pictures_.emplace(id, std::move(image)).first->second;
}

void TilePictureCache::drop() {
    art_.reset();
    pictures_.clear();
    bytes_ = 0;
    ++generation_;
}

} // namespace lw
