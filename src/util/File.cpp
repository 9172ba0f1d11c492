#include "util/File.h"

#include "util/Errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lw {
namespace {

std::atomic<int> gOpenHandles{0};
std::atomic<int> gWritesUntilFailure{0};
std::atomic<int> gRenamesUntilFailure{0};
std::atomic<int> gSyncsUntilFailure{0};
std::atomic<int> gRenamesUntilKill{0};
std::atomic<int> gRenamesUntilStuck{0}; // from this rename on, every one fails

// Counts down an armed fault; true when this call is the one that must fail.
bool FaultDue(std::atomic<int>& countdown) {
    int left = countdown.load();
    while (left > 0) {
        if (countdown.compare_exchange_weak(left, left - 1))
            return left == 1;
    }
    return false;
}

// The error names the file it is about, and keeps the system's own words for it.
[[noreturn]] void ThrowErrno(const std::string& path = {}) {
    const int err = errno;
    if (path.empty())
        throw IoError(IoCodeFromErrno(err));
    throw IoError(IoCodeFromErrno(err), path, std::strerror(err));
}

// The seams every rename and in-place overwrite passes; true when the step is to be killed.
bool RenameStepKilled() {
    if (FaultDue(gRenamesUntilFailure))
        throw IoError(kIoAccessDenied);
    if (gRenamesUntilStuck.load() == 1 || FaultDue(gRenamesUntilStuck)) {
        gRenamesUntilStuck = 1;
        throw IoError(kIoAccessDenied);
    }
    return FaultDue(gRenamesUntilKill);
}

[[noreturn]] void KillThisProcess() {
    ::kill(::getpid(), SIGKILL);
    std::abort(); // not reached
}

int OpenChecked(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        ThrowErrno(path);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw IoError(kIoAccessDenied);
    }
    ++gOpenHandles;
    return fd;
}

} // namespace

File::File(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

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
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
            --gOpenHandles;
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) {
        ::close(fd_);
        --gOpenHandles;
    }
}

void File::seek(std::uint64_t position) {
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0)
        ThrowErrno(path_);
}

std::uint64_t File::position() const {
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(path_);
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        ThrowErrno(path_);
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::readSome(void* buffer, std::size_t n) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd_, out + done, n - done);
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

void File::readExact(void* buffer, std::size_t n) {
    if (readSome(buffer, n) != n)
        throw IoError(kIoReadPastEnd, path_);
}

void File::write(const void* buffer, std::size_t n) {
    if (FaultDue(gWritesUntilFailure))
        throw IoError(kIoDiskFull, path_);
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd_, in + done, n - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(path_);
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        ThrowErrno(path_);
}

void File::sync() {
    if (FaultDue(gSyncsUntilFailure))
        throw IoError(kIoDiskFull, path_);
    if (::fdatasync(fd_) != 0)
        ThrowErrno(path_);
}

void File::takeModeAndOwner(mode_t mode, uid_t owner, gid_t group) {
    // Only a privileged process may give a file away; anyone else keeps it as their own.
    // A change of owner clears the set-id bits, so the bits come after it.
    if (owner != ::geteuid() || group != ::getegid())
        (void)!::fchown(fd_, owner, group);
    if (::fchmod(fd_, mode & 07777) != 0)
        ThrowErrno(path_);
}

void File::startWriteback() noexcept {
#ifdef __linux__
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void File::close() {
    if (fd_ < 0)
        return;
    const int fd = std::exchange(fd_, -1);
    --gOpenHandles;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(path_);
}

bool FileStatus::isRegular() const {
    return S_ISREG(mode);
}

bool FileStatus::isFolder() const {
    return S_ISDIR(mode);
}

std::optional<FileStatus> StatusOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
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
    if (RenameStepKilled())
        KillThisProcess();
    if (::rename(from.c_str(), to.c_str()) != 0)
        ThrowErrno(from);
}

void LinkFile(const std::string& existing, const std::string& newName) {
    if (::link(existing.c_str(), newName.c_str()) != 0)
        ThrowErrno(existing);
}

void RemoveFileQuietly(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

void RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        ThrowErrno(path);
}

std::string UniqueNamePart() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::random_device random;
    std::string part;
    for (int i = 0; i < 12; ++i)
        part += kDigits[random() % 16];
    return part;
}

File CreateUnique(const std::string& prefix, std::string& createdPath) {
    for (int attempt = 0;; ++attempt) {
        createdPath = prefix + UniqueNamePart();
        try {
            return File::CreateNew(createdPath);
        } catch (const IoError&) {
            if (!FileExists(createdPath) || attempt >= 20)
                throw;
        }
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ThrowErrno(folder);
    const int result = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; their renames are as durable as they get.
    if (result != 0 && err != EINVAL && err != EROFS)
        throw IoError(IoCodeFromErrno(err));
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

void OverwriteInPlace(const std::string& source, const std::string& target) {
    const bool killHalfWay = RenameStepKilled();
    File in = File::OpenRead(source);
    File out = File::OpenReadWrite(target);
    const std::uint64_t size = in.size();
    std::vector<char> buffer(1 << 20);
    const std::uint64_t toCopy = killHalfWay ? size / 2 : size;
    for (std::uint64_t done = 0; done < toCopy;) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), toCopy - done));
        in.readExact(buffer.data(), piece);
        out.write(buffer.data(), piece);
        done += piece;
    }
    if (killHalfWay) {
        out.sync();
        KillThisProcess();
    }
    out.truncate(size);
    out.sync();
    out.close();
    in.close();
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
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

namespace FileFaults {
void FailNthWrite(int n) {
    gWritesUntilFailure = n;
}
void FailNthRename(int n) {
    gRenamesUntilFailure = n;
}
void FailNthSync(int n) {
    gSyncsUntilFailure = n;
}
void KillAtNthRename(int n) {
    gRenamesUntilKill = n;
}
void FailRenamesFrom(int n) {
    gRenamesUntilStuck = n;
}
void Reset() {
    gRenamesUntilKill = 0;
    gRenamesUntilStuck = 0;
    gWritesUntilFailure = 0;
    gRenamesUntilFailure = 0;
    gSyncsUntilFailure = 0;
}
int OpenHandles() {
    return gOpenHandles.load();
}
} // namespace FileFaults

} // namespace lw
