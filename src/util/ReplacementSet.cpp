#include "util/ReplacementSet.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/ReplacementJournal.h"
#include "util/TempNames.h"

#include <string>
#include <vector>

namespace lw {
namespace {

CommitTarget TargetOf(const ReplacementFile& file) {
    CommitTarget target{DirectoryOf(file.target()), {}};
    target.entry.method = file.method();
    target.entry.target = NameOf(file.target());
    target.entry.staged = NameOf(file.temporaryPath());
    if (const auto stamp = StampOf(file.temporaryPath()); stamp && file.digest())
        target.entry.fresh = {true, stamp->Size, true, *file.digest(), *stamp};
    return target;
}

// A removal's staged name is never made: the journal's names follow one pattern.
CommitTarget RemovalOf(const std::string& path) {
    CommitTarget target{DirectoryOf(path), {}};
    target.entry.target = NameOf(path);
    target.entry.staged = target.entry.target + kStagedMarker + UniqueNamePart();
    target.removal = true;
    return target;
}

} // namespace

void ReplacementSet::commit() {
    for (const Target& target : targets_)
        if (target.file)
            target.file->finish();
    if (targets_.empty())
        return;
    OldContentKeeper* keeper = KeeperScope::current();
    ReplacementFile* lone = targets_.size() == 1 ? targets_.front().file : nullptr;
    if (!keeper && lone && lone->method() == ReplaceMethod::Rename) {
        RenameFile(lone->temporaryPath(), lone->target());
        lone->committed_ = true;
        try {
            SyncFolder(DirectoryOf(lone->target()));
        } catch (const Error&) {
            // The rename is done; a folder that cannot be synced makes it no less so.
        }
        return;
    }

    std::vector<CommitTarget> targets;
    for (const Target& target : targets_)
        targets.push_back(target.file ? TargetOf(*target.file) : RemovalOf(target.removed));
    ReplacementJournal journal(std::move(targets));
    try {
        journal.replaceAll();
    } catch (const std::exception& e) {
        journal.rollBack(e.what());
        throw;
    }
    journal.finish(keeper, appended_);
    for (const Target& target : targets_)
        if (target.file)
            target.file->committed_ = true;
}

} // namespace lw
