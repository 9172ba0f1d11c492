#include "world/KnownWorldSizes.h"

#include "world/WorldFileNames.h"

#include <cctype>

namespace lw {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

template <typename Length>
std::optional<KnownWorldSize> SizeOfLength(std::uint64_t bytes, std::optional<int> facet,
                                           Length length) {
    if (facet)
        for (const FacetWorldSize& known : kKnownWorldSizes)
            if (known.Facet == *facet && length(known.Size) == bytes)
                return known.Size;
    for (const FacetWorldSize& known : kKnownWorldSizes)
        if (length(known.Size) == bytes)
            return known.Size;
    return std::nullopt;
}

} // namespace

std::string KnownWorldSize::name() const {
    return std::to_string(Width) + " x " + std::to_string(Height);
}

std::string KnownWorldSize::blockName(int blockNumber) const {
    const int rows = blockRows();
    return "block (" + std::to_string(blockNumber / rows) + ", " +
           std::to_string(blockNumber % rows) + ")";
}

std::optional<int> FacetOfWorldFile(std::string_view path) {
    const std::string name = LowerCaseFileName(path);
    std::string_view rest = name;
    const bool map = StartsWith(rest, "map");
    if (map)
        rest.remove_prefix(3);
    else if (StartsWith(rest, "staidx"))
        rest.remove_prefix(6);
    else if (StartsWith(rest, "statics"))
        rest.remove_prefix(7);
    else
        return std::nullopt;
    if (rest.empty() || !std::isdigit(static_cast<unsigned char>(rest.front())))
        return std::nullopt;
    const int facet = rest.front() - '0';
    rest.remove_prefix(1);
    if (rest == ".mul" || (map && rest == "legacymul.uop"))
        return facet;
    return std::nullopt;
}

std::optional<KnownWorldSize> WorldSizeOfIndex(std::uint64_t bytes, std::optional<int> facet) {
    return SizeOfLength(bytes, facet, [](const KnownWorldSize& s) { return s.indexBytes(); });
}

std::optional<KnownWorldSize> WorldSizeOfMap(std::uint64_t bytes, std::optional<int> facet) {
    return SizeOfLength(bytes, facet, [](const KnownWorldSize& s) { return s.mapBytes(); });
}

} // namespace lw
