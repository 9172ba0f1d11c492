// Windows has no fork: the tests that need a second process are left out there.
#ifndef _WIN32
#include "support/ChildProcess.h"

#include <csignal>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lw::test {
namespace {

int ExitCodeOf(const std::function<void()>& body) noexcept {
    try {
        body();
        return 0;
    } catch (...) {
        return 1;
    }
}

} // namespace

ChildOutcome RunInChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0)
        ::_exit(ExitCodeOf(body));
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildOutcome outcome;
    outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}

std::optional<ChildOutcome> RunWithOwnMounts(const std::function<void()>& body) {
    constexpr int kNotAllowed = 77;
    const ChildOutcome outcome = RunInChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(kNotAllowed);
        body();
    });
    if (outcome.exitCode == kNotAllowed)
        return std::nullopt;
    return outcome;
}

void BindMount(const std::string& folder, const std::string& where, bool readOnly) {
    if (::mount(folder.c_str(), where.c_str(), nullptr, MS_BIND, nullptr) != 0)
        throw std::runtime_error("cannot bind " + folder);
    if (readOnly &&
        ::mount(nullptr, where.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw std::runtime_error("cannot make " + where + " read-only");
}

WaitingChild::WaitingChild(const std::function<void(const std::function<void()>&)>& body) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        const auto readyThenWait = [&] {
            const char ok = 0;
            (void)!::write(ready[1], &ok, 1);
            char ignored;
            (void)!::read(release[0], &ignored, 1);
        };
        try {
            body(readyThenWait);
            ::_exit(0);
        } catch (...) {
            const char failed = 1;
            (void)!::write(ready[1], &failed, 1);
            ::_exit(1);
        }
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char byte = 1;
    const bool ok = ::read(ready[0], &byte, 1) == 1 && byte == 0;
    ::close(ready[0]);
    if (!ok) {
        ::close(release_);
        ::waitpid(pid_, nullptr, 0);
        throw std::runtime_error("the child process failed");
    }
}

WaitingChild::~WaitingChild() {
    ::close(release_);
    ::waitpid(pid_, nullptr, 0);
}

} // namespace lw::test

#endif
