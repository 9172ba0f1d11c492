#include "gui/models/MainWindowModel.h"

namespace lw {

bool MainWindowModel::enabled(MainControl control) const {
    const bool operations = allValid() && indexLoaded;
    switch (control) {
    case MainControl::WorldPaths:
        return !indexLoaded; // the loaded index belongs to these files
    case MainControl::LWDiff:
        return staticsValid(); // the diff window restricts Simple mode to applying
    case MainControl::FillClear:
        return staticsValid() && !simple();
    case MainControl::GetStaticIndex:
        return allValid() && !indexLoaded;
    case MainControl::BlockFields:
    case MainControl::GetStaticBlock:
    case MainControl::MeltBlock:
        return operations && !simple();
    case MainControl::FreezeWorld:
        return operations && !(simple() && freezeDone);
    case MainControl::FreezeChoices:
        return !simple() && !freezeAsked;
    case MainControl::MapEdit:
        return !simple();
    case MainControl::Compact:
        return staticsValid() && !simple();
    case MainControl::Restore:
        // Players too: a way back from a freeze or a diff applied to the wrong folder.
        return staIdx.valid() || statics.valid() || itemFile.valid();
    }
    return false;
}

std::optional<GuidanceStep> MainWindowModel::guidance() const {
    if (!simple())
        return std::nullopt;
    if (staIdx.invalid())
        return GuidanceStep::EnterStaIdx;
    if (statics.invalid())
        return GuidanceStep::EnterStatics;
    if (itemFile.invalid())
        return GuidanceStep::EnterItemFile;
    if (!indexLoaded)
        return GuidanceStep::LoadIndex;
    if (!freezeDone)
        return GuidanceStep::Freeze;
    return GuidanceStep::Finished;
}

// The first path field still to be filled, then GetStaticIndex, then the step after it
// (GetStaticBlock in Normal mode, Freeze! in Simple mode, as the guidance says).
MainFocus MainWindowModel::nextStep() const {
    const bool worldPaths = enabled(MainControl::WorldPaths);
    const struct {
        const gui::PathFieldValue& field;
        bool enabled;
        MainFocus focus;
    } fields[] = {{staIdx, worldPaths, MainFocus::StaIdxField},
                  {statics, worldPaths, MainFocus::StaticsField},
                  {itemFile, true, MainFocus::ItemFileField}};
    for (const auto& f : fields)
        if (f.enabled && (f.field.path.empty() || !f.field.valid()))
            return f.focus;
    if (enabled(MainControl::GetStaticIndex))
        return MainFocus::GetStaticIndex;
    if (simple())
        return enabled(MainControl::FreezeWorld) ? MainFocus::FreezeWorld : MainFocus::None;
    return enabled(MainControl::GetStaticBlock) ? MainFocus::GetStaticBlock : MainFocus::None;
}

std::optional<std::array<std::string, 3>> MainWindowModel::pathsToStore() const {
    if (!staticsValid())
        return std::nullopt;
    return std::array<std::string, 3>{staIdx.path, statics.path,
                                      itemFile.valid() ? itemFile.path : std::string()};
}

} // namespace lw
