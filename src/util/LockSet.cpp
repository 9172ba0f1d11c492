#include "util/LockSet.h"

#include "util/Errors.h"

namespace lw {

bool LockSet::lockFolder(const std::string& folder, bool exclusive, const std::string& file,
                         bool readOnly) {
    const auto identity = StatusOf(folder);
    if (identity)
        for (HeldFolder& held : folders_)
            if (held.identity.sameFileAs(*identity)) {
                if (exclusive)
                    held.lock.makeExclusive(file);
                return true;
            }
    try {
        FolderLock lock(folder, exclusive, file);
        folders_.push_back({identity.value_or(FileStatus{}), std::move(lock)});
    } catch (const IoError& e) {
        if (readOnly && !exclusive && e.code() == kIoAccessDenied && identity)
            return false;
        throw;
    }
    return true;
}

void LockSet::lockFile(const std::string& path, bool exclusive, const std::string& file) {
    const auto identity = StatusOf(path);
    if (!identity || !identity->isRegular())
        return;
    for (HeldFile& held : files_)
        if (held.identity.sameFileAs(*identity)) {
            if (exclusive)
                held.lock.makeExclusive(file);
            return;
        }
    files_.push_back({*identity, FileLock(path, exclusive, file)});
}

} // namespace lw
