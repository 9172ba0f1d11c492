// Which image files a folder holds and what version of each: what tells whether pictures, or
// colours made from them, can still be used.
#pragma once

#include "mapedit/ImageFiles.h"
#include "util/File.h"

#include <array>
#include <optional>
#include <string>

namespace lw {

struct ImageFilesVersion {
    std::string Folder;
    std::optional<ImageFiles> Files; // nothing when the folder lacks them (FindImageFiles)
    // Of the texture pair, the art pair and the art container, those that are there.
    std::array<std::optional<FileStamp>, 5> Stamps;
    bool operator==(const ImageFilesVersion&) const = default;
};

ImageFilesVersion CurrentImageFiles(const std::string& folder);

} // namespace lw
