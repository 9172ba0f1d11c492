#include "util/OperationFiles.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/Text.h"

#include <cstring>

namespace lw {
namespace {

bool NamesOneFile(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    const auto sa = StatusOf(a), sb = StatusOf(b);
    return sa && sb && sa->sameFileAs(*sb);
}

std::string Listed(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : ", ") + path;
    return text;
}

bool HoldsNulByte(const std::string& path) {
    File file = File::OpenRead(path);
    std::vector<char> buffer(1 << 20);
    bool found = false;
    while (const std::size_t got = file.readSome(buffer.data(), buffer.size()))
        if (std::memchr(buffer.data(), '\0', got) != nullptr) {
            found = true;
            break;
        }
    file.close();
    return found;
}

// One lock per folder: a second flock of the same folder from this process would refuse it.
void LockFolder(std::vector<FolderLock>& locks, const std::string& folder, bool exclusive,
                const std::string& file) {
    for (FolderLock& lock : locks)
        if (NamesOneFile(lock.folder(), folder)) {
            if (exclusive)
                lock.makeExclusive(file);
            return;
        }
    locks.emplace_back(folder, exclusive, file);
}

// Undoes the journals in the folders locked so far. A journal may name files elsewhere, whose
// folders are locked before they are touched.
void RecoverJournals(std::vector<FolderLock>& locks, const LogSink& log) {
    const std::size_t searched = locks.size();
    for (std::size_t i = 0; i < searched; ++i) {
        const std::string folder = locks[i].folder();
        for (const std::string& journal : FindJournals(folder)) {
            LockFolder(locks, folder, true, journal);
            for (const JournalEntry& entry : ReadJournal(journal))
                LockFolder(locks, DirectoryOf(entry.target), true, entry.target);
            RecoverJournal(journal, log);
        }
    }
}

} // namespace

OperationFiles::OperationFiles(std::vector<DeclaredFile> files, const LogSink& log) {
    for (DeclaredFile& file : files) {
        std::string real = ResolveLinks(file.path);
        roles_.name(file.path, file.role);
        roles_.name(real, file.role);
        files_.push_back({std::move(file), std::move(real)});
    }
    refuseSharedFiles();
    for (const Resolved& file : files_)
        LockFolder(locks_, DirectoryOf(file.real), file.declared.use == FileUse::Write,
                   file.declared.path);
    recover(log);
    refuseUnwritable();
}

const OperationFiles::Resolved& OperationFiles::find(std::string_view role) const {
    for (const Resolved& file : files_)
        if (file.declared.role == role)
            return file;
    throw Error("No file was declared as the " + std::string(role) + ".");
}

const std::string& OperationFiles::path(std::string_view role) const {
    return find(role).real;
}

void OperationFiles::requireText(std::string_view role) const {
    const Resolved& file = find(role);
    std::vector<std::string> others;
    for (const Resolved& other : files_)
        if (&other != &file)
            others.push_back(other.real);
    RequireTextFile(file.declared.role, file.real, others);
}

// Two roles that only read one file harm nothing (a diff of a set against itself); a file
// written under one role must not be read or written under another.
void OperationFiles::refuseSharedFiles() const {
    for (std::size_t i = 0; i < files_.size(); ++i)
        for (std::size_t j = i + 1; j < files_.size(); ++j)
            if ((files_[i].declared.use == FileUse::Write ||
                 files_[j].declared.use == FileUse::Write) &&
                NamesOneFile(files_[i].real, files_[j].real))
                throw Error("The " + files_[i].declared.role + " and the " +
                            files_[j].declared.role + " are the same file: " + files_[j].real);
}

void OperationFiles::recover(const LogSink& log) {
    RecoverJournals(locks_, log);
    std::vector<std::string> removed;
    for (const Resolved& file : files_)
        if (file.declared.use == FileUse::Write && FileExists(DirectoryOf(file.real)))
            for (std::string& path : RemoveStaleReplacementFiles(file.real))
                removed.push_back(std::move(path));
    if (!removed.empty())
        log("Removed files left by an interrupted operation: " + Listed(removed));
}

void OperationFiles::refuseUnwritable() const {
    for (const Resolved& file : files_)
        if (file.declared.use == FileUse::Write)
            RequireWritable(file.real);
}

void RequireTextFile(const std::string& role, const std::string& path,
                     const std::vector<std::string>& worldFiles) {
    bool worldFile = false;
    for (const std::string& world : worldFiles)
        worldFile = worldFile || NamesOneFile(ResolveLinks(path), ResolveLinks(world));
    if (worldFile)
        throw Error("The " + role + " " + path + " is a world file, not a text file.");
    if (IsRegularFile(path) && HoldsNulByte(path))
        throw Error("The " + role + " " + path + " holds a NUL byte: it is not a text file.");
}

void RecoverInterruptedOperations(const std::vector<std::string>& folders, const LogSink& log) {
    std::vector<FolderLock> locks;
    for (const std::string& folder : folders)
        if (!FindJournals(ResolveLinks(folder)).empty())
            LockFolder(locks, ResolveLinks(folder), true, folder);
    RecoverJournals(locks, log);
}

} // namespace lw
