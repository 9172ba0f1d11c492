// Pictures as PNG files, for the commands that write one. A build without libpng (the Windows
// cross build) has the same functions, which say why they cannot.
#pragma once

#include "mapedit/MapOverview.h"

#include <cstdint>
#include <vector>

namespace lw::cli {

// The role of the PNG file a command writes, beside the files it draws from (OperationFiles).
inline constexpr const char* kPictureRole = "picture file";

std::vector<std::uint8_t> EncodePng(const RgbImage& image);

} // namespace lw::cli
