// The main window's rules as a table: the facts of a moment (mode, index, freeze, the three path
// fields) and what they enable, the guidance step, the next focus and the paths stored.
#include "gui/models/MainWindowModel.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lw::test {
namespace {

using gui::FieldState;
using gui::PathFieldValue;

constexpr FieldState U = FieldState::Untouched, V = FieldState::Valid, I = FieldState::Invalid;

// The enabled controls in a short form: "paths diff fill index blocks list melt freeze choices
// map compact restore".
std::string Enabled(const MainWindowModel& model) {
    const std::pair<MainControl, const char*> names[] = {
        {MainControl::WorldPaths, "paths"},      {MainControl::LWDiff, "diff"},
        {MainControl::FillClear, "fill"},        {MainControl::GetStaticIndex, "index"},
        {MainControl::BlockFields, "blocks"},    {MainControl::GetStaticBlock, "list"},
        {MainControl::MeltBlock, "melt"},        {MainControl::FreezeWorld, "freeze"},
        {MainControl::FreezeChoices, "choices"}, {MainControl::MapEdit, "map"},
        {MainControl::Compact, "compact"},       {MainControl::Restore, "restore"},
    };
    std::ostringstream out;
    for (const auto& [control, name] : names)
        if (model.enabled(control))
            out << (out.tellp() > 0 ? " " : "") << name;
    return out.str();
}

PathFieldValue Field(FieldState state, const char* path = "some/path") {
    return {state == U ? "" : path, state};
}

struct Case {
    const char* what;
    AppModeKind mode;
    bool loaded, frozen, freezeAsked;
    FieldState staIdx, statics, itemFile;
    const char* enabled;
    std::optional<GuidanceStep> guidance;
    MainFocus focus;
};

constexpr AppModeKind N = AppModeKind::Normal, S = AppModeKind::Simple;
constexpr auto kOther = static_cast<AppModeKind>(2);
constexpr std::nullopt_t kManual = std::nullopt; // Normal mode keeps the manual

const Case kCases[] = {
    {"as created", N, false, false, false, U, U, U, "paths choices map", kManual,
     MainFocus::StaIdxField},
    {"statics valid", N, false, false, false, V, V, I,
     "paths diff fill choices map compact restore", kManual, MainFocus::ItemFileField},
    {"statics index red", N, false, false, false, I, V, V, "paths choices map restore", kManual,
     MainFocus::StaIdxField},
    {"all valid", N, false, false, false, V, V, V,
     "paths diff fill index choices map compact restore", kManual, MainFocus::GetStaticIndex},
    {"index loaded", N, true, false, false, V, V, V,
     "diff fill blocks list melt freeze choices map compact restore", kManual,
     MainFocus::GetStaticBlock},
    // The statics fields are off once loaded: only the item file can take the operations away.
    {"loaded, item file gone", N, true, false, false, V, V, I,
     "diff fill choices map compact restore", kManual, MainFocus::ItemFileField},
    {"frozen", N, true, true, true, V, V, V,
     "diff fill blocks list melt freeze map compact restore", kManual, MainFocus::GetStaticBlock},
    {"another stored mode is Normal", kOther, true, true, false, V, V, V,
     "diff fill blocks list melt freeze choices map compact restore", kManual,
     MainFocus::GetStaticBlock},
    // Untouched fields are neither green nor red: the guidance goes on to the index.
    {"simple, as created", S, false, false, false, U, U, U, "paths", GuidanceStep::LoadIndex,
     MainFocus::StaIdxField},
    {"simple, enter staidx", S, false, false, false, I, I, I, "paths", GuidanceStep::EnterStaIdx,
     MainFocus::StaIdxField},
    {"simple, enter statics", S, false, false, false, V, I, U, "paths restore",
     GuidanceStep::EnterStatics, MainFocus::StaticsField},
    {"simple, enter item file", S, false, false, false, V, V, I, "paths diff restore",
     GuidanceStep::EnterItemFile, MainFocus::ItemFileField},
    {"simple, load", S, false, false, false, V, V, V, "paths diff index restore",
     GuidanceStep::LoadIndex, MainFocus::GetStaticIndex},
    {"simple, freeze", S, true, false, false, V, V, V, "diff freeze restore", GuidanceStep::Freeze,
     MainFocus::FreezeWorld},
    {"simple, finished", S, true, true, true, V, V, V, "diff restore", GuidanceStep::Finished,
     MainFocus::None},
};

TEST(MainWindowModel, EnablingGuidanceAndFocusFollowTheFacts) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        MainWindowModel model;
        model.mode = c.mode;
        model.indexLoaded = c.loaded;
        model.freezeDone = c.frozen;
        model.freezeAsked = c.freezeAsked;
        model.staIdx = Field(c.staIdx);
        model.statics = Field(c.statics);
        model.itemFile = Field(c.itemFile);
        EXPECT_EQ(Enabled(model), c.enabled);
        EXPECT_EQ(model.guidance(), c.guidance);
        EXPECT_EQ(model.nextStep(), c.focus);
    }
}

TEST(MainWindowModel, ValidStaticsFieldsStoreTheItemFileOnlyOnceItIsValidToo) {
    MainWindowModel model;
    model.staIdx = Field(V, "a/staidx0.mul");
    model.statics = Field(I, "a/statics0.mul");
    model.itemFile = Field(V, "a/statics.cfg");
    EXPECT_EQ(model.pathsToStore(), std::nullopt);

    model.statics.state = V;
    using Stored = std::array<std::string, 3>;
    EXPECT_EQ(model.pathsToStore(), (Stored{"a/staidx0.mul", "a/statics0.mul", "a/statics.cfg"}));
    for (const FieldState notValid : {I, U}) {
        model.itemFile.state = notValid;
        EXPECT_EQ(model.pathsToStore(), (Stored{"a/staidx0.mul", "a/statics0.mul", ""}));
    }
    // A valid field that is empty is still something to fill in.
    model.itemFile = {"", V};
    EXPECT_EQ(model.nextStep(), MainFocus::ItemFileField);
}

} // namespace
} // namespace lw::test
