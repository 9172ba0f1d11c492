// The advisory lock that keeps two Loamwright operations (two command-line runs, or one beside
// the desktop program) off the same files: flock on the folder itself, so nothing is left behind
// in the user's folder and a killed run's lock goes with its process.
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
    int fd_ = -1;
    bool exclusive_ = false;
};

} // namespace lw
