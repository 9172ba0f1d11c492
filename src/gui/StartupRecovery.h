// At start-up the desktop program repairs what a killed operation left in the folders of the
// files it last worked on, before anything reads them.
#pragma once

#include "gui/SettingsStore.h"
#include "util/LogSink.h"

namespace lw {

// Undoes every unfinished replacement in the folders of the stored paths, logging what it did.
// A folder another operation is using, or one that cannot be read, is logged and left for the
// next operation on it.
void RecoverStoredFolders(const SettingsStore& settings, const LogSink& log);

} // namespace lw
