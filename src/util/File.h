// The checked file layer: every file access of the core goes through here, and every failure
// becomes an IoError with the runtime's code and text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lw {

class ContentDigest;

// Permission bits and file type as POSIX spells them (07777 and S_IFMT); on Windows a file is
// 0666, or 0444 when it has the read-only attribute, and owners are 0.
using FileMode = std::uint32_t;
using OwnerId = std::uint32_t;
struct FileStatus;

// What tells one version of a file from another without reading it.
struct FileStamp {
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const FileStamp&) const = default;
};

class File {
public:
    // An existing file, for an operation that only reads it (originals may be read-only).
    static File OpenRead(const std::string& path);
    // An existing file, for an operation that writes it; it is neither created nor truncated.
    static File OpenReadWrite(const std::string& path);
    // Creates the file, or truncates an existing one.
    static File Create(const std::string& path);
    // Creates a file that must not exist yet.
    static File CreateNew(const std::string& path);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes without checking; call close() to see a failure

    void seek(std::uint64_t position);
    std::uint64_t position() const;
    std::uint64_t size() const;
    // Reads exactly n bytes; a file that ends first is error 100.
    void readExact(void* buffer, std::size_t n);
    // Reads up to n bytes; fewer only at the end of the file.
    std::size_t readSome(void* buffer, std::size_t n);
    void write(const void* buffer, std::size_t n);
    void truncate(std::uint64_t size);
    void sync();
    // Gives the file the permission bits of another and, where the process may, its owner and
    // group (a replaced file must stay usable by the server that owns it).
    void takeModeAndOwner(FileMode mode, OwnerId owner, OwnerId group);
    // A hint that what is written so far will be synced: the system may start writing it to
    // disk now, so that a later sync() of a large file waits less. Never fails.
    void startWriteback() noexcept;
    void close();

    // What the system says about the open file itself (its identity, size and mode).
    FileStatus status() const;

    // From now on, digests what is written while every byte goes in order after the last (a new
    // file written from its start): the digest comes for free then, where reading the file back
    // would cost as much again. A seek elsewhere, a read or a truncation ends it.
    void digestWrites();
    // That digest, when it covers exactly the size bytes from the start; else nothing.
    std::optional<std::uint64_t> writtenDigest(std::uint64_t size) const;

    bool isOpen() const { return handle_ != kNoHandle; }
    const std::string& path() const { return path_; }

    // A file descriptor, or a Windows HANDLE.
#ifdef _WIN32
    using NativeHandle = void*;
    static constexpr NativeHandle kNoHandle = nullptr;
#else
    using NativeHandle = int;
    static constexpr NativeHandle kNoHandle = -1;
#endif

private:
    File(NativeHandle handle, std::string path);
    void noteWritten(const void* data, std::size_t n);
    void noteMovedTo(std::uint64_t position);
    NativeHandle handle_ = kNoHandle;
    std::string path_;
    std::unique_ptr<ContentDigest> written_;
    std::uint64_t writtenSize_ = 0;
};

// What the file system says about a file, following symbolic links. On Windows the device is the
// volume's serial number and the inode the file index.
struct FileStatus {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    FileMode mode = 0; // type and permission bits
    OwnerId owner = 0;
    OwnerId group = 0;
    std::uint64_t links = 0;
    std::uint64_t size = 0;

    bool isRegular() const;
    bool isFolder() const;
    bool sameFileAs(const FileStatus& other) const {
        return device == other.device && inode == other.inode;
    }
};
// Nothing when the path names no file (or a link that leads nowhere).
std::optional<FileStatus> StatusOf(const std::string& path);
// What the file is, for a message: "a folder", "a device", "a pipe or socket"; empty for a regular
// file.
std::string KindOfSpecialFile(const FileStatus& status);

// The real file a path names: absolute, every symbolic link followed, "." and ".." gone. A path
// that does not exist yet (an output, or a link that points to one) resolves through its folder.
std::string ResolveLinks(const std::string& path);

bool FileExists(const std::string& path);
// True only for a regular file (a folder of that name is not one).
bool IsRegularFile(const std::string& path);
// True when both paths name one existing file (the same path, a link, another spelling).
bool SameFile(const std::string& a, const std::string& b);
// The same path, or the same existing file through another path.
inline bool IsSameFile(const std::string& a, const std::string& b) {
    return a == b || SameFile(a, b);
}
std::uint64_t FileSizeOf(const std::string& path);
void RenameFile(const std::string& from, const std::string& to);
// Gives an existing file a second name (a hard link) in the same folder. False when the file
// system refuses hard links (a FAT disk, some network shares, too many links already); any other
// failure throws.
bool TryLinkFile(const std::string& existing, const std::string& newName);
// Removes a file if it is there; never throws (used on failure paths).
void RemoveFileQuietly(const std::string& path) noexcept;
// Removes a file; one that is already gone is no error.
void RemoveFile(const std::string& path);
// Makes a folder; one that is there already is no error.
void MakeFolder(const std::string& path);
// Removes an empty folder; one that is already gone is no error.
void RemoveEmptyFolder(const std::string& path);
// Creates "<prefix><random part>" exclusively and returns it with its name: unique per run, so
// a file left by a killed run never stands in the way.
File CreateUnique(const std::string& prefix, std::string& createdPath);
// A random part for a unique name.
std::string UniqueNamePart();
// Refuses (IoError with the path) a file this process may not write, or a folder that takes no
// new file when path does not exist yet. An existing file is opened for writing and closed
// again, never truncated: that sees every reason at once.
void RequireWritable(const std::string& path);
// True when this process may make, rename and remove files in the folder.
bool CanWriteIn(const std::string& folder);
// Makes renames, creations and removals in a folder durable.
void SyncFolder(const std::string& folder);
// The names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// Writes the content of source over target in place, keeping target's inode (and with it every
// hard link to it), cuts target to the new size and syncs it. Counts as a rename for the test
// seam below. With an identity given, target must still be that file (device and inode); false,
// with nothing written, when it is not.
bool OverwriteInPlace(const std::string& source, const std::string& target,
                      const std::optional<FileStamp>& identity = std::nullopt);
// The separator of paths built inside a folder: '\\' on Windows, '/' elsewhere. NameOf and
// DirectoryOf accept both on Windows.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
// The last component of a path.
std::string NameOf(const std::string& path);
// The folder part of a path ("." when it has none).
std::string DirectoryOf(const std::string& path);
// A path inside a folder, joined with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The stamp of a regular file; nothing for a missing file or anything else.
std::optional<FileStamp> StampOf(const std::string& path);
inline bool SameIdentity(const FileStamp& a, const FileStamp& b) {
    return a.Device == b.Device && a.Inode == b.Inode;
}

// Renames from over to, when to is still the file expected (its stamp), or, with nothing expected,
// when there is no file to. False, with both files as they were, when it is not: someone else
// saved there. Where the system swaps two names at once, the check is made on the very file the
// swap took away, which then comes back if it is not the one expected, so that a file saved at
// the last moment is not lost. Counts as a rename for the test seam.
bool RenameOverExpected(const std::string& from, const std::string& to,
                        const std::optional<FileStamp>& expected);

// Test seam: make the Nth write, rename or sync from now fail (1 = the next one), and count
// the open handles so tests can see that none leak. A sync is a file's or a folder's.
// KillAtNthRename ends the process with SIGKILL in place of the Nth rename (an in-place overwrite
// is killed half-way through), for tests that run an operation in a child process and then check
// what the next run repairs.
namespace FileFaults {
// The steps of putting several files in place together, for kills at a named moment.
enum class Step {
    KeepOldCopy,      // before a target's old content gets its kept name
    WriteJournal,     // before a folder's journal is written
    CommitJournal,    // before a folder's journal is marked to be completed
    Replace,          // before a target gets its new content
    SyncTargets,      // before the folders of the targets are synced, all of them replaced
    RemoveJournal,    // before a folder's journal is removed
    DisposeOfOldCopy, // before a target's kept old content goes
};
void FailNthWrite(int n);
void FailNthRename(int n);
void FailNthSync(int n);
void KillAtNthRename(int n);
// Ends the process with SIGKILL just before the nth time the step comes.
void KillAtStep(Step step, int n = 1);
// Runs action just before the nth rename (a rename, an in-place overwrite), for a test that lets
// another program save a file at that moment.
void BeforeNthRename(int n, std::function<void()> action);
// Hard links fail as on a file system without them (EPERM), until Reset.
void RefuseLinks();
// The Nth rename and every one after it fail, as on a disk that went bad part-way.
void FailRenamesFrom(int n);
// The system error (an errno value: ENOSPC, EIO, ...) that an armed write, sync or rename
// fails with, until Reset; without it a write or sync fails as a full disk, a rename as
// access denied.
void FailWithErrno(int err);
void Reset();
int OpenHandles();
// The writes, syncs and renames (in-place overwrites among them) since the last Reset: the
// places an armed failure can fall.
struct Seen {
    int writes = 0;
    int syncs = 0;
    int renames = 0;
};
Seen Counted();
} // namespace FileFaults

} // namespace lw
