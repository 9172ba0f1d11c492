// The journal an operation that changes several files together writes into each folder it
// writes: which files of that folder change, by name only, and what each must hold before and
// after, so that whoever finds it after a kill can complete or undo that folder, whatever its path
// is by then. Journals travel with worlds (zip files, shared folders), so one is read as untrusted
// input: anything it names outside its folder, or any damage, and it is not acted upon at all.
#pragma once

#include "util/Errors.h"
#include "util/File.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

// How a target gets its new content.
enum class ReplaceMethod {
    Rename,  // the staged file is renamed over the target; kept is a second name of the old file
             // (or a copy of it where the file system has no hard links)
    InPlace, // the staged content is written over the target (it has hard links to keep); kept is
             // a copy of the old content
};

// One content of a file: its size and digest, and where it was when it was recorded (a file that
// still has that stamp holds it, without being read again). The old content of a target kept
// under a second name is known by that file's identity alone: it is never read for a digest.
struct FileVersion {
    bool present = false; // false: no file (a target the operation creates)
    std::uint64_t size = 0;
    bool digested = true;
    std::uint64_t digest = 0;
    FileStamp stamp;
};

struct JournalEntry {
    ReplaceMethod method = ReplaceMethod::Rename;
    // Names of files in the journal's folder.
    std::string target;
    std::string staged;  // target + ".lw-new-" + random part
    std::string kept;    // target + ".lw-old-" + random part; empty when the target did not exist
    FileVersion fresh;   // what staged holds: the target's content once the operation is done;
                         // not present: the operation removes the target (staged is never made)
    FileVersion old;     // the target's content before it
    FileStamp keptStamp; // where kept is: the old file itself when kept is a second name of it
};

enum class JournalPhase {
    Back,    // not every journal of the operation is written yet: it is undone
    Forward, // every new file is staged and synced and every journal written: it is completed
};

inline constexpr std::size_t kOperationIdLength = 32; // lower-case hex digits

struct Journal {
    std::string operation; // the same in every journal of one operation
    JournalPhase phase = JournalPhase::Back;
    // This folder's place among the operation's folders, in the order they are completed, and
    // where each of them was when the journal was written: where to look for the others.
    std::size_t place = 0;
    std::vector<std::string> folders;
    std::vector<JournalEntry> entries;
};

// A journal that is damaged, does not parse, or names anything outside its folder. Its text names
// the journal file and says that nothing was changed.
class JournalError : public Error {
public:
    using Error::Error;
};

std::string EncodeJournal(const Journal& journal);
// Throws JournalError, naming path, for anything but a sound journal.
Journal DecodeJournal(std::string_view bytes, const std::string& path);

std::string JournalPathIn(const std::string& folder);
// The journal in folder, or nothing; JournalError for a damaged one or a folder in its place.
std::optional<Journal> ReadJournalIn(const std::string& folder);
// Writes it under a name of its own, syncs it, then gives it the journal's name, so that a
// journal is there whole or not at all.
void WriteJournal(const std::string& folder, const Journal& journal);
// Marks the journal in folder, in place: one byte, synced.
void SetJournalPhase(const std::string& folder, JournalPhase phase);
void RemoveJournal(const std::string& folder);

// Journals that earlier versions left in folder ("<file>.lw-journal-<random part>"); nothing when
// the folder cannot be listed.
std::vector<std::string> FindEarlierJournals(const std::string& folder);
// The refusal for one of them: it named its files by full paths, so it is not acted upon.
JournalError EarlierJournalError(const std::string& path);

// A name a journal may give a file: a bare name in its own folder.
bool IsBareName(std::string_view name);

} // namespace lw
