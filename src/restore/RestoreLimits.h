// How many restore points a folder keeps and how much room they may take: the oldest go first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

struct RestoreLimits {
    int points = 10;                              // 0: none are kept
    std::uint64_t bytes = std::uint64_t{2} << 30; // per folder
};

// The desktop program's settings values for the two limits (an integer, and a byte size).
inline constexpr const char* kRestorePointsSetting = "RestorePoints";
inline constexpr const char* kRestoreSizeSetting = "RestoreSize";

// A byte size as "2147483648", "512K", "200M" or "2G" (K, M, G: 1024, 1024^2, 1024^3; either
// case); an Error naming the text otherwise.
std::uint64_t ParseByteSize(std::string_view text);
// "2G", "512K" or plain bytes, whichever is exact.
std::string ByteSizeText(std::uint64_t bytes);

} // namespace lw
