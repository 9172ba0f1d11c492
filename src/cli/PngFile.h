// Pictures as PNG files, for the commands that write one. A build without libpng (the Windows
// cross build) has the same functions, which say why they cannot.
#pragma once

#include "mapedit/MapOverview.h"

#include <cstdint>
#include <vector>

namespace lw::cli {

std::vector<std::uint8_t> EncodePng(const RgbImage& image);

} // namespace lw::cli
