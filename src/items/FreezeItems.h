// Freeze: the selected items of the item file become statics of the blocks they lie in, and
// optionally items of a patch file ("PAT") for others.
#pragma once

#include "items/LogSink.h"
#include "items/SelectItems.h"
#include "util/Progress.h"
#include "world/ProgramState.h"

#include <string>

namespace lw {

struct FreezeRequest {
    std::string StaIdxPath;   // StaIdxEdit
    std::string StaticsPath;  // StaticsEdit
    std::string ItemFilePath; // WSCEdit
    ItemFileStyle Style = ItemFileStyle::Pol;
    int SelectionMode = kSelectType255; // SelectItemsRadioGroup's item index
    std::string AutoSelectPath;         // read in the "auto" mode: program folder + AutoSelect.txt
    bool WritePat = false;              // WritePATCheckBox
    std::string PatchFilePath;          // PATSaveDialog's file; appended to when it exists
};

inline constexpr const char* kFreezeStartLine =
    "Freezing in progress... Loamwright may look crashed, do not interrupt!";
inline constexpr const char* kFreezeDoneLine = "Freezing completed!";

// The operation: selects, extracts the items of every flagged block (block X outer, Y inner),
// appends each block as a new run to statics0.mul, writes the patch file and staidx0.mul. Logs
// and progress (0, per block done x 90 / blocks, 90-99, 100) as the block-by-block freeze
// would; the item file is read once and it and the patch file are written once. Nothing is
// written before every block is checked; on failure every file is as before and
// state.StaticIndex agrees with staidx0.mul.
void FreezeItems(ProgramState& state, const FreezeRequest& request, const AutoSelectIDs& autoIds,
                 const LogSink& log, Progress& progress);

// What "Freeze!" does (FreezeWorldButtonClick) once the window has decided everything:
// checks the paths, loads request.AutoSelectPath in the "auto" mode, logs kFreezeStartLine,
// freezes, sets state.FreezeDone, logs kFreezeDoneLine.
// Before: disable SelectItemsRadioGroup and WritePATCheckBox; with "Write PAT" show
// PATSaveDialog (cancel: stop), call CheckPatchFilePath (items/OperationPaths.h), and when
// the file exists ask the append question (No: stop). Then call this. After success: disable
// the two controls again, run UpdateControlStates and ShowGuidance. Errors propagate to the
// caller's error handler; the controls stay disabled either way.
void FreezeWorld(ProgramState& state, const FreezeRequest& request, const LogSink& log,
                 Progress& progress);

} // namespace lw
