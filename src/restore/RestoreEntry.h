// What a restore point records of the operation that kept it: its number, time, operation and
// command line, the folders it wrote, and each file with its role, its size before, and what the
// operation left there, so that a restore sees whether the file changed since. The entry lies in
// the user's folder and travels with it: it is read as untrusted input.
#pragma once

#include "util/Errors.h"
#include "util/JournalFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

enum class KeptKind {
    Replaced, // the old file is kept in the restore point under the target's name
    Created,  // the operation made the file: restoring removes it
    Appended, // the operation appended to it in place: restoring cuts it back to oldSize
};

struct RestoreFile {
    std::string role; // "statics index", "item file", ...
    std::string name; // the file's name in the folder and in the restore point
    KeptKind kind = KeptKind::Replaced;
    std::uint64_t oldSize = 0;
    FileVersion written;    // what the operation left; not present: it removed the file
    std::uint64_t tail = 0; // Appended: the digest of the bytes appended
};

struct RestoreEntry {
    std::uint64_t number = 0;
    std::string time;                 // UTC, "YYYY-MM-DD HH:MM:SS"
    std::string operation;            // "melt", "restore", ...
    std::string commandLine;          // or the window the operation ran from
    std::string identity;             // the same in each folder of one operation
    std::vector<std::string> folders; // every folder the operation wrote, as it was then
    std::vector<RestoreFile> files;   // this folder's, in the order they were replaced
};

// A restore point entry that is damaged or does not parse; its text names the file.
class RestoreEntryError : public Error {
public:
    using Error::Error;
};

std::string EncodeRestoreEntry(const RestoreEntry& entry);
RestoreEntry DecodeRestoreEntry(std::string_view bytes, const std::string& path);

} // namespace lw
