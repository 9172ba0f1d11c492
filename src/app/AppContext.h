// What every window of the desktop program shares: the program-wide state, the settings
// store, the dialogs seam and the busy guard. The application owns them.
#pragma once

#include "app/SettingsStore.h"
#include "ui/BusyGuard.h"
#include "ui/Dialogs.h"
#include "world/ProgramState.h"

namespace lw {

struct AppContext {
    ProgramState& state;
    SettingsStore& settings;
    ui::Dialogs& dialogs;
    ui::BusyGuard& busy;
};

} // namespace lw
