// The checked file layer: every file access of the core goes through here, and every failure
// becomes an IoError with the runtime's code and text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lw {

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
    // A hint that what is written so far will be synced: the system may start writing it to
    // disk now, so that a later sync() of a large file waits less. Never fails.
    void startWriteback() noexcept;
    void close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    File(int fd, std::string path);
    int fd_ = -1;
    std::string path_;
};

bool FileExists(const std::string& path);
// True only for a regular file (a folder of that name is not one).
bool IsRegularFile(const std::string& path);
// True when both paths name one existing file (the same path, a link, another spelling).
bool SameFile(const std::string& a, const std::string& b);
std::uint64_t FileSizeOf(const std::string& path);
void RenameFile(const std::string& from, const std::string& to);
// Gives an existing file a second name (a hard link) in the same folder.
void LinkFile(const std::string& existing, const std::string& newName);
// Removes a file if it is there; never throws (used on failure paths).
void RemoveFileQuietly(const std::string& path) noexcept;
// The folder part of a path ("." when it has none).
std::string DirectoryOf(const std::string& path);
// A path inside a folder, joined with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// Test seam: make the Nth write, rename or sync from now fail (1 = the next one), and count
// the open handles so tests can see that none leak.
namespace FileFaults {
void FailNthWrite(int n);
void FailNthRename(int n);
void FailNthSync(int n);
void Reset();
int OpenHandles();
} // namespace FileFaults

} // namespace lw
