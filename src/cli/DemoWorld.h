// A synthetic world for people without game files: terrain, statics and sample item files.
#pragma once

#include "world/WorldSize.h"

#include <string>

namespace lw::cli {

struct DemoWorldOptions {
    int facet = 0;
    WorldSize size = kClassicWorld; // one of the facet's sizes
    bool container = false;         // the map in mapNLegacyMUL.uop
};

// Writes the facet's map, staidx and statics files of that size, statics.cfg (POL), items.wsc
// (UOX3), AutoSelect.txt and the four image files into folder, which must exist. The landscape
// is the classic world's, stretched to the size; the default is today's classic world, byte for
// byte. Deterministic.
void WriteDemoWorld(const std::string& folder, const DemoWorldOptions& options = {});

} // namespace lw::cli
