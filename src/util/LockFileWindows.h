// The byte lock on a delete-on-close lock file that the Windows folder and file locks share:
// Windows removes the file when the last run using it ends, killed or not, and only the byte
// lock counts, so one left by a crash of the system blocks nobody.
#pragma once

#ifdef _WIN32
#include <string>

namespace lw::windows_lock {

// The lock file, opened or made (nullptr, with the system's error, when it cannot be). While
// the last run that had it open closes it, it is "delete pending" and refuses to open: that
// passes within moments, so it is asked again.
void* OpenLockFile(const std::string& path, unsigned long& error);
bool LockByte(void* handle, bool exclusive);
void UnlockByte(void* handle);

} // namespace lw::windows_lock
#endif
