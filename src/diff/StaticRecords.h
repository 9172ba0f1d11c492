// A block's records read straight from a statics0.mul kept open for a pass, with the checks of
// ReadStaticBlock, and appended to a statics0.mul being written.
#pragma once

#include "diff/FilePieces.h"
#include "world/Records.h"

#include <string_view>

namespace lw {

// No records for Offset -1; a Length that is no multiple of 7, or more than a block holds,
// fails before anything is read. Valid until the reader's next read.
std::string_view ReadStaticRecords(PieceReader& statics, const StaticPointer& entry);

// Appends the records and returns the entry that locates them, with Extra as given. Refuses a
// statics0.mul growing beyond the 2,147,483,647 bytes an index entry can point into.
StaticPointer AppendStaticRecords(PieceWriter& statics, std::string_view records,
                                  std::uint32_t extra);

} // namespace lw
