#include "util/File.h"

#include "util/Errors.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lw {
namespace {

std::atomic<int> gOpenHandles{0};
std::atomic<int> gWritesUntilFailure{0};
std::atomic<int> gRenamesUntilFailure{0};
std::atomic<int> gSyncsUntilFailure{0};

// Counts down an armed fault; true when this call is the one that must fail.
bool FaultDue(std::atomic<int>& countdown) {
    int left = countdown.load();
    while (left > 0) {
        if (countdown.compare_exchange_weak(left, left - 1))
            return left == 1;
    }
    return false;
}

[[noreturn]] void ThrowErrno() {
    throw IoError(IoCodeFromErrno(errno));
}

int OpenChecked(const std::string& path, int flags) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        ThrowErrno();
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
        ThrowErrno();
}

std::uint64_t File::position() const {
    const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno();
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t File::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        ThrowErrno();
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
            ThrowErrno();
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::readExact(void* buffer, std::size_t n) {
    if (readSome(buffer, n) != n)
        throw IoError(kIoReadPastEnd);
}

void File::write(const void* buffer, std::size_t n) {
    if (FaultDue(gWritesUntilFailure))
        throw IoError(kIoDiskFull);
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd_, in + done, n - done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno();
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        ThrowErrno();
}

void File::sync() {
    if (FaultDue(gSyncsUntilFailure))
        throw IoError(kIoDiskFull);
    if (::fdatasync(fd_) != 0)
        ThrowErrno();
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
        ThrowErrno();
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
        ThrowErrno();
    return static_cast<std::uint64_t>(st.st_size);
}

void RenameFile(const std::string& from, const std::string& to) {
    if (FaultDue(gRenamesUntilFailure))
        throw IoError(kIoAccessDenied);
    if (::rename(from.c_str(), to.c_str()) != 0)
        ThrowErrno();
}

void LinkFile(const std::string& existing, const std::string& newName) {
    if (::link(existing.c_str(), newName.c_str()) != 0)
        ThrowErrno();
}

void RemoveFileQuietly(const std::string& path) noexcept {
    ::unlink(path.c_str());
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
void Reset() {
    gWritesUntilFailure = 0;
    gRenamesUntilFailure = 0;
    gSyncsUntilFailure = 0;
}
int OpenHandles() {
    return gOpenHandles.load();
}
} // namespace FileFaults

} // namespace lw
