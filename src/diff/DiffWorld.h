// The size of the world a diff is made from or applied to, from the files of the parts it holds:
// every one of them must be of that one size, and of one facet.
#pragma once

#include "diff/WorldFileSet.h"
#include "world/WorldSize.h"

namespace lw {

// The world of a generation's files: the maps' with the map part (each index then fitting
// it), else the indexes'. Refuses sets of two sizes or of two facets.
WorldSize GenerationWorld(const WorldFileSet& original, const WorldFileSet& modified, bool statics,
                          bool map);

// Refuses, before anything is written, an application whose original files (and target map)
// are not of the world the diff describes.
void RequireApplicationWorld(const WorldSize& diffWorld, const WorldFileSet& original,
                             const WorldFileSet& target, bool statics, bool map);

} // namespace lw
