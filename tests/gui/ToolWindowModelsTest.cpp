// The diff and fill/clear windows' rules as tables: what the path fields, the mode and the chosen
// parts enable, what is stored, one part always chosen, and the borders that follow the map.
#include "gui/models/DiffWindowModel.h"
#include "gui/models/FillClearWindowModel.h"

#include <gtest/gtest.h>

namespace lw::test {
namespace {

using gui::FieldState;

constexpr FieldState U = FieldState::Untouched, V = FieldState::Valid, I = FieldState::Invalid;

template <std::size_t N>
std::array<gui::PathFieldValue, N> Fields(std::array<FieldState, N> states) {
    std::array<gui::PathFieldValue, N> fields;
    for (std::size_t i = 0; i < N; ++i)
        fields[i] = {"path" + std::to_string(i), states[i]};
    return fields;
}

TEST(DiffWindowModel, TheActionsFollowTheSixFieldsOnceTheyWereValidTogether) {
    const std::array<FieldState, 6> allValid{V, V, V, V, V, V};
    const struct {
        const char* what;
        AppModeKind mode;
        bool offered;
        std::array<FieldState, 6> fields;
        std::vector<bool> statics_map_generate_apply_show;
    } cases[] = {
        {"first use",
         AppModeKind::Normal,
         false,
         {I, I, I, V, V, V},
         {true, true, false, false, true}},
        {"first use, simple",
         AppModeKind::Simple,
         false,
         {U, U, U, U, U, U},
         {true, true, false, false, true}},
        {"all valid", AppModeKind::Normal, false, allValid, {true, true, true, true, true}},
        {"all valid, simple: apply and look at a diff only",
         AppModeKind::Simple,
         true,
         allValid,
         {false, false, false, true, true}},
        {"another stored mode is Normal",
         static_cast<AppModeKind>(2),
         true,
         allValid,
         {true, true, true, true, true}},
        {"a red field after all were valid",
         AppModeKind::Normal,
         true,
         {V, I, V, V, V, V},
         {false, false, false, false, true}},
        {"an untouched field after all were valid",
         AppModeKind::Simple,
         true,
         {V, V, V, V, V, U},
         {false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DiffWindowModel model;
        model.mode = c.mode;
        model.actionsOffered = c.offered;
        model.paths = Fields(c.fields);
        EXPECT_EQ((std::vector<bool>{
                      model.enabled(DiffControl::StaticsPart), model.enabled(DiffControl::MapPart),
                      model.enabled(DiffControl::Generate), model.enabled(DiffControl::Apply),
                      model.enabled(DiffControl::ShowChanges)}),
                  c.statics_map_generate_apply_show);
        // The modified statics show the main window's files, which an application writes.
        EXPECT_FALSE(model.enabled(DiffControl::ModifiedStatics));
        EXPECT_TRUE(model.enabled(DiffControl::ModifiedMap));
        EXPECT_EQ(model.pathsToStore().has_value(), c.fields == allValid);
    }
    DiffWindowModel model;
    model.paths = Fields(allValid);
    EXPECT_EQ(model.pathsToStore(),
              (std::array<std::string, 6>{"path0", "path1", "path2", "path3", "path4", "path5"}));
}

TEST(FillClearWindowModel, GoNeedsAllThreeFilesAndEachPartEnablesItsChoices) {
    const struct {
        std::array<FieldState, 3> fields;
        WorldParts parts;
        bool go, note, fill;
    } cases[] = {
        {{V, V, V}, {true, true}, true, true, true},
        {{V, V, V}, {true, false}, true, true, false}, // one part still needs all three files
        {{V, V, V}, {false, true}, true, false, true},
        {{V, V, I}, {true, true}, false, true, true},
        {{U, V, V}, {true, true}, false, true, true},
    };
    for (const auto& c : cases) {
        FillClearWindowModel model;
        model.paths = Fields(c.fields);
        model.parts = c.parts;
        EXPECT_EQ(model.enabled(FillClearControl::Go), c.go);
        EXPECT_EQ(model.enabled(FillClearControl::StaticsNote), c.note);
        EXPECT_EQ(model.enabled(FillClearControl::FillChoices), c.fill);
        EXPECT_FALSE(model.enabled(FillClearControl::ModifiedStatics));
        EXPECT_EQ(model.pathsToStore().has_value(), c.go);
    }
}

TEST(WorldParts, AClickThatLeavesNeitherPartChosenChoosesTheOther) {
    const struct {
        WorldParts now;
        WorldPart clicked;
        bool statics, map;
    } cases[] = {
        {{false, false}, WorldPart::Map, true, false},
        {{false, false}, WorldPart::Statics, false, true},
        {{true, false}, WorldPart::Map, true, false},
        {{false, true}, WorldPart::Statics, false, true},
        {{true, true}, WorldPart::Statics, true, true},
    };
    for (const auto& c : cases) {
        const WorldParts kept = KeepOnePart(c.now, c.clicked);
        EXPECT_EQ(kept.statics, c.statics);
        EXPECT_EQ(kept.map, c.map);
    }
}

TEST(FillClearWindowModel, OnlyABorderAtTheOldWorldsEdgeFollowsTheMap) {
    EXPECT_EQ(FollowedBorder("6144", 6144, 7168), "7168");
    EXPECT_EQ(FollowedBorder("4096", 4096, 4096), "4096");
    EXPECT_EQ(FollowedBorder("7000", 6144, 7168), std::nullopt);
    EXPECT_EQ(FollowedBorder(" 6144", 6144, 7168), std::nullopt); // what the user typed stays
    EXPECT_EQ(FollowedBorder("$1800", 6144, 7168), std::nullopt);
}

} // namespace
} // namespace lw::test
