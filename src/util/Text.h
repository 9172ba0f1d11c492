// 8-bit text helpers: item files and names are byte strings, never re-encoded.
#pragma once

#include <string>
#include <string_view>

namespace lw {

// Removes characters with codes 0-32 at both ends.
std::string_view Trim(std::string_view text);

// Upper-cases a-z only; every other byte stays as it is.
std::string UpperCase(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);

} // namespace lw
