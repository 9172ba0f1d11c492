// What every window of the desktop program shares: the program-wide state, the settings
// store, the dialogs seam and the busy guard. The application owns them.
#pragma once

#include "gui/SettingsStore.h"
#include "gui/widgets/BusyGuard.h"
#include "gui/widgets/Dialogs.h"
#include "world/ProgramState.h"

namespace lw {

struct WindowContext {
    ProgramState& state;
    SettingsStore& settings;
    gui::Dialogs& dialogs;
    gui::BusyGuard& busy;
};

} // namespace lw
