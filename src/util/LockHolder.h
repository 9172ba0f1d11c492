// Taking the lock that the file and folder locks share, and who holds it, for the refusal that
// names the other process.
#pragma once

#include <string>

namespace lw {

#ifndef _WIN32
// The process holding a flock on the open file or folder, from the system's table of locks; 0
// when unknown.
long LockHolder(int fd);

// A shared or exclusive flock on fd, without waiting: refuses, naming file, while another run
// holds it, and with the system's error about path otherwise.
void TakeFlock(int fd, bool exclusive, const std::string& path, const std::string& file);
#endif

// "Another Loamwright operation is using <file> (process N). Wait ..."; holder 0 when unknown.
[[noreturn]] void ThrowInUse(const std::string& file, long holder);

} // namespace lw
