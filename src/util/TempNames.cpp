#include "util/TempNames.h"

#include <random>

namespace lw {

bool IsLowerHex(std::string_view text, std::size_t digits) {
    if (text.size() != digits)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

std::string RandomHex(std::size_t digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device random;
    std::string text;
    for (std::size_t i = 0; i < digits; ++i)
        text += kDigits[random() % 16];
    return text;
}

bool IsMarkedName(std::string_view name, std::string_view base, std::string_view marker) {
    return name.size() == base.size() + marker.size() + kRandomPartLength &&
           name.substr(0, base.size()) == base &&
           name.substr(base.size(), marker.size()) == marker &&
           IsLowerHex(name.substr(base.size() + marker.size()), kRandomPartLength);
}

bool IsTemporaryNameOf(std::string_view name, std::string_view base) {
    return IsMarkedName(name, base, kStagedMarker) || IsMarkedName(name, base, kKeptMarker);
}

std::string_view BaseOfMarkedName(std::string_view name, std::string_view marker) {
    if (name.size() <= marker.size() + kRandomPartLength)
        return {};
    const std::string_view base = name.substr(0, name.size() - marker.size() - kRandomPartLength);
    return IsMarkedName(name, base, marker) ? base : std::string_view{};
}

bool IsPointNumber(std::string_view name, std::uint64_t& number) {
    if (name.empty() || name.size() > 18 || name[0] == '0')
        return false;
    number = 0;
    for (const char c : name) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

} // namespace lw
