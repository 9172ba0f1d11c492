// The fill/clear window's rules: which controls the chosen parts and the three path fields
// enable, which paths the settings keep, and how the whole-world borders follow the map.
#pragma once

#include "gui/models/PathFieldValue.h"
#include "gui/models/WorldParts.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

enum class FillClearControl {
    Go,
    StaticsNote,     // "All static items in this area are cleared!"
    FillChoices,     // the tile and the altitude with their labels and spinner
    ModifiedStatics, // MStaIdxEdit and MStaticsEdit show the main window's files
    ModifiedMap,
};

struct FillClearWindowModel {
    WorldParts parts;
    // staidx0.mul, statics0.mul, map0.mul.
    std::array<gui::PathFieldValue, 3> paths;

    // Go! needs all three files even when only one part is chosen.
    bool allValid() const { return gui::AllValid(paths); }
    bool enabled(FillClearControl control) const;
    // "StaIdx0.mul", "Statics0.mul", "Map0.mul" while all three are valid.
    std::optional<std::array<std::string, 3>> pathsToStore() const {
        return gui::PathsIfAllValid(paths);
    }
};

// A border that still takes in the whole world of the map before (its text is that world's edge,
// `before`) takes in the whole of the new one: the new text, or nothing when the user set it.
std::optional<std::string> FollowedBorder(std::string_view text, int before, int now);

} // namespace lw
