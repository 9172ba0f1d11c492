#include "util/ReplacementSet.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/ReplacementJournal.h"

#include <string>
#include <vector>

namespace lw {

void ReplacementSet::commit() {
    for (ReplacementFile* file : files_)
        file->finish();
    if (files_.empty())
        return;
    if (files_.size() == 1 && files_.front()->method() == ReplaceMethod::Rename) {
        RenameFile(files_.front()->temporaryPath(), files_.front()->target());
        files_.front()->committed_ = true;
        try {
            SyncFolder(DirectoryOf(files_.front()->target()));
        } catch (const Error&) {
            // The rename is done; a folder that cannot be synced makes it no less so.
        }
        return;
    }

    std::vector<CommitTarget> targets;
    for (const ReplacementFile* file : files_) {
        CommitTarget target{DirectoryOf(file->target()), {}};
        target.entry.method = file->method();
        target.entry.target = NameOf(file->target());
        target.entry.staged = NameOf(file->temporaryPath());
        if (const auto stamp = StampOf(file->temporaryPath()); stamp && file->digest())
            target.entry.fresh = {true, stamp->Size, true, *file->digest(), *stamp};
        targets.push_back(std::move(target));
    }
    ReplacementJournal journal(std::move(targets));
    try {
        journal.replaceAll();
    } catch (const std::exception& e) {
        journal.rollBack(e.what());
        throw;
    }
    journal.finish();
    for (ReplacementFile* file : files_)
        file->committed_ = true;
}

} // namespace lw
