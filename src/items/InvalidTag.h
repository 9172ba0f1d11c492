// The two messages of a tag value out of range, chosen by the section being read.
#pragma once

#include "util/Errors.h"

#include <cstdint>
#include <string_view>

namespace lw {

// The scans' "no current section"; an item numbered 65535 is therefore never taken.
inline constexpr std::int32_t kNoSection = 65535;

class InvalidTag : public Error {
public:
    explicit InvalidTag(std::int32_t currentSection);
};

// A tag value in lo..hi; one out of range is the invalid tag of the current section, text that
// is no integer a ConvertError.
std::int32_t TagValueInRange(std::string_view value, std::int32_t lo, std::int32_t hi,
                             std::int32_t currentSection);

} // namespace lw
