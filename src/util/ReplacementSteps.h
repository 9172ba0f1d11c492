// The steps that put one target's new content in place, or its old content back: shared by a
// commit (ReplacementJournal) and by the recovery of one that was interrupted (Recovery).
#pragma once

#include "util/JournalFile.h"

#include <optional>
#include <string>

namespace lw {

// The file's content as it is now: size, digest (the file is read whole) and stamp.
FileVersion VersionOf(const std::string& path);

// True when the file at path holds version: by its stamp, or else by its content. A file that
// still has one of the stamps given (the places the content was recorded at) is not read.
bool Holds(const std::string& path, const FileVersion& version,
           std::initializer_list<FileStamp> stamps = {});

// True when the files hold the same bytes.
bool SameContent(const std::string& a, const std::string& b);
// True when the entry's kept file still holds the target's old content: by its identity, by its
// digest, or, for a second name of the old file seen in a copy of the folder, by its size and
// time.
bool KeptIsSound(const std::string& folder, const JournalEntry& entry);
// True when the entry's target holds its old content (for a target the operation made: is not
// there): by identity or digest, else by being the same bytes as a sound kept file.
bool HoldsOld(const std::string& folder, const JournalEntry& entry);

// The old content of the target gets its kept name beside it: a second name of the file, or a
// synced copy where the target is overwritten in place or the file system has no hard links.
// Fills entry.kept, entry.old and entry.keptStamp; a target not there yet keeps nothing. This is
// the one place the old content is kept, so a later version can keep it elsewhere, longer.
void KeepOldCopy(const std::string& folder, JournalEntry& entry);
// The kept old content goes, once nothing can need it any more.
void DisposeOfOldCopy(const std::string& folder, const JournalEntry& entry) noexcept;

// Puts the content of the file named source in the target's place, when the target is still the
// file expected (nothing: no file there). False, with both as they were, when someone else
// changed the target meanwhile. A target with hard links is overwritten in place.
bool PutInPlace(const std::string& folder, const JournalEntry& entry, const std::string& source,
                const std::optional<FileStamp>& expected);

// Removes the target when it is still the file expected (nothing: there is none, and nothing
// is to be done). False, with the file as it was, when someone else changed it meanwhile.
bool RemoveExpected(const std::string& target, const std::optional<FileStamp>& expected);

} // namespace lw
