// The diff window's rules: which controls its six path fields and the mode enable, and which
// paths the settings keep.
#pragma once

#include "gui/models/PathFieldValue.h"
#include "world/ProgramState.h"

#include <array>
#include <optional>
#include <string>

namespace lw {

enum class DiffControl {
    StaticsPart, // the "StaIdx0.mul + Statics0.mul" box
    MapPart,     // the "Map0.mul" box
    Generate,
    Apply,
    ShowChanges,    // a look at a diff before it is applied
    OriginalPaths,  // the original row
    ModifiedMap,    // MMapEdit
    ModifiedStatics // MStaIdxEdit and MStaticsEdit: the main window's files, which Apply writes
};

struct DiffWindowModel {
    AppModeKind mode = AppModeKind::Normal;
    bool actionsOffered = false; // all six fields have been valid at once
    // The original staidx0.mul, statics0.mul and map0.mul, then the modified ones.
    std::array<gui::PathFieldValue, 6> paths;

    bool allValid() const { return gui::AllValid(paths); }
    // A look at a diff tells whether it fits the original row only while that names its files.
    bool originalsValid() const { return paths[0].valid() && paths[1].valid() && paths[2].valid(); }
    bool enabled(DiffControl control) const;
    // The three "O-" values, then "StaIdx0.mul", "Statics0.mul" and "Map0.mul", while all six are
    // valid.
    std::optional<std::array<std::string, 6>> pathsToStore() const {
        return gui::PathsIfAllValid(paths);
    }
};

} // namespace lw
