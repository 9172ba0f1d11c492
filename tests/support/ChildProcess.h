// Runs a piece of a test in a forked child process, for what only another process shows: a kill
// part-way through, a lock held by someone else, a user without root's rights. POSIX only.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace lw::test {

struct ChildOutcome {
    bool killed = false; // ended by SIGKILL
    int exitCode = -1;   // 0 when body returned, 1 when it threw; -1 when killed
};

// body runs in the child, which then ends without running any of the parent's clean-up.
ChildOutcome RunInChild(const std::function<void()>& body);

// body runs in a child with mounts of its own, where it may bind folders elsewhere (as root);
// nothing when the system does not allow that here.
std::optional<ChildOutcome> RunWithOwnMounts(const std::function<void()>& body);
// Mounts folder at where (which must exist), read-only when asked; throws when it cannot.
void BindMount(const std::string& folder, const std::string& where, bool readOnly = false);

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
