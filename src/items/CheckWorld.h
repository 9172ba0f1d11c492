// The world check from end to end: the world files and, when given, the item file, read under
// the locks every operation takes.
#pragma once

#include "util/LogSink.h"
#include "util/Progress.h"
#include "world/WorldCheck.h"

namespace lw {

// Declares the files for reading (which first repairs what a killed run left, saying so through
// log, or refuses where this process may not repair it), checks the world files (progress 0-90),
// then the item file (90-100). Files a run killed before its journal left beside them are notes.
// A file that cannot be read is an IoError; an item file that is not text is a finding.
WorldCheckReport CheckWorld(const WorldCheckRequest& request, Progress& progress,
                            const LogSink& log = DiscardLog);

} // namespace lw
