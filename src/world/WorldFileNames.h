// The names the game client gives its world files, and the rule by which a path names one: the
// last path component with A-Z lower-cased equals the expected name.
#pragma once

#include <string>
#include <string_view>

namespace lw {

inline constexpr std::string_view kStaIdxFileName = "staidx0.mul";
inline constexpr std::string_view kStaticsFileName = "statics0.mul";
inline constexpr std::string_view kMapFileName = "map0.mul";

// The last path component with A-Z lower-cased (other letters stay as they are).
std::string LowerCaseFileName(std::string_view path);

// An existing regular file (a folder of that name is not one).
bool IsExistingFile(const std::string& path);

// An existing regular file whose lower-cased file name is expectedName ("staidx0.mul").
bool IsWorldFile(const std::string& path, std::string_view expectedName);

// Whether the lower-cased file name is one of the three world file names.
bool HasWorldFileName(std::string_view path);

} // namespace lw
