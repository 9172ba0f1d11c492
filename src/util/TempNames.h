// The names this program gives the files it makes beside the user's: the user's file name, a
// marker and a random part of fixed length, and nothing after it, so that clean-up tells them
// from the user's own files exactly ("statics.cfg.lw-old-backup" is the user's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

// New content, written and synced beside the file before it is put in place.
inline constexpr const char* kStagedMarker = ".lw-new-";
// The old content kept while several files change together.
inline constexpr const char* kKeptMarker = ".lw-old-";
// A copy recovery kept for the user, because the file it belonged to had been changed after the
// operation was interrupted: not temporary, never cleaned up.
inline constexpr const char* kSavedNewMarker = ".lw-saved-new-";
inline constexpr const char* kSavedOldMarker = ".lw-saved-old-";
// The journal of an operation that changes several files, one in each folder it writes.
inline constexpr const char* kJournalName = ".loamwright-journal";
// What journals of earlier versions were named: "<file>.lw-journal-<random part>".
inline constexpr const char* kJournalMarker = ".lw-journal-";

// Where the restore points of a folder lie, one folder each named by its number; one being made
// or let go has the staged or kept marker after its number.
inline constexpr const char* kProgramFolder = ".loamwright";
inline constexpr const char* kRestoreFolder = "restore";

inline constexpr std::size_t kRandomPartLength = 12;

// Lower-case hex digits from the system's random source.
std::string RandomHex(std::size_t digits);

// True when text is exactly digits lower-case hex digits.
bool IsLowerHex(std::string_view text, std::size_t digits);
// True when name is exactly base + marker + a random part (kRandomPartLength lower-case hex
// digits), with nothing after it.
bool IsMarkedName(std::string_view name, std::string_view base, std::string_view marker);
// A staged or kept name of base.
bool IsTemporaryNameOf(std::string_view name, std::string_view base);
// True for a restore point's number as its folder is named: digits, no leading zero.
bool IsPointNumber(std::string_view name, std::uint64_t& number);
// The file name a marked name belongs to ("statics.cfg" for "statics.cfg.lw-new-0123456789ab"),
// or nothing when name is not marked.
std::string_view BaseOfMarkedName(std::string_view name, std::string_view marker);

} // namespace lw
