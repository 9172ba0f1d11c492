// The clearing pass of fill/clear: the index with the rectangle's static items taken out.
#pragma once

#include "fillclear/FillClear.h"
#include "world/IndexRollback.h"
#include "world/StaticIndex.h"
#include "world/StaticRuns.h"

#include <memory>

namespace lw {

// Reads staidx0.mul (of that world) and returns it cleared. Wholly covered blocks become (-1, -1,
// 0); every partly covered block, also one that loses nothing or has no records, gets its remaining
// records appended to statics0.mul through `appended` (synced) and its entry re-pointed there,
// Extra as read. Progress after each block column.
std::unique_ptr<StaticIndexTable> ClearStatics(const FillClearRequest& request,
                                               const WorldSize& world, StaticsAppend& appended,
                                               Progress& progress);

// Removes the records standing inside the rectangle: each is overwritten by the last record and
// its place tested again, so A B C D with A and C inside ends as D B. Returns the new count.
int RemoveRecordsInside(const FillClearRequest& request, int blockX, int blockY,
                        TStaticRec* records, int count);

} // namespace lw
