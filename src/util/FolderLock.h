// The advisory lock that keeps two Loamwright operations (two command-line runs, or one beside
// the desktop program) off the same files: flock on the folder itself, so nothing is left behind
// in the user's folder and a killed run's lock goes with its process.
//
// Windows locks no folder: there the lock is a byte of the hidden file ".loamwright.lock" in the
// folder, locked with LockFileEx and opened delete-on-close, so the system removes it when the
// last run using it ends, killed or not; one left by a crash of the system blocks nobody, since
// only the byte lock counts. A folder that takes no new file is read without a lock.
//
// The folder is locked rather than each file because a replacement gives the path a new file:
// a lock on the old file would not keep a second run off the new one.
#pragma once

#include <string>

namespace lw {

class FolderLock {
public:
    // Takes the lock at once or refuses: "Another Loamwright operation is using <file> ...".
    // Readers share a folder; a writer has it alone. file names what the user asked for.
    FolderLock(const std::string& folder, bool exclusive, const std::string& file);
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

    const std::string& folder() const { return folder_; }
    bool exclusive() const { return exclusive_; }
    // From shared to exclusive, or refused as above.
    void makeExclusive(const std::string& file);

private:
    void take(bool exclusive, const std::string& file);
    std::string folder_;
#ifdef _WIN32
    void* handle_ = nullptr; // the open lock file
#else
    int fd_ = -1; // the open folder
#endif
    bool exclusive_ = false;
};

} // namespace lw
