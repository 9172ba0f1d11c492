#include "util/OperationFiles.h"

#include "util/Errors.h"
#include "util/File.h"
#include "util/Recovery.h"
#include "util/Text.h"

#include <algorithm>
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

} // namespace

OperationFiles::OperationFiles(std::vector<DeclaredFile> files, const LogSink& log) {
    for (DeclaredFile& file : files) {
        std::string real = ResolveLinks(file.path);
        roles_.name(file.path, file.role);
        roles_.name(real, file.role);
        files_.push_back({std::move(file), std::move(real)});
    }
    refuseSharedFiles();
    refuseSpecialFiles();
    for (const Resolved& file : files_)
        locks_.lockFolder(DirectoryOf(file.real), file.declared.use == FileUse::Write,
                          file.declared.path, file.declared.use == FileUse::Read);
    recover(log);
    for (const Resolved& file : files_)
        locks_.lockFile(file.real, file.declared.use == FileUse::Write, file.declared.path);
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

// A world or item file is a regular file: a folder or device in its place is named at once.
void OperationFiles::refuseSpecialFiles() const {
    for (const Resolved& file : files_)
        if (const auto status = StatusOf(file.real); status && !status->isRegular()) {
            const std::string kind = KindOfSpecialFile(*status);
            throw IoError(kIoAccessDenied, file.real,
                          "it is " + kind +
                              (kind == "a folder" ? ", not a file" : ", not a regular file"));
        }
}

void OperationFiles::recover(const LogSink& log) {
    InterruptedOperations found(locks_, log);
    for (const Resolved& file : files_) {
        const std::string folder = DirectoryOf(file.real);
        found.look(folder, file.declared.use == FileUse::Write || CanWriteIn(folder));
    }
    found.repair();
    std::vector<std::string> removed, cleaned;
    for (const Resolved& file : files_) {
        const std::string folder = DirectoryOf(file.real);
        if (file.declared.use != FileUse::Write || !FileExists(folder) ||
            std::any_of(cleaned.begin(), cleaned.end(),
                        [&](const std::string& done) { return NamesOneFile(done, folder); }))
            continue;
        cleaned.push_back(folder);
        for (std::string& path : RemoveStaleReplacementFiles(folder))
            removed.push_back(std::move(path));
    }
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

} // namespace lw
