// The one integer text conversion of every field, tag and argument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

// Leading blanks, an optional sign, then "$", "x" or "0x" (any case) for hexadecimal, else
// decimal. Hex texts of up to eight digits give the 32-bit two's complement value; a decimal
// text outside the 32-bit range, or anything else, is a ConvertError.
std::int32_t StrToInt(std::string_view text);

// StrToInt, then a RangeError unless lo <= value <= hi.
std::int32_t StrToIntInRange(std::string_view text, std::int32_t lo, std::int32_t hi);

// Plain signed decimal.
std::string IntToStr(long long value);

} // namespace lw
