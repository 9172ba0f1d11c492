#include "util/SafeReplace.h"

#include "util/Errors.h"
#include "util/ReplacementSet.h"
#include "util/TempNames.h"

namespace lw {
namespace {

File StageBeside(const std::string& target, ReplaceMethod& method, std::string& tempPath) {
    const std::optional<FileStatus> old = StatusOf(target);
    if (old && old->links > 1)
        method = ReplaceMethod::InPlace;
    File file = CreateUnique(target + kStagedMarker, tempPath);
    file.digestWrites();
    if (old) {
        try {
            file.takeModeAndOwner(old->mode, old->owner, old->group);
        } catch (...) {
            RemoveFileQuietly(tempPath);
            throw;
        }
    }
    return file;
}

} // namespace

ReplacementFile::ReplacementFile(const std::string& target)
    : target_(ResolveLinks(target)), file_(StageBeside(target_, method_, temp_)) {}

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
    digest_ = file_.writtenDigest(file_.size());
    file_.close();
    finished_ = true;
}

void ReplacementFile::commit() {
    ReplacementSet one;
    one.add(this);
    one.commit();
}

void ReplaceFile(const std::string& target, const std::function<void(File&)>& write) {
    ReplacementFile replacement(target);
    write(replacement.file());
    replacement.commit();
}

} // namespace lw
