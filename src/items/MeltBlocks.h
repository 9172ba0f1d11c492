// Melt: the statics of a block range become TYPE 255 items of the item file, and the blocks
// become empty in the static index.
#pragma once

#include "items/ItemFileStyle.h"
#include "util/LogSink.h"
#include "util/Progress.h"
#include "world/BlockRange.h"
#include "world/ProgramState.h"

#include <string>

namespace lw {

struct MeltRequest {
    std::string staidx;   // staidx0.mul
    std::string statics;  // statics0.mul
    std::string itemFile; // the emulator item file the items go to
    ItemFileStyle style = ItemFileStyle::Pol;
    BlockRange range;
};

inline constexpr const char* kMeltStartLine =
    "Melting in progress... Loamwright may look crashed, do not interrupt!";
inline constexpr const char* kMeltDoneLine = "Melting completed!";

// The operation: reads the blocks (block X outer, Y inner), appends their records to the item
// file, empties their entries, writes staidx0.mul. Logs as the block-by-block melt would;
// progress 0, 90-99, 100. Nothing is written before every block is read and every item number
// is known; on failure every file is as before and state.StaticIndex agrees with staidx0.mul.
// Its files are checked first as FreezeItems checks them.
void MeltBlocks(ProgramState& state, const MeltRequest& request, const LogSink& log,
                Progress& progress);

} // namespace lw
