#include "util/SafeReplace.h"

#include "util/Errors.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lw {
namespace {

File CreateTemporaryBeside(const std::string& target, std::string& tempPath) {
    const std::string stem = target + ".lw-new-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0;; ++attempt) {
        tempPath = stem + std::to_string(attempt);
        try {
            return File::CreateNew(tempPath);
        } catch (const IoError&) {
            if (!FileExists(tempPath) || attempt >= 100)
                throw;
        }
    }
}

File OpenTemporary(const std::string& target, std::string& tempPath) {
    File file = CreateTemporaryBeside(target, tempPath);
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        ::chmod(tempPath.c_str(), st.st_mode & 07777);
    return file;
}

} // namespace

ReplacementFile::ReplacementFile(std::string target)
    : target_(std::move(target)), file_(OpenTemporary(target_, temp_)) {}

ReplacementFile::~ReplacementFile() {
    if (committed_)
        return;
    try {
        file_.close();
    } catch (...) {
    }
    RemoveFileQuietly(temp_);
}

void ReplacementFile::finish() {
    if (finished_)
        return;
    file_.sync();
    file_.close();
    finished_ = true;
}

void ReplacementFile::commit() {
    finish();
    RenameFile(temp_, target_);
    committed_ = true;
}

void ReplaceFile(const std::string& target, const std::function<void(File&)>& write) {
    ReplacementFile replacement(target);
    write(replacement.file());
    replacement.commit();
}

} // namespace lw
