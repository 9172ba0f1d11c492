// Melt and freeze done the slow, obvious way: the item file (and the patch file) read and
// rewritten once per block, each block read and appended on its own. The one-pass operations
// must give the same files, log lines, progress values and errors.
#pragma once

#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"

namespace lw::reference {

void MeltBlocks(ProgramState& state, const MeltRequest& request, const LogSink& log,
                Progress& progress);

void FreezeItems(ProgramState& state, const FreezeRequest& request, const AutoSelectIDs& autoIds,
                 const LogSink& log, Progress& progress);

} // namespace lw::reference
