// A synthetic world for people without game files: terrain, statics and sample item files.
#pragma once

#include <string>

namespace lw::cli {

// Writes map0.mul, staidx0.mul, statics0.mul, statics.cfg (POL), items.wsc (UOX3),
// AutoSelect.txt and the four image files into folder, which must exist. Deterministic.
void WriteDemoWorld(const std::string& folder);

} // namespace lw::cli
