// The advisory lock on a file itself: two Loamwright runs that reach one file through any two
// paths (hard links in two folders, a linked folder, a bind mount) exclude each other. It goes
// with its process, killed or not, and leaves nothing in the user's folder. (POSIX: flock on the
// file. Windows: a byte of a lock file named for the file's identity, FileLockWindows.cpp.)
//
// A file replaced by a rename is a new file the lock does not cover; the lock of its folder
// (FolderLock) does, for as long as the run that replaced it lives. So an operation holds both.
#pragma once

#include <string>

namespace lw {

class FileLock {
public:
    // Takes the lock at once or refuses: "Another Loamwright operation is using <file> ...".
    // Readers share a file; a writer has it alone. file names what the user asked for.
    FileLock(const std::string& path, bool exclusive, const std::string& file);
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock& operator=(FileLock&&) = delete;

    bool exclusive() const { return exclusive_; }
    // From shared to exclusive, or refused as above.
    void makeExclusive(const std::string& file);

private:
    void take(bool exclusive, const std::string& file);
    std::string path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    bool exclusive_ = false;
};

} // namespace lw
