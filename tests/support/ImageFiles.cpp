#include "support/ImageFiles.h"

#include "support/WorldFiles.h"

namespace lw::test {

void ImagePair::setEntry(int id, ImageIndexEntry entry) {
    if (index.size() <= static_cast<std::size_t>(id))
        index.resize(static_cast<std::size_t>(id) + 1, ImageIndexEntry{-1, -1, 0});
    index[static_cast<std::size_t>(id)] = entry;
}

void ImagePair::add(int id, const std::vector<std::uint16_t>& values, std::int32_t length) {
    const auto bytes = static_cast<std::int32_t>(values.size() * 2);
    setEntry(id, {static_cast<std::int32_t>(data.size()), length < 0 ? bytes : length, 0});
    data.append(reinterpret_cast<const char*>(values.data()), values.size() * 2);
    if (length > bytes)
        data.append(static_cast<std::size_t>(length - bytes), '\0');
}

void ImagePair::write(const std::string& indexPath, const std::string& dataPath) const {
    WriteWholeFile(indexPath, std::string(reinterpret_cast<const char*>(index.data()),
                                          index.size() * sizeof(ImageIndexEntry)));
    WriteWholeFile(dataPath, data);
}

std::vector<std::uint16_t> CountingValues(std::size_t count, std::uint16_t first) {
    std::vector<std::uint16_t> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = static_cast<std::uint16_t>((first + i) & 0x7FFF);
    return values;
}

void WriteImageFolder(const std::string& folder, const ImagePair& textures, const ImagePair& art) {
    textures.write(folder + "/" + kTexIdxName, folder + "/" + kTexMapsName);
    art.write(folder + "/" + kArtIdxName, folder + "/" + kArtName);
}

} // namespace lw::test
