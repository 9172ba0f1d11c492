// Integers as spaced hexadecimal byte pairs, most significant first: "0D C2 9C 5A".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

// The byteCount low bytes of value (byteCount above 4 counts as 4; 0 gives "").
std::string IntToSpacedHex(std::int64_t value, unsigned byteCount);

// Reads 2 x byteCount hex digits, blanks anywhere ignored; byteCount 1 to 4.
// Throws ConvertError "Input not SpacedHex" for any other text.
std::uint32_t SpacedHexToInt(std::string_view text, unsigned byteCount);

} // namespace lw
