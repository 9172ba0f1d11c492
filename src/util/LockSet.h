// The locks of one operation: one per folder and one per file, however each is reached (a second
// path, a link, a bind mount lead to the same lock), held until the operation ends.
#pragma once

#include "util/File.h"
#include "util/FileLock.h"
#include "util/FolderLock.h"

#include <string>
#include <vector>

namespace lw {

class LockSet {
public:
    // Shared, exclusive, or a shared one made exclusive. With readOnly, a folder this process may
    // not open (one others may only pass through, mode 711) goes without its lock, and false says
    // so: the locks of the files read there cover them.
    bool lockFolder(const std::string& folder, bool exclusive, const std::string& file,
                    bool readOnly = false);
    // The same for a file; a file not there yet has nothing to lock (its folder's lock covers it).
    void lockFile(const std::string& path, bool exclusive, const std::string& file);

private:
    struct HeldFolder {
        FileStatus identity;
        FolderLock lock;
    };
    struct HeldFile {
        FileStatus identity;
        FileLock lock;
    };
    std::vector<HeldFolder> folders_;
    std::vector<HeldFile> files_;
};

} // namespace lw
