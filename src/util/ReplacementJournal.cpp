#include "util/ReplacementJournal.h"

#include "util/FileSeams.h"
#include "util/ReplacementSteps.h"

#include <algorithm>

namespace lw {
namespace {

using Step = FileFaults::Step;

std::string TargetPath(const CommitTarget& target) {
    return JoinPath(target.folder, target.entry.target);
}

} // namespace

ReplacementJournal::ReplacementJournal(std::vector<CommitTarget> targets)
    : operation_(RandomHex(kOperationIdLength)), targets_(std::move(targets)) {
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        auto folder = std::find_if(folders_.begin(), folders_.end(), [&](const Folder& f) {
            return IsSameFile(f.path, targets_[i].folder);
        });
        if (folder == folders_.end())
            folder = folders_.insert(folders_.end(), Folder{targets_[i].folder, {}});
        folder->targets.push_back(i);
        targets_[i].folder = folder->path;
    }
    // A folder's place is that of its last target: every target that must be new before it is
    // then in a folder of an earlier place, or in the same one.
    std::stable_sort(folders_.begin(), folders_.end(), [](const Folder& a, const Folder& b) {
        return a.targets.back() < b.targets.back();
    });
    try {
        for (CommitTarget& target : targets_) {
            if (!target.removal && !target.entry.fresh.present) // not digested while written
                target.entry.fresh = VersionOf(JoinPath(target.folder, target.entry.staged));
            KeepOldCopy(target.folder, target.entry);
            ++kept_;
        }
        const bool oneFolder = folders_.size() == 1;
        for (std::size_t place = 0; place < folders_.size(); ++place) {
            file_seams::AtStep(Step::WriteJournal);
            WriteJournal(folders_[place].path,
                         journalOf(place, oneFolder ? JournalPhase::Forward : JournalPhase::Back));
            ++written_;
        }
        if (oneFolder)
            marked_ = 1;
        for (; marked_ < folders_.size(); ++marked_) {
            file_seams::AtStep(Step::CommitJournal);
            SetJournalPhase(folders_[marked_].path, JournalPhase::Forward);
        }
    } catch (...) {
        removeWhatWasMade();
        throw;
    }
}

Journal ReplacementJournal::journalOf(std::size_t place, JournalPhase phase) const {
    Journal journal;
    journal.operation = operation_;
    journal.phase = phase;
    journal.place = place;
    for (const Folder& folder : folders_)
        journal.folders.push_back(folder.path);
    for (const std::size_t i : folders_[place].targets)
        journal.entries.push_back(targets_[i].entry);
    return journal;
}

// Before any target was replaced: the journals say "undo" first, last place first, so that a kill
// part-way leaves nothing that would be completed; then they go with the old copies.
void ReplacementJournal::removeWhatWasMade() noexcept {
    try {
        for (std::size_t place = marked_; place-- > 0;)
            SetJournalPhase(folders_[place].path, JournalPhase::Back);
    } catch (...) {
        return; // the journals complete the operation; their files are all there for it
    }
    for (std::size_t place = written_; place-- > 0;) {
        try {
            RemoveJournal(folders_[place].path);
        } catch (...) {
            return; // what is left is undone by the next run
        }
    }
    for (std::size_t i = 0; i < kept_; ++i)
        DisposeOfOldCopy(targets_[i].folder, targets_[i].entry);
}

void ReplacementJournal::replaceAll() {
    for (const CommitTarget& target : targets_) {
        file_seams::AtStep(Step::Replace);
        const JournalEntry& entry = target.entry;
        const std::optional<FileStamp> expected =
            entry.old.present ? std::optional(entry.old.stamp) : std::nullopt;
        const bool done = entry.fresh.present
                              ? PutInPlace(target.folder, entry, entry.staged, expected)
                              : RemoveExpected(TargetPath(target), expected);
        if (!done)
            throw Error(TargetPath(target) +
                        " was changed by another program while this operation ran.");
        ++replaced_;
    }
    file_seams::AtStep(Step::SyncTargets);
    for (const Folder& folder : folders_)
        SyncFolder(folder.path);
}

void ReplacementJournal::finish(OldContentKeeper* keeper,
                                const std::vector<AppendedTarget>& appended) noexcept {
    bool journalsGone = true;
    for (const Folder& folder : folders_) {
        file_seams::AtStep(Step::RemoveJournal);
        try {
            RemoveJournal(folder.path);
        } catch (...) {
            journalsGone = false; // a journal that stays completes what is complete already
        }
    }
    for (const CommitTarget& target : targets_)
        if (target.entry.method == ReplaceMethod::InPlace)
            RemoveFileQuietly(JoinPath(target.folder, target.entry.staged));
    // Old content a journal still names is the journal's until the next run tidies up.
    if (keeper && journalsGone)
        handOver(*keeper, appended);
    for (const CommitTarget& target : targets_)
        DisposeOfOldCopy(target.folder, target.entry);
}

void ReplacementJournal::handOver(OldContentKeeper& keeper,
                                  const std::vector<AppendedTarget>& appended) noexcept {
    try {
        std::vector<ReplacedTarget> handed;
        for (const CommitTarget& target : targets_) {
            const JournalEntry& entry = target.entry;
            ReplacedTarget& replaced = handed.emplace_back();
            replaced.folder = target.folder;
            replaced.name = entry.target;
            replaced.kept = entry.kept;
            replaced.oldSize = entry.old.present ? entry.old.size : 0;
            replaced.written = entry.fresh;
            if (const auto now = StampOf(TargetPath(target)); now && entry.fresh.present)
                replaced.written.stamp = *now; // in place: the target, not the staged file
        }
        keeper.keep(handed, appended);
        for (std::size_t i = 0; i < targets_.size(); ++i)
            targets_[i].entry.kept = handed[i].kept;
    } catch (...) {
        // Without a restore point the operation is no less complete.
    }
}

std::string ReplacementJournal::whatHoldsWhat() const {
    std::string text;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const JournalEntry& entry = targets_[i].entry;
        const std::string target = TargetPath(targets_[i]);
        const std::string kept = JoinPath(targets_[i].folder, entry.kept);
        text += i ? "; " : "";
        if (i + restored_ >= replaced_)
            text += target +
                    (entry.old.present ? " holds its old content" : " is not there, as before");
        else if (!entry.old.present)
            text += target + " holds its new content (it did not exist before)";
        else if (!entry.fresh.present)
            text += target + " is removed, its old content is in " + kept;
        else if (entry.method == ReplaceMethod::InPlace)
            text += target + " may hold part of its new content, its old content is in " + kept;
        else
            text += target + " holds its new content, its old content is in " + kept;
    }
    return text;
}

void ReplacementJournal::rollBack(const std::string& cause) {
    const std::string lead = "The operation failed (" + cause + ") and could not be undone";
    try {
        for (std::size_t place = marked_; place-- > 0;)
            SetJournalPhase(folders_[place].path, JournalPhase::Back);
        marked_ = 0;
    } catch (const std::exception& e) {
        throw UndoFailedError(lead + " (" + e.what() +
                              "); nothing more was changed. The next operation on these files "
                              "completes it.");
    }
    while (restored_ < replaced_) {
        const CommitTarget& target = targets_[replaced_ - 1 - restored_];
        const JournalEntry& entry = target.entry;
        try {
            bool restored;
            if (entry.old.present)
                restored = PutInPlace(target.folder, entry, entry.kept,
                                      !entry.fresh.present ? std::nullopt
                                      : entry.method == ReplaceMethod::InPlace
                                          ? std::optional(entry.old.stamp)
                                          : std::optional(entry.fresh.stamp));
            else if ((restored = StampOf(TargetPath(target)) == entry.fresh.stamp))
                RemoveFile(TargetPath(target)); // the operation made it
            if (!restored)
                throw Error("it was changed by another program meanwhile");
        } catch (const std::exception& e) {
            throw UndoFailedError(lead + " (" + TargetPath(target) + ": " + e.what() +
                                  "); nothing more was changed. " + whatHoldsWhat() +
                                  ". The next operation on these files puts the old content back.");
        }
        ++restored_;
    }
    try {
        for (const Folder& folder : folders_)
            SyncFolder(folder.path);
    } catch (...) {
        // The journals stay: the next run finds every target old and only tidies up.
        return;
    }
    written_ = folders_.size();
    removeWhatWasMade();
}

std::vector<std::string> FindJournals(const std::string& folder) {
    std::vector<std::string> journals;
    if (FileExists(JournalPathIn(folder)))
        journals.push_back(JournalPathIn(folder));
    for (std::string& earlier : FindEarlierJournals(folder))
        journals.push_back(std::move(earlier));
    return journals;
}

} // namespace lw
