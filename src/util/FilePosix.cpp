// The POSIX half of the checked file layer.
#ifndef _WIN32
#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/FileSeams.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lw {

namespace file_seams {
[[noreturn]] void KillThisProcess() {
    ::kill(::getpid(), SIGKILL);
    std::abort(); // not reached
}
} // namespace file_seams

namespace {

// The system's own words for an error, with what they mean where they say too little.
std::string SystemReason(int err) {
    std::string words = std::strerror(err);
    if (err == ETXTBSY)
        words += " (it is a program that is running)";
    return words;
}

// The error names the file it is about, and keeps the system's own words for it.
[[noreturn]] void ThrowErrno(const std::string& path = {}) {
    const int err = errno;
    if (path.empty())
        throw IoError(IoCodeFromErrno(err));
    throw IoError(IoCodeFromErrno(err), path, SystemReason(err));
}

FileStatus StatusFromStat(const struct stat& st) {
    FileStatus status;
    status.device = st.st_dev;
    status.inode = st.st_ino;
    status.mode = st.st_mode;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    status.links = st.st_nlink;
    status.size = static_cast<std::uint64_t>(st.st_size);
    return status;
}

[[noreturn]] void ThrowNotAFile(const std::string& path, const FileStatus& status) {
    const std::string kind = KindOfSpecialFile(status);
    throw IoError(kIoAccessDenied, path,
                  "it is " + kind + (kind == "a folder" ? ", not a file" : ", not a regular file"));
}

// Only regular files are opened: a pipe would block the open, a folder or device is no world or
// item file.
int OpenChecked(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        ThrowErrno(path);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
        ::close(fd);
        ThrowNotAFile(path, StatusFromStat(st));
    }
    file_seams::CountOpened();
    return fd;
}

} // namespace

File::File(NativeHandle fd, std::string path) : handle_(fd), path_(std::move(path)) {}

File File::OpenRead(const std::string& path) {
    return File(OpenChecked(path, O_RDONLY), path);
}

File File::OpenReadWrite(const std::string& path) {
    return File(OpenChecked(path, O_RDWR), path);
}

File File::Create(const std::string& path) {
    return File(OpenChecked(path, O_RDWR | O_CREAT | O_TRUNC), path);
}

File File::CreateNew(const std::string& path) {
    return File(OpenChecked(path, O_RDWR | O_CREAT | O_EXCL), path);
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), path_(std::move(other.path_)),
      written_(std::move(other.written_)), writtenSize_(other.writtenSize_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) {
            ::close(handle_);
            file_seams::CountClosed();
        }
        handle_ = std::exchange(other.handle_, kNoHandle);
        path_ = std::move(other.path_);
        written_ = std::move(other.written_);
        writtenSize_ = other.writtenSize_;
    }
    return *this;
}

File::~File() {
    if (handle_ >= 0) {
        ::close(handle_);
        file_seams::CountClosed();
    }
}

void File::seek(std::uint64_t position) {
    noteMovedTo(position);
    if (::lseek(handle_, static_cast<off_t>(position), SEEK_SET) < 0)
        ThrowErrno(path_);
}

std::uint64_t File::position() const {
    const off_t pos = ::lseek(handle_, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(path_);
    return static_cast<std::uint64_t>(pos);
}

FileStatus File::status() const {
    struct stat st {};
    if (::fstat(handle_, &st) != 0)
        ThrowErrno(path_);
    return StatusFromStat(st);
}

std::uint64_t File::size() const {
    struct stat st {};
    if (::fstat(handle_, &st) != 0)
        ThrowErrno(path_);
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::readSome(void* buffer, std::size_t n) {
    noteMovedTo(~std::uint64_t{0}); // a read moves on from where the writes were
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(handle_, out + done, n - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(path_);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::write(const void* buffer, std::size_t n) {
    if (file_seams::WriteFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull), path_);
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(handle_, in + done, n - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(path_);
        }
        done += static_cast<std::size_t>(put);
    }
    noteWritten(buffer, n);
}

void File::truncate(std::uint64_t size) {
    noteMovedTo(size);
    if (::ftruncate(handle_, static_cast<off_t>(size)) != 0)
        ThrowErrno(path_);
}

void File::sync() {
    if (file_seams::SyncFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull), path_);
    if (::fdatasync(handle_) != 0)
        ThrowErrno(path_);
}

void File::takeModeAndOwner(FileMode mode, OwnerId owner, OwnerId group) {
    // Only a privileged process may give a file away; anyone else keeps it as their own.
    // A change of owner clears the set-id bits, so the bits come after it.
    if (owner != ::geteuid() || group != ::getegid())
        (void)!::fchown(handle_, owner, group);
    // A file system without POSIX modes (FAT) refuses any it cannot show; its files all get the
    // same mode anyway.
    if (::fchmod(handle_, mode & 07777) != 0 && errno != EPERM && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        ThrowErrno(path_);
}

void File::startWriteback() noexcept {
#ifdef __linux__
    ::sync_file_range(handle_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void File::close() {
    if (handle_ < 0)
        return;
    const int fd = std::exchange(handle_, kNoHandle);
    file_seams::CountClosed();
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(path_);
}

std::optional<FileStatus> StatusOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return StatusFromStat(st);
}

namespace {

std::string RealPathOf(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return {};
    return resolved;
}

std::string FollowLinks(const std::string& path, int hopsLeft) {
    if (std::string real = RealPathOf(path); !real.empty())
        return real;
    // A link to a file not there yet is followed by hand; anything else resolves its folder.
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
    if (length > 0 && hopsLeft > 0) {
        const std::string next(target, static_cast<std::size_t>(length));
        return FollowLinks(next.front() == '/' ? next : JoinPath(DirectoryOf(path), next),
                           hopsLeft - 1);
    }
    const std::string folder = RealPathOf(DirectoryOf(path));
    return folder.empty() ? path : JoinPath(folder, NameOf(path));
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    return FollowLinks(path, 40);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::uint64_t FileSizeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        ThrowErrno(path);
    return static_cast<std::uint64_t>(st.st_size);
}

void RenameFile(const std::string& from, const std::string& to) {
    if (file_seams::RenameStepKilled())
        file_seams::KillThisProcess();
    if (::rename(from.c_str(), to.c_str()) != 0)
        ThrowErrno(from);
}

bool TryLinkFile(const std::string& existing, const std::string& newName) {
    if (file_seams::LinksRefused())
        return false;
    if (::link(existing.c_str(), newName.c_str()) == 0)
        return true;
    const int err = errno;
    if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK || err == EXDEV)
        return false;
    throw IoError(IoCodeFromErrno(err), existing,
                  "cannot give it a second name (a hard link) beside it: " + SystemReason(err));
}

bool RenameOverExpected(const std::string& from, const std::string& to,
                        const std::optional<FileStamp>& expected) {
    if (file_seams::RenameStepKilled())
        file_seams::KillThisProcess();
    const auto unsupported = [](int err) {
        return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
    };
    if (!expected) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST)
            return false;
        if (!unsupported(errno))
            ThrowErrno(from);
        if (FileExists(to))
            return false;
    } else {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
            // from now names what to was: the file expected, or one saved there meanwhile.
            if (StampOf(from) == expected) {
                RemoveFile(from);
                return true;
            }
            if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0)
                ThrowErrno(from);
            return false;
        }
        if (errno == ENOENT && !FileExists(from))
            ThrowErrno(from);
        if (errno != ENOENT && !unsupported(errno))
            ThrowErrno(from);
        if (StampOf(to) != expected)
            return false;
    }
    if (::rename(from.c_str(), to.c_str()) != 0)
        ThrowErrno(from);
    return true;
}

void RemoveFileQuietly(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

void RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        ThrowErrno(path);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        ThrowErrno(path);
}

void RemoveEmptyFolder(const std::string& path) {
    if (::rmdir(path.c_str()) != 0 && errno != ENOENT)
        ThrowErrno(path);
}

void RequireWritable(const std::string& path) {
    const auto status = StatusOf(path);
    if (status && !status->isRegular())
        ThrowNotAFile(path, *status);
    const std::string folder = DirectoryOf(path);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int err = errno;
        throw IoError(IoCodeFromErrno(err), path,
                      err == EACCES ? "Permission denied: this user may not make files in the "
                                      "folder " +
                                          folder
                                    : SystemReason(err));
    }
    if (!status)
        return;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        ThrowErrno(path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        ThrowErrno(path);
    ::close(fd);
}

bool CanWriteIn(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

void SyncFolder(const std::string& folder) {
    if (file_seams::SyncFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull), folder);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno(folder);
    const int result = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; their renames are as durable as they get.
    if (result != 0 && err != EINVAL && err != EROFS)
        throw IoError(IoCodeFromErrno(err), folder, SystemReason(err));
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        ThrowErrno(folder);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                         st.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace lw
#endif
