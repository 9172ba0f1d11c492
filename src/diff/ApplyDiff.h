// Application of a diff: a player's original world files plus a .lw2 file give the modified
// world, written to the target files.
#pragma once

#include "diff/DiffProgress.h"
#include "diff/WorldFileSet.h"
#include "util/LogSink.h"
#include "world/ProgramState.h"

#include <memory>
#include <string>

namespace lw {

struct AppliedDiff {
    // False when the original index is not the one the diff was made from; nothing was written
    // and the caller shows a box with caption and message.
    bool applied = false;
    std::string caption; // "CRC error!"
    std::string message;
    // The first 393,216 entries of the index written to the target staidx0.mul; null when the
    // diff has no statics part or was not applied.
    std::unique_ptr<StaticIndexTable> writtenIndex;
};

// Builds the target files of the parts the diff holds beside them and puts them in place only
// when all are built, so a failure or refusal leaves every target as it was. The diff file is
// checked completely before that, and so is the size of the files against the world the diff
// describes (RequireApplicationWorld); original files are only read. Refuses a target statics0.mul
// that is the original one, and a target that is any original or the diff file. The target
// map0.mul must exist. What the check of its files repairs first goes to log, and at the end a
// warning when a block written holds more statics than the game client reads.
AppliedDiff ApplyDiff(const WorldFileSet& original, const WorldFileSet& target,
                      const std::string& diffPath, DiffProgress& progress,
                      const LogSink& log = DiscardLog);

// After an application: when the target index is the file the program-wide index was loaded
// from, that index takes the table just written, so a later melt or freeze does not write the
// old table back. Returns whether it did.
bool TakeWrittenIndex(ProgramState& state, const std::string& targetIndexPath,
                      AppliedDiff& applied);

} // namespace lw
