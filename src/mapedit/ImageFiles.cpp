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
    for (auto [member, name] : {std::pair{&ImageFiles::TexIdx, kTexIdxName},
                                {&ImageFiles::TexMaps, kTexMapsName},
                                {&ImageFiles::ArtIdx, kArtIdxName},
                                {&ImageFiles::Art, kArtName}}) {
        auto path = FindImageFile(folder, name);
        if (!path)
            return std::nullopt;
        files.*member = std::move(*path);
    }
    return files;
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
