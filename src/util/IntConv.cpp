#include "util/IntConv.h"

#include "util/Errors.h"

#include <limits>

namespace lw {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool StartsWithHexPrefix(std::string_view s, std::size_t& prefixLength) {
    if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
        prefixLength = 1;
        return true;
    }
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        prefixLength = 2;
        return true;
    }
    return false;
}

} // namespace

std::int32_t StrToInt(std::string_view text) {
    const auto fail = [&]() { return ConvertError::notAnInteger(std::string(text)); };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view digits = text.substr(i);
    std::size_t prefix = 0;
    if (StartsWithHexPrefix(digits, prefix)) {
        digits.remove_prefix(prefix);
        if (digits.empty() || digits.size() > 8)
            throw fail();
        std::uint32_t value = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                throw fail();
            value = value << 4 | static_cast<std::uint32_t>(d);
        }
        if (negative)
            value = 0u - value;
        return static_cast<std::int32_t>(value);
    }
    if (digits.empty())
        throw fail();
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw fail();
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        throw fail();
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToIntInRange(std::string_view text, std::int32_t lo, std::int32_t hi) {
    return static_cast<std::int32_t>(CheckRange(StrToInt(text), lo, hi));
}

std::string IntToStr(long long value) {
    return std::to_string(value);
}

} // namespace lw
