// The files of one operation, checked and held before its first write: an operation declares
// each file with its role as the user knows it ("statics index", "item file", "target map", ...)
// and whether it only reads it; this object then does what every operation needs, in one place.
#pragma once

#include "util/FolderLock.h"
#include "util/ReplacementJournal.h"

#include <string>
#include <string_view>
#include <vector>

namespace lw {

enum class FileUse {
    Read,  // read only; may lie on read-only media
    Write, // replaced, changed in place or created
};

struct DeclaredFile {
    std::string role; // as the user sees it: "statics index", "item file", ...
    std::string path; // as the user gave it
    FileUse use = FileUse::Read;
};

class OperationFiles {
public:
    // In this order: follows every symbolic link to the real file; refuses two roles naming one
    // file when either writes it (same device and inode, or the same real path for a file not
    // there yet); locks the folder of every file (FolderLock), for the whole life of this
    // object; undoes what a killed run left in those folders (RecoverJournal) and removes its
    // leftover files, saying so through log; refuses a file to be written that the process may
    // not write, before anything is written ("Dateizugriff verweigert", about that file).
    OperationFiles(std::vector<DeclaredFile> files, const LogSink& log);
    OperationFiles(const OperationFiles&) = delete;
    OperationFiles& operator=(const OperationFiles&) = delete;

    // The real file of a role, links followed: the one to stage beside and replace.
    const std::string& path(std::string_view role) const;
    // RequireTextFile for the file of a role, against the other declared files (one of them,
    // by identity, is a refusal too: they are world files or other roles' files).
    void requireText(std::string_view role) const;

private:
    struct Resolved {
        DeclaredFile declared;
        std::string real;
    };
    const Resolved& find(std::string_view role) const;
    void refuseSharedFiles() const;
    void recover(const LogSink& log);
    void refuseUnwritable() const;

    FileRoleScope roles_; // first in, last out: errors name the roles until the very end
    std::vector<Resolved> files_;
    std::vector<FolderLock> locks_;
};

// Refuses an item or patch file that is not text: the same file as one of worldFiles, or a file
// holding a NUL byte. A file not there yet passes. (A world file by name is the item layer's
// refusal: the names are the world layer's.)
void RequireTextFile(const std::string& role, const std::string& path,
                     const std::vector<std::string>& worldFiles);

// For the desktop program at start-up: undoes what a killed run left in these folders, under
// their locks, as an operation does first.
void RecoverInterruptedOperations(const std::vector<std::string>& folders, const LogSink& log);

} // namespace lw
