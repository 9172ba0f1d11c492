#include "diff/DiffMessages.h"

#include "diff/Checksums.h"

#include <algorithm>

namespace lw {

std::string CrcValueMessage(std::uint32_t originalIndexChecksum) {
    return "The original statics file has a CRC value of " + ChecksumText(originalIndexChecksum) +
           ".";
}

std::string CrcErrorMessage(std::uint32_t computed, std::uint32_t stored) {
    return "The CRC value of your orginal statics file (" + ChecksumText(computed) +
           ") does not match the one used to generate this LWD file (" + ChecksumText(stored) +
           "). To apply this LWD you need to get the correct original files!";
}

bool HasDiffExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return extension == ".lw2";
}

} // namespace lw
