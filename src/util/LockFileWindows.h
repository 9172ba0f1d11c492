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
// The byte lock without waiting: refuses, naming file, while another run holds it, and with the
// system's error about path otherwise.
void TakeByte(void* handle, bool exclusive, const std::string& path, const std::string& file);
// A shared byte lock made exclusive: a byte lock is not converted, so the shared one goes and
// comes back when the exclusive one is refused.
void MakeByteExclusive(void* handle, const std::string& path, const std::string& file);

} // namespace lw::windows_lock
#endif
