#include "mapedit/ImageFiles.h"

#include "util/Errors.h"
#include "util/File.h"

#include <algorithm>

namespace lw {
namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

} // namespace

std::string ImageFilePath(const std::string& folder, std::string_view name) {
    return JoinPath(folder, std::string(name));
}

std::optional<std::string> FindImageFile(const std::string& folder, std::string_view name) {
    const std::string exact = ImageFilePath(folder, name);
    if (IsRegularFile(exact))
        return exact;
    std::vector<std::string> names;
    try {
        names = FolderEntries(DirectoryOf(exact));
    } catch (const IoError&) {
        return std::nullopt; // a folder that cannot be listed holds no picture
    }
    std::ranges::sort(names);
    for (const std::string& candidate : names) {
        if (!EqualIgnoringCase(candidate, name))
            continue;
        std::string path = ImageFilePath(folder, candidate);
        if (IsRegularFile(path))
            return path;
    }
    return std::nullopt;
}

std::optional<ImageFiles> FindImageFiles(const std::string& folder) {
    ImageFiles files;
    const auto find = [&](std::string ImageFiles::*member, const char* name) {
        auto path = FindImageFile(folder, name);
        if (path)
            files.*member = std::move(*path);
        return path.has_value();
    };
    if (!find(&ImageFiles::TexIdx, kTexIdxName) || !find(&ImageFiles::TexMaps, kTexMapsName))
        return std::nullopt;
    if (find(&ImageFiles::ArtIdx, kArtIdxName) && find(&ImageFiles::Art, kArtName))
        return files;
    files.ArtIdx.clear();
    files.Art.clear();
    if (find(&ImageFiles::ArtContainer, kArtContainerName))
        return files;
    return std::nullopt;
}

ImageIndexEntry ReadImageIndexEntry(const std::string& indexPath, int id) {
    File index = File::OpenRead(indexPath);
    index.seek(static_cast<std::uint64_t>(id) * sizeof(ImageIndexEntry));
    ImageIndexEntry entry{};
    index.readExact(&entry, sizeof entry);
    index.close();
    return entry;
}

} // namespace lw
