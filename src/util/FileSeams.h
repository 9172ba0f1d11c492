// The test seams of the checked file layer, shared by its portable part and the POSIX and
// Windows halves. Only the file layer includes this.
#pragma once

#include "util/File.h"

namespace lw::file_seams {

// True when this write or sync is the one armed to fail.
bool WriteFails();
bool SyncFails();
// The code an armed failure raises: usual, unless a test chose the system error to inject.
int InjectedCode(int usual);
// Passed by every rename and in-place overwrite: throws for an armed failure, and is true when
// the step is to be killed.
bool RenameStepKilled();
// True while a test makes hard links fail as on a file system without them.
bool LinksRefused();
// Passed at every step of putting several files in place; ends the process when the test armed
// a kill there.
void AtStep(FileFaults::Step step);
// The count of open handles that FileFaults::OpenHandles reports.
void CountOpened();
void CountClosed();
// Ends this process at once, as a kill from outside would (platform half).
[[noreturn]] void KillThisProcess();

} // namespace lw::file_seams
