// The texts a diff operation gives the user, and the one test of a diff file's name.
#pragma once

#include <cstdint>
#include <string>

namespace lw {

inline constexpr const char* kCrcValueCaption = "CRC value";
inline constexpr const char* kCrcErrorCaption = "CRC error!";
inline constexpr const char* kLwdRefusal =
    "You can't apply this file! If you want to apply a .lwd file, please use Loamwright 5.";

// "The original statics file has a CRC value of 0D C2 9C 5A."
std::string CrcValueMessage(std::uint32_t originalIndexChecksum);
std::string CrcErrorMessage(std::uint32_t computed, std::uint32_t stored);

// True when the file name's extension, lower-cased, is ".lw2".
bool HasDiffExtension(const std::string& path);

} // namespace lw
