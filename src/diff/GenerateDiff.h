// Generation of a diff: the changed static blocks and map blocks of a modified set of world
// files against an original set, written to a .lw2 file.
#pragma once

#include "diff/DiffProgress.h"
#include "diff/WorldFileSet.h"
#include "util/LogSink.h"

#include <cstdint>
#include <string>

namespace lw {

struct DiffParts {
    bool statics = true; // staidx0.mul + statics0.mul
    bool map = true;     // map0.mul
};

// What the caller shows when a generation is done: a box with this caption and text.
struct GeneratedDiff {
    std::uint32_t originalIndexChecksum = 0; // 0 without the statics part
    std::string caption;                     // "CRC value"
    std::string message; // "The original statics file has a CRC value of 0D C2 9C 5A."
};

// Writes the diff of the chosen parts (at least one) to diffPath: version 2 for the classic world,
// version 3 for a world of any other size (GenerationWorld; both sets must be of one size and
// one facet, their maps plain or in containers). The diff file appears only
// when all of it is written; an existing file there is replaced then. Refuses a diffPath that
// is one of the six inputs. Originals and modified files are only read. What the check of its
// files repairs first goes to log.
GeneratedDiff GenerateDiff(const WorldFileSet& original, const WorldFileSet& modified,
                           const std::string& diffPath, DiffParts parts, DiffProgress& progress,
                           const LogSink& log = DiscardLog);

} // namespace lw
