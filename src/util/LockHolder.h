// Who holds a lock, for the refusal that names the other process (POSIX).
#pragma once

#include <string>

namespace lw {

#ifndef _WIN32
// The process holding a flock on the open file or folder, from the system's table of locks; 0
// when unknown.
long LockHolder(int fd);
#endif

// "Another Loamwright operation is using <file> (process N). Wait ..."; holder 0 when unknown.
[[noreturn]] void ThrowInUse(const std::string& file, long holder);

} // namespace lw
