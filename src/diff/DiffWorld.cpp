#include "diff/DiffWorld.h"

#include "util/Errors.h"
#include "world/WorldFileNames.h"
#include "world/WorldOfFiles.h"

#include <vector>

namespace lw {
namespace {

void RequireFacet(const WorldFileSet& a, const WorldFileSet& b, bool statics, bool map) {
    std::vector<std::string> paths;
    for (const WorldFileSet* set : {&a, &b}) {
        if (statics) {
            paths.push_back(set->staidx);
            paths.push_back(set->statics);
        }
        if (map)
            paths.push_back(set->map);
    }
    FacetOfFiles(paths);
}

WorldSize WorldOfSet(const WorldFileSet& set, bool statics, bool map) {
    if (map)
        return statics ? WorldOfMapAndIndex(set.map, set.staidx) : MapWorld(set.map);
    return IndexWorld(set.staidx);
}

} // namespace

WorldSize GenerationWorld(const WorldFileSet& original, const WorldFileSet& modified, bool statics,
                          bool map) {
    RequireFacet(original, modified, statics, map);
    const WorldSize world = WorldOfSet(original, statics, map);
    const WorldSize other = WorldOfSet(modified, statics, map);
    if (other != world)
        throw Error("The modified world is " + other.text() + " tiles and the original world " +
                    world.text() +
                    ": a diff compares two worlds of one size. Nothing was "
                    "changed.");
    return world;
}

void RequireApplicationWorld(const WorldSize& diffWorld, const WorldFileSet& original,
                             const WorldFileSet& target, bool statics, bool map) {
    RequireFacet(original, target, statics, map);
    const auto require = [&](const WorldSize& world, const std::string& path) {
        if (world != diffWorld)
            throw Error("The diff describes a world of " + diffWorld.text() + " tiles, but " +
                        path + " is of a world of " + world.text() +
                        ". It cannot be applied to these files. Nothing was changed.");
    };
    if (map) {
        require(MapWorld(original.map), original.map);
        require(MapWorld(target.map), target.map);
    }
    if (statics)
        require(map ? WorldOfMapAndIndex(original.map, original.staidx)
                    : IndexWorld(original.staidx),
                original.staidx);
}

} // namespace lw
