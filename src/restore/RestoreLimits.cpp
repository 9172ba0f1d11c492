#include "restore/RestoreLimits.h"

#include "util/Errors.h"

#include <charconv>
#include <limits>

namespace lw {

std::uint64_t ParseByteSize(std::string_view text) {
    std::uint64_t unit = 1;
    std::string_view digits = text;
    if (!digits.empty()) {
        switch (digits.back()) {
        case 'K':
        case 'k':
            unit = std::uint64_t{1} << 10;
            break;
        case 'M':
        case 'm':
            unit = std::uint64_t{1} << 20;
            break;
        case 'G':
        case 'g':
            unit = std::uint64_t{1} << 30;
            break;
        default:
            break;
        }
        if (unit != 1)
            digits.remove_suffix(1);
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > std::numeric_limits<std::uint64_t>::max() / unit)
        throw Error("\"" + std::string(text) +
                    "\" is no size in bytes (a number, or one with K, M or G after it).");
    return value * unit;
}

std::string ByteSizeText(std::uint64_t bytes) {
    for (const auto& [shift, suffix] : {std::pair{30, "G"}, {20, "M"}, {10, "K"}})
        if (bytes != 0 && bytes % (std::uint64_t{1} << shift) == 0)
            return std::to_string(bytes >> shift) + suffix;
    return std::to_string(bytes);
}

} // namespace lw
