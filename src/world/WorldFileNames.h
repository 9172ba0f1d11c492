// The names the game client gives its world files, and the rules by which a path names one: the
// last path component with A-Z lower-cased is the name of that kind of file of one facet,
// "staidx3.mul", "statics3.mul", "map3.mul" or the container "map3legacymul.uop".
#pragma once

#include "world/WorldSizes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

inline constexpr std::string_view kStaIdxFileName = "staidx0.mul";
inline constexpr std::string_view kStaticsFileName = "statics0.mul";
inline constexpr std::string_view kMapFileName = "map0.mul";

enum class WorldFileKind { StaticsIndex, Statics, Map };

// The client's name of a world file of facet 0-5: "staidx2.mul", "map2.mul", and with
// container set (maps only) "map2LegacyMUL.uop".
std::string WorldFileName(WorldFileKind kind, int facet, bool container = false);

// The last path component with A-Z lower-cased (other letters stay as they are).
std::string LowerCaseFileName(std::string_view path);

// An existing regular file (a folder of that name is not one).
bool IsExistingFile(const std::string& path);

// An existing regular file whose lower-cased file name is expectedName ("staidx0.mul").
bool IsWorldFile(const std::string& path, std::string_view expectedName);

// The facet a path's file name gives a world file of that kind; nothing for any other name.
std::optional<int> FacetOfWorldFile(WorldFileKind kind, std::string_view path);
// The facet of any world file's name, of whichever kind.
std::optional<int> FacetOfWorldFileName(std::string_view path);

// Whether the lower-cased file name is the name of a world file of any facet.
bool HasWorldFileName(std::string_view path);

// A map path that names a container (".uop") rather than a plain map (".mul").
bool IsMapContainerName(std::string_view path);

// The world-file path fields of one window, each with its kind: a field is valid when its file
// exists, is named as its kind of file of some facet, and every other field is of that facet
// too (a field that names no file of its kind counts as facet 0, so the classic names stay valid
// beside empty fields). Whether each is valid, in the given order.
struct WorldFileField {
    WorldFileKind kind;
    std::string path;
};
std::vector<bool> ValidWorldFileFields(const std::vector<WorldFileField>& fields);

// The facet the files of one operation belong to: the one their names give (0 when none does).
// Refuses files whose names give different facets: staidx2.mul never goes with map0.mul.
int FacetOfFiles(const std::vector<std::string>& paths);

} // namespace lw
