// The restore point an operation started from a window keeps of the files it replaces, with the
// limits the settings give; the window's log shows what the keeping says.
#pragma once

#include "restore/RestorePoints.h"
#include "util/KeptContent.h"

#include <string>

namespace lw {

class SettingsStore;

class WindowRestorePoint {
public:
    // operation: "melt", "freeze", ...; window: the window's caption, recorded in place of the
    // command line.
    WindowRestorePoint(const SettingsStore& settings, const std::string& operation,
                       const std::string& window, LogSink log);

private:
    RestorePointKeeper keeper_;
    KeeperScope scope_;
};

} // namespace lw
