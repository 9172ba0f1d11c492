// The portable part of the checked file layer: the test seams, unique names, the in-place
// overwrite and the path helpers. FilePosix.cpp and FileWindows.cpp do the system calls.
#include "util/File.h"

#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/FileSeams.h"
#include "util/TempNames.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace lw {
namespace {

std::atomic<int> gOpenHandles{0};
std::atomic<int> gWritesUntilFailure{0};
std::atomic<int> gRenamesUntilFailure{0};
std::atomic<int> gSyncsUntilFailure{0};
std::atomic<int> gRenamesUntilKill{0};
std::atomic<int> gRenamesUntilStuck{0}; // from this rename on, every one fails
std::atomic<int> gInjectedErrno{0};     // 0: each kind fails as it always did
std::atomic<int> gWritesSeen{0};
std::atomic<int> gSyncsSeen{0};
std::atomic<int> gRenamesSeen{0};
std::atomic<bool> gLinksRefused{false};
std::atomic<int> gStepKilled{-1}; // the step armed, as its number
std::atomic<int> gStepsUntilKill{0};
std::atomic<int> gRenamesUntilAction{0};
std::mutex gActionMutex;
std::function<void()> gRenameAction;

// Counts down an armed fault; true when this call is the one that must fail.
bool FaultDue(std::atomic<int>& countdown) {
    int left = countdown.load();
    while (left > 0) {
        if (countdown.compare_exchange_weak(left, left - 1))
            return left == 1;
    }
    return false;
}

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::size_t LastSeparator(const std::string& path) {
#ifdef _WIN32
    return path.find_last_of("/\\");
#else
    return path.find_last_of('/');
#endif
}

} // namespace

namespace file_seams {

bool WriteFails() {
    ++gWritesSeen;
    return FaultDue(gWritesUntilFailure);
}

bool SyncFails() {
    ++gSyncsSeen;
    return FaultDue(gSyncsUntilFailure);
}

int InjectedCode(int usual) {
    const int err = gInjectedErrno.load();
    return err == 0 ? usual : IoCodeFromErrno(err);
}

void CountOpened() {
    ++gOpenHandles;
}

void CountClosed() {
    --gOpenHandles;
}

bool LinksRefused() {
    return gLinksRefused.load();
}

void AtStep(FileFaults::Step step) {
    if (gStepKilled.load() == static_cast<int>(step) && FaultDue(gStepsUntilKill))
        KillThisProcess();
}

bool RenameStepKilled() {
    ++gRenamesSeen;
    if (FaultDue(gRenamesUntilAction)) {
        std::function<void()> action;
        {
            const std::lock_guard<std::mutex> hold(gActionMutex);
            action = std::exchange(gRenameAction, nullptr);
        }
        if (action)
            action();
    }
    if (FaultDue(gRenamesUntilFailure))
        throw IoError(InjectedCode(kIoAccessDenied));
    if (gRenamesUntilStuck.load() == 1 || FaultDue(gRenamesUntilStuck)) {
        gRenamesUntilStuck = 1;
        throw IoError(InjectedCode(kIoAccessDenied));
    }
    return FaultDue(gRenamesUntilKill);
}

} // namespace file_seams

void File::digestWrites() {
    written_ = std::make_unique<ContentDigest>();
    writtenSize_ = 0;
}

std::optional<std::uint64_t> File::writtenDigest(std::uint64_t size) const {
    if (!written_ || writtenSize_ != size)
        return std::nullopt;
    return written_->value();
}

void File::noteWritten(const void* data, std::size_t n) {
    if (written_) {
        written_->add(data, n);
        writtenSize_ += n;
    }
}

void File::noteMovedTo(std::uint64_t position) {
    if (written_ && position != writtenSize_)
        written_.reset();
}

void File::readExact(void* buffer, std::size_t n) {
    if (readSome(buffer, n) != n)
        throw IoError(kIoReadPastEnd, path_);
}

bool FileStatus::isRegular() const {
    return (mode & 0170000) == 0100000;
}

bool FileStatus::isFolder() const {
    return (mode & 0170000) == 0040000;
}

std::string UniqueNamePart() {
    return RandomHex(kRandomPartLength);
}

std::string KindOfSpecialFile(const FileStatus& status) {
    switch (status.mode & 0170000) {
    case 0100000:
        return {};
    case 0040000:
        return "a folder";
    case 0020000:
    case 0060000:
        return "a device";
    default:
        return "a pipe or socket";
    }
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

bool OverwriteInPlace(const std::string& source, const std::string& target,
                      const std::optional<FileStamp>& identity) {
    const bool killHalfWay = file_seams::RenameStepKilled();
    File in = File::OpenRead(source);
    File out = File::OpenReadWrite(target);
    if (identity) {
        const FileStatus now = out.status();
        if (now.device != identity->Device || now.inode != identity->Inode)
            return false;
    }
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
        file_seams::KillThisProcess();
    }
    out.truncate(size);
    out.sync();
    out.close();
    in.close();
    return true;
}

std::string NameOf(const std::string& path) {
    const auto slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = LastSeparator(path);
#ifdef _WIN32
    // "C:\name" lies in the drive's root "C:\"; "C:name" in the drive's current folder "C:".
    if (path.size() >= 2 && path[1] == ':' && (slash == std::string::npos || slash == 2))
        return path.substr(0, slash == std::string::npos ? 2 : 3);
#endif
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back()))
        return folder + name;
#ifdef _WIN32
    if (folder.size() == 2 && folder[1] == ':')
        return folder + name; // "C:" + "x" stays relative to the drive's current folder
#endif
    return folder + kPathSeparator + name;
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
void KillAtStep(Step step, int n) {
    gStepKilled = static_cast<int>(step);
    gStepsUntilKill = n;
}
void BeforeNthRename(int n, std::function<void()> action) {
    const std::lock_guard<std::mutex> hold(gActionMutex);
    gRenameAction = std::move(action);
    gRenamesUntilAction = n;
}
void RefuseLinks() {
    gLinksRefused = true;
}
void FailRenamesFrom(int n) {
    gRenamesUntilStuck = n;
}
void FailWithErrno(int err) {
    gInjectedErrno = err;
}
void Reset() {
    gInjectedErrno = 0;
    gLinksRefused = false;
    gStepKilled = -1;
    gStepsUntilKill = 0;
    gRenamesUntilAction = 0;
    {
        const std::lock_guard<std::mutex> hold(gActionMutex);
        gRenameAction = nullptr;
    }
    gWritesSeen = 0;
    gSyncsSeen = 0;
    gRenamesSeen = 0;
    gRenamesUntilKill = 0;
    gRenamesUntilStuck = 0;
    gWritesUntilFailure = 0;
    gRenamesUntilFailure = 0;
    gSyncsUntilFailure = 0;
}
int OpenHandles() {
    return gOpenHandles.load();
}
Seen Counted() {
    return {gWritesSeen.load(), gSyncsSeen.load(), gRenamesSeen.load()};
}
} // namespace FileFaults

} // namespace lw
