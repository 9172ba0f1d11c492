#include "util/SpacedHex.h"

#include "util/Errors.h"
#include "util/Text.h"

namespace lw {

std::string IntToSpacedHex(std::int64_t value, unsigned byteCount) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<std::uint32_t>(value);
    const unsigned count = byteCount > 4 ? 4 : byteCount;
    std::string text;
    for (unsigned k = count; k-- > 0;) {
        const unsigned byte = (bits >> (8 * k)) & 0xFF;
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

std::uint32_t SpacedHexToInt(std::string_view text, unsigned byteCount) {
    const std::string upper = UpperCase(text); // Trim only views it: it must outlive the loop
    std::string digits;
    for (char c : Trim(upper))
        if (c != ' ')
            digits += c;
    if (byteCount < 1 || byteCount > 4 || digits.size() != 2 * byteCount)
        throw ConvertError("Input not SpacedHex");
    std::uint32_t value = 0;
    for (char c : digits) {
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        else
            throw ConvertError("Input not SpacedHex");
        value = value << 4 | static_cast<std::uint32_t>(nibble);
    }
    return value;
}

} // namespace lw
