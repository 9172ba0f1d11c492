// The POSIX folder lock: flock on the folder.
#ifndef _WIN32
#include "util/FolderLock.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/LockHolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace lw {

long LockHolder(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return 0;
    std::string table;
    try {
        File locks = File::OpenRead("/proc/locks");
        char buffer[4096];
        while (const std::size_t got = locks.readSome(buffer, sizeof buffer))
            table.append(buffer, got);
        locks.close();
    } catch (const Error&) {
        return 0;
    }
    // "1: FLOCK  ADVISORY  WRITE 1234 fd:01:5678 0 EOF"
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK")
            continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
            inode == st.st_ino && major == ::major(st.st_dev) && minor == ::minor(st.st_dev) &&
            pid != ::getpid() && pid > 0)
            return pid;
    }
    return 0;
}

void TakeFlock(int fd, bool exclusive, const std::string& path, const std::string& file) {
    int result;
    do {
        result = ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return;
    if (errno != EWOULDBLOCK)
        throw IoError(IoCodeFromErrno(errno), path, std::strerror(errno));
    ThrowInUse(file, LockHolder(fd));
}

void ThrowInUse(const std::string& file, long holder) {
    throw Error("Another Loamwright operation is using " + file +
                (holder ? " (process " + std::to_string(holder) + ")" : std::string()) +
                ". Wait until it has finished, then try again.");
}

FolderLock::FolderLock(const std::string& folder, bool exclusive, const std::string& file)
    : folder_(folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A missing folder is the file's problem: the file is what the user named.
    if (fd_ < 0)
        throw IoError(IoCodeFromErrno(errno), file.empty() ? folder : file, std::strerror(errno));
    try {
        take(exclusive, file);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::move(other.folder_)), fd_(std::exchange(other.fd_, -1)),
      exclusive_(other.exclusive_) {}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the lock
}

void FolderLock::makeExclusive(const std::string& file) {
    if (!exclusive_)
        take(true, file);
}

void FolderLock::take(bool exclusive, const std::string& file) {
    TakeFlock(fd_, exclusive, folder_, file);
    exclusive_ = exclusive;
}

} // namespace lw
#endif
