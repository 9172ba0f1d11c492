// Starts a program and ends it with SIGKILL after a delay, as a crash, the OOM killer or a
// power cut would end it: no clean-up of any kind runs in it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace lw::test {

struct KilledRun {
    bool killed = false; // the kill ended it; false when it had already ended by itself
    int exitCode = -1;   // its exit status when it ended by itself
};

// stdin, stdout and stderr of the program are /dev/null.
KilledRun RunAndKill(const std::string& program, const std::vector<std::string>& args,
                     std::chrono::microseconds killAfter);

} // namespace lw::test
