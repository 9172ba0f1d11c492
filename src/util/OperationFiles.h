// The files of one operation, checked and held before its first write: an operation declares
// each file with its role as the user knows it ("statics index", "item file", "target map", ...)
// and whether it only reads it; this object then does what every operation needs, in one place.
#pragma once

#include "util/Errors.h"
#include "util/LockSet.h"
#include "util/LogSink.h"
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
    // there yet), and a folder or device where a file belongs; locks the folder of every file
    // (FolderLock; a reader may do without it where it may not open the folder); repairs what
    // an interrupted operation left in those folders (Recovery.h; a reader refuses where it may
    // not repair) and removes the leftovers of killed runs, saying so through log; locks every
    // file itself (FileLock); refuses a file to be written that the process may not write,
    // before anything is written ("Dateizugriff verweigert", about that file). The locks are
    // held for the whole life of this object.
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
    void refuseSpecialFiles() const;
    void recover(const LogSink& log);
    void refuseUnwritable() const;

    FileRoleScope roles_; // first in, last out: errors name the roles until the very end
    std::vector<Resolved> files_;
    LockSet locks_;
};

// Refuses an item or patch file that is not text: the same file as one of worldFiles, or a file
// holding a NUL byte. A file not there yet passes. (A world file by name is the item layer's
// refusal: the names are the world layer's.)
void RequireTextFile(const std::string& role, const std::string& path,
                     const std::vector<std::string>& worldFiles);

// For the desktop program at start-up: repairs what a killed run left in these folders, under
// their locks, as an operation does first (Recovery.h). Returns how many operations it repaired.
int RecoverInterruptedOperations(const std::vector<std::string>& folders, const LogSink& log);

} // namespace lw
