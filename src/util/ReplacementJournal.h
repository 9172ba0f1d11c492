// The record kept on disk while several files are replaced together, so that a run killed
// between two renames is undone by the next one, and the leftovers of killed runs are removed.
#pragma once

#include "util/Errors.h"
#include "util/LogSink.h"

#include <functional>
#include <string>
#include <vector>

namespace lw {

// How a target gets its new content.
enum class ReplaceMethod {
    Rename,  // the staged file is renamed over the target; kept is a second name of the old file
    InPlace, // the staged content is written over the target (it has hard links to keep); kept is
             // a copy of the old content
};

struct JournalEntry {
    ReplaceMethod method = ReplaceMethod::Rename;
    std::string target; // the real file, links resolved
    std::string staged; // the new content, synced before the journal is written
    std::string kept;   // the old content; empty when the target did not exist
};

// The staged, kept and journal names of a target: the target's name, a marker, a random part.
inline constexpr const char* kStagedMarker = ".lw-new-";
inline constexpr const char* kKeptMarker = ".lw-old-";
inline constexpr const char* kJournalMarker = ".lw-journal-";

// Raised when putting the old content back failed part-way: nothing more was changed, and the
// text says which file holds what. The journal stays, so the next run finishes the undo.
class UndoFailedError : public Error {
public:
    using Error::Error;
};

class ReplacementJournal {
public:
    // Writes and syncs the record beside the first target, before the first step.
    explicit ReplacementJournal(std::vector<JournalEntry> entries);
    ReplacementJournal(const ReplacementJournal&) = delete;
    ReplacementJournal& operator=(const ReplacementJournal&) = delete;

    const std::string& path() const { return path_; }
    // After the last step: the record goes first, then the staged and kept names.
    void finish();
    // Every target back to its old content, the record and the leftovers removed; see RollBack.
    void rollBack(const std::string& cause);

private:
    std::vector<JournalEntry> entries_;
    std::string path_;
};

// The journals in a folder, by full path.
std::vector<std::string> FindJournals(const std::string& folder);

// The entries of a journal; an empty list for one whose writing was cut short (its steps never
// began).
std::vector<JournalEntry> ReadJournal(const std::string& journalPath);

// The rule for a journal found on disk: its operation did not finish, so every target gets its
// old content back, whichever step the run was killed at; after a kill at any rename the
// targets end all old (or all new, when the kill came after the journal was removed). A target
// is restored from its kept name, which exists for as long as the journal does. The targets are
// restored last to first, the reverse of the order they were replaced in, and the first restore
// that fails stops the undo (UndoFailedError), so that what the index on disk refers to is never
// taken away. Logs "Recovered an interrupted operation: ...".
void RecoverJournal(const std::string& journalPath, const LogSink& log);

// Removes the staged and kept files that killed runs left beside target (unique names, so they
// never block a run, but they can be large) and returns them. Call after the journals of its
// folder are handled, under the lock of that folder.
std::vector<std::string> RemoveStaleReplacementFiles(const std::string& target);

} // namespace lw
