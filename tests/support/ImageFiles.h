// Small texture and art files for tests: only the entries a test needs.
#pragma once

#include "mapedit/ImageFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lw::test {

// One index file and its data file in the making.
struct ImagePair {
    std::vector<ImageIndexEntry> index; // entries not set are {-1, -1, 0}
    std::string data;

    // Appends the values to the data and points entry id at them; the entry's length is the
    // values' byte count unless given, and a longer one is padded with zeros.
    void add(int id, const std::vector<std::uint16_t>& values, std::int32_t length = -1);
    void setEntry(int id, ImageIndexEntry entry);
    void write(const std::string& indexPath, const std::string& dataPath) const;
};

// Values 1, 2, 3, ... (count of them), masked to 15 bits.
std::vector<std::uint16_t> CountingValues(std::size_t count, std::uint16_t first = 1);

// Writes both pairs into folder under the lower-case names.
void WriteImageFolder(const std::string& folder, const ImagePair& textures, const ImagePair& art);

} // namespace lw::test
