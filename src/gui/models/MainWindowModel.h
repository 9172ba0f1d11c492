// The main window's rules: which controls its facts enable, the step the Simple-mode guidance
// explains, where the keyboard focus goes next, and which paths the settings keep.
#pragma once

#include "gui/models/PathFieldValue.h"
#include "world/ProgramState.h"

#include <array>
#include <optional>
#include <string>

namespace lw {

// The step of Simple mode that the guidance explains: the first one not yet done.
enum class GuidanceStep { EnterStaIdx, EnterStatics, EnterItemFile, LoadIndex, Freeze, Finished };

// The controls the rules enable, each standing for the widgets that go with it.
enum class MainControl {
    WorldPaths, // the statics index and statics fields
    LWDiff,
    FillClear,
    GetStaticIndex,
    BlockFields, // the four block fields and their spinners
    GetStaticBlock,
    MeltBlock,
    FreezeWorld,
    FreezeChoices, // the " Freeze items " group and "Write PAT"
    MapEdit,
    Compact, // the statics of the two world fields, rewritten without dead space
    Restore, // the restore points of the folders of the three files
};

// Where the user's next step is.
enum class MainFocus {
    None,
    StaIdxField,
    StaticsField,
    ItemFileField,
    GetStaticIndex,
    GetStaticBlock,
    FreezeWorld
};

struct MainWindowModel {
    AppModeKind mode = AppModeKind::Normal; // only Simple is Simple; any other value is Normal
    bool indexLoaded = false;
    bool freezeDone = false;
    bool freezeAsked = false; // from then on the selection and "Write PAT" stay as they are
    gui::PathFieldValue staIdx, statics, itemFile;

    bool simple() const { return mode == AppModeKind::Simple; }
    bool enabled(MainControl control) const;
    // Nothing in Normal mode, which keeps the manual.
    std::optional<GuidanceStep> guidance() const;
    MainFocus nextStep() const;
    // "StaIdx0.mul", "Statics0.mul", "UOX3.wsc" while the two statics fields are valid; the item
    // file is kept as empty text until its field is valid too.
    std::optional<std::array<std::string, 3>> pathsToStore() const;

private:
    bool staticsValid() const { return staIdx.valid() && statics.valid(); }
    bool allValid() const { return staticsValid() && itemFile.valid(); }
};

} // namespace lw
