#include "mapedit/TilePictureCache.h"

#include "mapedit/TilePictures.h"

namespace lw {
namespace {

// Enough for every id as a 64 x 64 texture; beyond it the cache starts over rather than grow.
constexpr std::size_t kMaxCachedBytes = std::size_t{kImageIdCount} * 64 * 64 * 2;

} // namespace

bool TilePictureCache::refresh(const std::string& folder) {
    ImageFilesVersion key = CurrentImageFiles(folder);
    if (!key_ || !(*key_ == key)) {
        drop();
        key_ = std::move(key);
    }
    return key_->Files.has_value();
}

const TileImage& TilePictureCache::picture(std::uint16_t id) {
    if (!key_ || !key_->Files || id >= kImageIdCount)
        return black_;
    if (const auto found = pictures_.find(id); found != pictures_.end())
        return found->second;
    if (!art_)
        art_.emplace(*key_->Files);
    TileImage image = MakeTileImage(*key_->Files, *art_, id);
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
