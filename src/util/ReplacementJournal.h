// Putting several files in place together, so that a run killed at any moment is completed or
// undone by the next one, folder by folder: first every new file is staged and synced and every
// target's old content kept beside it; then each folder gets a journal naming its files (written
// to be undone); then the journals are marked to be completed, in the order of the folders; then
// the targets are replaced, and the journals and old copies go.
//
// Which way a folder found with a journal goes: undone while its journal says so, completed once
// it says so. An operation's folders are marked in an order that is safe to stop in at any point:
// a folder goes after every folder whose files must not be older than its own (melt marks the
// item file's folder before the index's, freeze the index's before the item file's), so that
// even folders repaired one by one, some completed and some undone, never lose an item.
#pragma once

#include "util/Errors.h"
#include "util/JournalFile.h"
#include "util/KeptContent.h"
#include "util/TempNames.h"

#include <string>
#include <vector>

namespace lw {

// Raised when putting the old content back failed part-way: nothing more was changed, and the
// text says which file holds what. The journal stays, so the next run finishes the undo.
class UndoFailedError : public Error {
public:
    using Error::Error;
};

// One file of a commit: the real folder it lies in, and its names there (target and staged).
struct CommitTarget {
    std::string folder;
    JournalEntry entry;
    bool removal = false; // the target goes: its entry has no new content
};

class ReplacementJournal {
public:
    // Keeps every target's old content, then writes and marks the journals; targets are given in
    // the order they are to be replaced. On failure nothing of it is left and the error is raised.
    explicit ReplacementJournal(std::vector<CommitTarget> targets);
    ReplacementJournal(const ReplacementJournal&) = delete;
    ReplacementJournal& operator=(const ReplacementJournal&) = delete;

    // Every target gets its new content, in order, then their folders are synced. A target that
    // another program changed meanwhile stops it with an Error.
    void replaceAll();
    // After replaceAll: the journals go, then the old copies, but for those the keeper takes (a
    // restore point). Nothing here can fail the operation: it is complete, and a journal a
    // failure leaves completes it again.
    void finish(OldContentKeeper* keeper = nullptr,
                const std::vector<AppendedTarget>& appended = {}) noexcept;
    // After a failure: every target replaced so far gets its old content back, last to first,
    // and nothing is left. An undo that fails stops, leaving the journals for the next run
    // (UndoFailedError).
    void rollBack(const std::string& cause);

private:
    struct Folder {
        std::string path;
        std::vector<std::size_t> targets; // into targets_, in order
    };
    Journal journalOf(std::size_t place, JournalPhase phase) const;
    void removeWhatWasMade() noexcept;
    void handOver(OldContentKeeper& keeper, const std::vector<AppendedTarget>& appended) noexcept;
    std::string whatHoldsWhat() const;

    std::string operation_;
    std::vector<CommitTarget> targets_;
    std::vector<Folder> folders_; // by place
    std::size_t kept_ = 0;        // targets whose old content is kept
    std::size_t written_ = 0;     // folders with a journal
    std::size_t marked_ = 0;      // folders whose journal says to complete
    std::size_t replaced_ = 0;    // targets replaced
    std::size_t restored_ = 0;    // of those, counted from the last, given their old content back
};

// The journals in a folder, by full path: the one of this version and any an earlier one left.
std::vector<std::string> FindJournals(const std::string& folder);

} // namespace lw
