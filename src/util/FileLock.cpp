// The POSIX file lock: flock on a descriptor of the file.
#ifndef _WIN32
#include "util/FileLock.h"

#include "util/Errors.h"
#include "util/LockHolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace lw {

FileLock::FileLock(const std::string& path, bool exclusive, const std::string& file) : path_(path) {
    // flock does not care how the file was opened: one the user may only write is locked too.
    for (const int mode : {O_RDONLY, O_WRONLY}) {
        fd_ = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0 || errno != EACCES)
            break;
    }
    if (fd_ < 0)
        throw IoError(IoCodeFromErrno(errno), file.empty() ? path : file, std::strerror(errno));
    try {
        take(exclusive, file);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)),
      exclusive_(other.exclusive_) {}

FileLock::~FileLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

void FileLock::makeExclusive(const std::string& file) {
    if (!exclusive_)
        take(true, file);
}

void FileLock::take(bool exclusive, const std::string& file) {
    TakeFlock(fd_, exclusive, path_, file);
    exclusive_ = exclusive;
}

} // namespace lw
#endif
