// Melt: the statics of a block range become TYPE 255 items of the item file, and the blocks
// become empty in the static index.
#pragma once

#include "items/LogSink.h"
#include "util/Progress.h"
#include "world/BlockRange.h"
#include "world/ProgramState.h"

#include <array>
#include <functional>
#include <string>

namespace lw {

struct MeltRequest {
    std::string StaIdxPath;   // StaIdxEdit
    std::string StaticsPath;  // StaticsEdit
    std::string ItemFilePath; // WSCEdit
    ItemFileStyle Style = ItemFileStyle::Pol;
    BlockRange Range;
};

inline constexpr const char* kMeltStartLine =
    "Melting in progress... Loamwright may look crashed, do not interrupt!";
inline constexpr const char* kMeltDoneLine = "Melting completed!";

// The operation: reads the blocks (block X outer, Y inner), appends their records to the item
// file, empties their entries, writes staidx0.mul. Logs as the block-by-block melt would;
// progress 0, 90-99, 100. Nothing is written before every block is read and every item number
// is known; on failure every file is as before and state.StaticIndex agrees with staidx0.mul.
void MeltBlocks(ProgramState& state, const MeltRequest& request, const LogSink& log,
                Progress& progress);

// What "Melt!" does (MeltBlockButtonClick): logs kMeltStartLine, takes the range from the four
// field texts X1, X2, Y1, Y2, hands it to showRange (the window writes range.SnappedTexts back
// into its fields there; before melting, so also when the melt fails), melts, logs
// kMeltDoneLine. Errors propagate to the caller's error handler. request.Range is ignored.
void MeltBlockRange(ProgramState& state, MeltRequest request,
                    const std::array<std::string, 4>& fieldTexts,
                    const std::function<void(const BlockRange&)>& showRange, const LogSink& log,
                    Progress& progress);

} // namespace lw
