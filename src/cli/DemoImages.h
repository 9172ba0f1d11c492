// Procedural texture and art files for the demo world, so that the map editor shows a landscape.
#pragma once

#include <string>

namespace lw::cli {

// Writes texidx.mul, texmaps.mul, artidx.mul and art.mul into folder. Deterministic.
void WriteDemoImages(const std::string& folder);

} // namespace lw::cli
