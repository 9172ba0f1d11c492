#include "world/WorldOfFiles.h"

#include "util/File.h"
#include "world/MapFile.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

namespace lw {
namespace {

std::uint64_t LengthOf(const std::string& path) {
    File file = File::OpenRead(path);
    const std::uint64_t length = file.size();
    file.close();
    return length;
}

} // namespace

WorldSize MapWorld(const std::string& mapPath) {
    MapFile map = MapFile::OpenRead(mapPath);
    const WorldSize world = map.world();
    map.close();
    return world;
}

WorldSize IndexWorld(const std::string& staidxPath) {
    const int facet = FacetOfWorldFile(WorldFileKind::StaticsIndex, staidxPath).value_or(0);
    return WorldOfIndexLength(facet, LengthOf(staidxPath), staidxPath);
}

WorldSize WorldOfMapAndIndex(const std::string& mapPath, const std::string& staidxPath) {
    const WorldSize world = MapWorld(mapPath);
    RequireIndexOfWorld(world, LengthOf(staidxPath), staidxPath);
    return world;
}

} // namespace lw
