// Freeze: the selected items of the item file become statics of the blocks they lie in, and
// optionally items of a patch file ("PAT") for others.
#pragma once

#include "items/ItemFileStyle.h"
#include "items/SelectItems.h"
#include "util/LogSink.h"
#include "util/Progress.h"
#include "world/ProgramState.h"

#include <string>

namespace lw {

struct FreezeRequest {
    std::string staidx;   // staidx0.mul
    std::string statics;  // statics0.mul
    std::string itemFile; // the emulator item file the items come from
    ItemFileStyle style = ItemFileStyle::Pol;
    SelectionMode selection = SelectionMode::Type255;
    std::string autoSelectFile; // the ID list read in the "auto" mode
    bool writePat = false;      // also write the frozen items to a patch file
    std::string patchFile;      // appended to when it exists
};

inline constexpr const char* kFreezeStartLine =
    "Freezing in progress... Loamwright may look crashed, do not interrupt!";
inline constexpr const char* kFreezeDoneLine = "Freezing completed!";

// The operation: selects, extracts the items of every flagged block (block X outer, Y inner),
// appends each block as a new run to statics0.mul, writes the patch file and staidx0.mul. Logs
// and progress (0, per block done x 90 / blocks, 90-99, 100) as the block-by-block freeze
// would; the item file is read once and it and the patch file are written once. Nothing is
// written before every block is checked; on failure every file is as before and
// state.StaticIndex agrees with staidx0.mul. First its files are declared (OperationFiles: one
// file in two roles, files it may not write, another run on them, what a killed run left), the
// item and patch files must be text, and a staidx0.mul changed since state.StaticIndex was
// loaded is refused.
void FreezeItems(ProgramState& state, const FreezeRequest& request, const AutoSelectIDs& autoIds,
                 const LogSink& log, Progress& progress);

// The whole freeze as the log shows it: checks the paths, loads request.autoSelectFile in the
// "auto" mode, logs kFreezeStartLine, freezes, sets state.FreezeDone and logs kFreezeDoneLine;
// then a warning when a block it wrote holds more statics than the game client reads.
// A patch file that exists is appended to; asking whether to is the caller's business.
void FreezeWorld(ProgramState& state, const FreezeRequest& request, const LogSink& log,
                 Progress& progress);

} // namespace lw
