#include "world/WorldFileNames.h"

#include "util/Errors.h"
#include "util/File.h"

namespace lw {
namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

struct NamePattern {
    WorldFileKind kind;
    std::string_view before, after; // the lower-cased name is before + digit + after
};

constexpr NamePattern kPatterns[] = {
    {WorldFileKind::StaticsIndex, "staidx", ".mul"},
    {WorldFileKind::Statics, "statics", ".mul"},
    {WorldFileKind::Map, "map", ".mul"},
    {WorldFileKind::Map, "map", "legacymul.uop"},
};

std::optional<int> FacetOfPattern(const NamePattern& pattern, std::string_view name) {
    if (name.size() != pattern.before.size() + 1 + pattern.after.size() ||
        !name.starts_with(pattern.before) || !name.ends_with(pattern.after))
        return std::nullopt;
    const char digit = name[pattern.before.size()];
    if (digit < '0' || digit >= '0' + kFacetCount)
        return std::nullopt;
    return digit - '0';
}

} // namespace

std::string WorldFileName(WorldFileKind kind, int facet, bool container) {
    const std::string n = std::to_string(facet);
    switch (kind) {
    case WorldFileKind::StaticsIndex:
        return "staidx" + n + ".mul";
    case WorldFileKind::Statics:
        return "statics" + n + ".mul";
    case WorldFileKind::Map:
        break;
    }
    return container ? "map" + n + "LegacyMUL.uop" : "map" + n + ".mul";
}

std::string LowerCaseFileName(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1]))
        --start;
    std::string name(path.substr(start));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

bool IsExistingFile(const std::string& path) {
    return !path.empty() && IsRegularFile(path);
}

bool IsWorldFile(const std::string& path, std::string_view expectedName) {
    return IsExistingFile(path) && LowerCaseFileName(path) == expectedName;
}

std::optional<int> FacetOfWorldFile(WorldFileKind kind, std::string_view path) {
    const std::string name = LowerCaseFileName(path);
    for (const NamePattern& pattern : kPatterns)
        if (pattern.kind == kind)
            if (const auto facet = FacetOfPattern(pattern, name))
                return facet;
    return std::nullopt;
}

std::optional<int> FacetOfWorldFileName(std::string_view path) {
    const std::string name = LowerCaseFileName(path);
    for (const NamePattern& pattern : kPatterns)
        if (const auto facet = FacetOfPattern(pattern, name))
            return facet;
    return std::nullopt;
}

bool HasWorldFileName(std::string_view path) {
    return FacetOfWorldFileName(path).has_value();
}

bool IsMapContainerName(std::string_view path) {
    return LowerCaseFileName(path).ends_with(".uop");
}

std::vector<bool> ValidWorldFileFields(const std::vector<WorldFileField>& fields) {
    std::vector<bool> valid;
    for (const WorldFileField& field : fields) {
        const std::optional<int> facet = FacetOfWorldFile(field.kind, field.path);
        bool ok = facet && IsExistingFile(field.path);
        for (const WorldFileField& other : fields)
            ok = ok && FacetOfWorldFile(other.kind, other.path).value_or(0) == *facet;
        valid.push_back(ok);
    }
    return valid;
}

int FacetOfFiles(const std::vector<std::string>& paths) {
    std::optional<int> facet;
    std::string first;
    for (const std::string& path : paths) {
        const auto own = FacetOfWorldFileName(path);
        if (!own)
            continue;
        if (facet && *own != *facet)
            throw Error("The world files " + first + " and " + path +
                        " belong to different facets (" + std::to_string(*facet) + " and " +
                        std::to_string(*own) + "); the files of one operation are one facet's.");
        facet = own;
        first = path;
    }
    return facet.value_or(0);
}

} // namespace lw
