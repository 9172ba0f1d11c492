// A sound diff and the patches the fuzz input makes to it.
#include "PatchedDiff.h"

#include "diff/DiffFormat.h"

#include <cstring>

namespace lw::fuzz {
namespace {

void Put32(std::string& bytes, std::size_t position, std::uint32_t value) {
    std::memcpy(bytes.data() + position, &value, 4);
}

} // namespace

std::string SoundDiff(std::uint32_t originalIndexChecksum) {
    const std::uint32_t staticsIndex = kDiffHeaderSize + 14;
    const std::uint32_t mapBlock = staticsIndex + kStaticsDiffIndexSize;
    const std::uint32_t mapIndex = mapBlock + kMapBlockSize;
    std::string bytes(mapIndex + kMapDiffIndexSize, '\xFF');
    std::memset(bytes.data(), 0, kDiffHeaderSize + 14);
    Put32(bytes, 0, kDiffVersion);
    Put32(bytes, 4, staticsIndex);
    Put32(bytes, 8, originalIndexChecksum);
    Put32(bytes, 24, mapIndex);
    Put32(bytes, staticsIndex, kDiffHeaderSize);
    Put32(bytes, staticsIndex + 4, 14);
    std::memset(bytes.data() + mapBlock, 'm', kMapBlockSize);
    Put32(bytes, mapIndex, mapBlock);
    return bytes;
}

std::string Patched(const std::string& sound, const std::uint8_t* data, std::size_t size) {
    std::string bytes = sound;
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::uint32_t position, value;
        std::memcpy(&position, data + i, 4);
        std::memcpy(&value, data + i + 4, 4);
        if (bytes.empty())
            break;
        if (position % 64 == 63)
            bytes.resize(value % (bytes.size() + 1));
        else if (position % bytes.size() + 4 <= bytes.size())
            Put32(bytes, position % bytes.size(), value);
    }
    return bytes;
}

} // namespace lw::fuzz
