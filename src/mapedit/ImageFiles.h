// The image files of the game client in one folder, and their 12-byte index entries: the texture
// pair, and the art pair or, as later clients ship it, the art container artLegacyMUL.uop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

inline constexpr const char* kTexIdxName = "texidx.mul";
inline constexpr const char* kTexMapsName = "texmaps.mul";
inline constexpr const char* kArtIdxName = "artidx.mul";
inline constexpr const char* kArtName = "art.mul";
inline constexpr const char* kArtContainerName = "artLegacyMUL.uop";

#pragma pack(push, 1)
struct ImageIndexEntry {
    std::int32_t Offset; // -1: no art image
    std::int32_t Length;
    std::uint32_t Extra;
};
#pragma pack(pop)
static_assert(sizeof(ImageIndexEntry) == 12);

// Only these ids have pictures; larger ones are never looked up.
inline constexpr int kImageIdCount = 4096;

struct ImageFiles {
    std::string TexIdx, TexMaps, ArtIdx, Art;
    std::string ArtContainer = {}; // instead of ArtIdx and Art, which are then empty
    bool operator==(const ImageFiles&) const = default;
};

// The folder text exactly as typed, a separator, then the name.
std::string ImageFilePath(const std::string& folder, std::string_view name);

// The file of that name in folder: the exact spelling when it is there, otherwise one whose name
// differs only in the case of A-Z (files copied from Windows often do); the first such name in
// byte order when there are several.
std::optional<std::string> FindImageFile(const std::string& folder, std::string_view name);

// The texture pair and the art pair, or the texture pair and the art container when the art pair
// is not both there; nothing when the folder lacks any of them.
std::optional<ImageFiles> FindImageFiles(const std::string& folder);

// Entry id of an index file (opened, read, closed); a file too short for it is an I/O error.
ImageIndexEntry ReadImageIndexEntry(const std::string& indexPath, int id);

} // namespace lw
