// The two messages of a tag value out of range, chosen by the section being read.
#pragma once

#include "util/Errors.h"

#include <cstdint>
#include <limits>
#include <string_view>

namespace lw {

// The current section of a scan: a section number (signed 32-bit) or none, a state of its own
// that no number in a file can stand for.
using CurrentSection = std::int64_t;
inline constexpr CurrentSection kNoSection = std::numeric_limits<std::int64_t>::min();

// Item numbers a scan accepts: 0 to the largest that numbers and serials can have.
inline constexpr std::int32_t kMaxItemNumber = std::numeric_limits<std::int32_t>::max();
inline bool IsItemNumber(CurrentSection section) {
    return section >= 0 && section <= kMaxItemNumber;
}

class InvalidTag : public Error {
public:
    explicit InvalidTag(CurrentSection currentSection);
};

// A tag value in lo..hi; one out of range is the invalid tag of the current section, text that
// is no integer a ConvertError.
std::int32_t TagValueInRange(std::string_view value, std::int32_t lo, std::int32_t hi,
                             CurrentSection currentSection);

} // namespace lw
