// Runs a piece of a test in a forked child process, for what only another process shows: a kill
// part-way through, a lock held by someone else, a user without root's rights. POSIX only.
#pragma once

#include <functional>

namespace lw::test {

struct ChildOutcome {
    bool killed = false; // ended by SIGKILL
    int exitCode = -1;   // 0 when body returned, 1 when it threw; -1 when killed
};

// body runs in the child, which then ends without running any of the parent's clean-up.
ChildOutcome RunInChild(const std::function<void()>& body);

// A child that runs body; body calls its argument while it holds what the parent is to see,
// which tells the parent it is ready and waits until the parent releases it.
class WaitingChild {
public:
    explicit WaitingChild(const std::function<void(const std::function<void()>&)>& body);
    ~WaitingChild(); // releases the child and waits for it
    WaitingChild(const WaitingChild&) = delete;
    WaitingChild& operator=(const WaitingChild&) = delete;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    int release_ = -1;
};

} // namespace lw::test
