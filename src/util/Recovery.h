// Repairs what an interrupted operation (a kill, a crash, a power cut) left in the folders a run
// is about to use, before anything reads them: each folder from its own journal, whatever its
// path is now, and every other folder of that operation it can find, all in the same direction.
//
// The direction is the journals': an operation is completed once any of its journals says so
// (every new file was staged and synced and every journal written by then), and undone before
// (ReplacementJournal.h says why a folder repaired alone loses no item either way). A file is
// acted on only while it holds exactly what the journal records: one changed after the
// interruption (a server's save) is left as it is, and the content that would have replaced it
// is kept beside it under a name of its own, and the log says so.
#pragma once

#include "util/JournalFile.h"
#include "util/LockSet.h"
#include "util/LogSink.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace lw {

// What one run finds in the folders of the files it uses.
class InterruptedOperations {
public:
    InterruptedOperations(LockSet& locks, const LogSink& log);

    // A folder of the running operation's files; mayWrite when the run may repair it. A journal
    // that is damaged, does not parse or names anything outside its folder stops the run here
    // with a JournalError, before anything is changed.
    void look(const std::string& folder, bool mayWrite);
    // Completes or undoes every interrupted operation found, in every folder of it that can be
    // reached, under exclusive locks; logs what it did, what it left and where it could not
    // reach. Refuses, before changing anything, where the run may not write but the files are
    // not whole (a reader of read-only media), or where a file the repair needs is gone.
    // Returns how many it repaired.
    int repair();

    // What repair() would leave in the place of each target, without changing anything or
    // taking locks: the file whose content it gets, or nothing where it would be removed.
    struct Outcome {
        std::string target;
        std::optional<std::string> content;
    };
    std::vector<Outcome> preview();

private:
    struct Found {
        std::string folder;
        Journal journal;
        bool mayWrite = false;
        bool done = false; // its journal is gone: repaired
    };
    struct Plan;
    struct Report {
        std::vector<std::string> targets, notes;
    };
    std::vector<Found*> partsOf(const std::string& operation, std::vector<std::string>& unreached);
    std::vector<Plan> plan(const std::vector<Found*>& parts, JournalPhase direction) const;
    std::pair<JournalPhase, std::vector<Plan>> decide(const std::vector<Found*>& parts) const;
    void act(Plan& plan, bool forward, Report& report);
    bool repairOperation(const std::string& operation);

    LockSet& locks_;
    const LogSink& log_;
    std::vector<FileStatus> looked_;
    std::deque<Found> found_; // stable: parts point into it
    std::vector<std::string> repairedOperations_;
};

// Every folder, as a writer where this process may write: for the desktop program at start-up and
// the command line's recover. Returns how many interrupted operations it repaired.
int RecoverInterruptedOperations(const std::vector<std::string>& folders, const LogSink& log);

// Removes the staged and kept files killed runs left in folder before they wrote a journal there
// (a journal never put in place among them), and the restore points they left half made or half
// let go: only names exactly of this program's pattern (TempNames.h). Nothing while the folder
// has a journal, whose files they are. Call after the journal of the folder is handled, under its
// exclusive lock. Returns what it removed.
std::vector<std::string> RemoveStaleReplacementFiles(const std::string& folder);
// The restore points of folder that killed runs left half made or half let go, by full path.
std::vector<std::string> UnfinishedRestorePoints(const std::string& folder);
// Removes a folder this program made (a restore point's) with the files in it.
void RemoveFolderOfOurs(const std::string& path);
// The files RemoveStaleReplacementFiles would remove, by full path, removing nothing: for a reader
// that reports them.
std::vector<std::string> StaleReplacementFiles(const std::string& folder);

} // namespace lw
