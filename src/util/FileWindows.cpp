// The Windows half of the checked file layer: UTF-8 paths become UTF-16 for the wide API, a
// handle stands for a descriptor, the volume serial number and file index for device and inode.
// Files are opened sharing read, write and delete, so that a file one part of an operation has
// open can still be replaced by another, as on POSIX.
#ifdef _WIN32
#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/FileSeams.h"
#include "util/WindowsApi.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace lw {

namespace file_seams {
[[noreturn]] void KillThisProcess() {
    ::TerminateProcess(::GetCurrentProcess(), 137);
    std::abort(); // not reached
}
} // namespace file_seams

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Narrow(const wchar_t* text, std::size_t size);

// The system's own words for an error, without the line end it comes with.
std::string SystemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD size = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = size ? Narrow(text, size) : "Windows error " + std::to_string(error);
    ::LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.'))
        words.pop_back();
    return words;
}

// The error names the file it is about where one is known, as on POSIX.
[[noreturn]] void ThrowLastError(const std::string& path = {}) {
    const DWORD error = ::GetLastError();
    if (path.empty())
        throw IoError(IoCodeFromWindowsError(error));
    throw IoError(IoCodeFromWindowsError(error), path, SystemText(error));
}

HANDLE AsHandle(File::NativeHandle handle) {
    return static_cast<HANDLE>(handle);
}

std::wstring Wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        ThrowLastError();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                          wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* text, std::size_t size) {
    if (size == 0)
        return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), nullptr, 0,
                                             nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), narrow.data(), length, nullptr,
                          nullptr);
    return narrow;
}

bool IsFolderPath(const std::string& path);

HANDLE OpenChecked(const std::string& path, DWORD access, DWORD disposition) {
    const HANDLE handle = ::CreateFileW(Wide(path).c_str(), access, kShareAll, nullptr, disposition,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // A folder is refused with 5, as on POSIX, and says so.
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && IsFolderPath(path))
            throw IoError(kIoAccessDenied, path, "it is a folder, not a file");
        ::SetLastError(error);
        ThrowLastError(path);
    }
    file_seams::CountOpened();
    return handle;
}

// A handle that reads only what the system knows about a file (or folder), links followed.
class InfoHandle {
public:
    explicit InfoHandle(const std::string& path)
        : handle_(::CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
    ~InfoHandle() {
        if (valid())
            ::CloseHandle(handle_);
    }
    InfoHandle(const InfoHandle&) = delete;
    InfoHandle& operator=(const InfoHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::optional<BY_HANDLE_FILE_INFORMATION> InfoOf(const std::string& path) {
    try {
        const InfoHandle handle(path);
        BY_HANDLE_FILE_INFORMATION info{};
        if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info))
            return std::nullopt;
        return info;
    } catch (const IoError&) {
        return std::nullopt; // a path that is no UTF-8 names no file
    }
}

std::uint64_t Combined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool IsFolderInfo(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFolderPath(const std::string& path) {
    const auto info = InfoOf(path);
    return info && IsFolderInfo(*info);
}

FileStatus StatusFromInfo(const BY_HANDLE_FILE_INFORMATION& info) {
    FileStatus status;
    status.device = info.dwVolumeSerialNumber;
    status.inode = Combined(info.nFileIndexHigh, info.nFileIndexLow);
    if (IsFolderInfo(info))
        status.mode = 0040777;
    else
        status.mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0100444 : 0100666;
    status.links = info.nNumberOfLinks;
    status.size = Combined(info.nFileSizeHigh, info.nFileSizeLow);
    return status;
}

} // namespace

File::File(NativeHandle handle, std::string path) : handle_(handle), path_(std::move(path)) {}

File File::OpenRead(const std::string& path) {
    return File(OpenChecked(path, GENERIC_READ, OPEN_EXISTING), path);
}

File File::OpenReadWrite(const std::string& path) {
    return File(OpenChecked(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING), path);
}

File File::Create(const std::string& path) {
    return File(OpenChecked(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS), path);
}

File File::CreateNew(const std::string& path) {
    return File(OpenChecked(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW), path);
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), path_(std::move(other.path_)),
      written_(std::move(other.written_)), writtenSize_(other.writtenSize_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ != kNoHandle) {
            ::CloseHandle(AsHandle(handle_));
            file_seams::CountClosed();
        }
        handle_ = std::exchange(other.handle_, kNoHandle);
        path_ = std::move(other.path_);
        written_ = std::move(other.written_);
        writtenSize_ = other.writtenSize_;
    }
    return *this;
}

File::~File() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(AsHandle(handle_));
        file_seams::CountClosed();
    }
}

void File::seek(std::uint64_t position) {
    noteMovedTo(position);
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!::SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN))
        ThrowLastError();
}

std::uint64_t File::position() const {
    LARGE_INTEGER zero{}, at{};
    if (!::SetFilePointerEx(AsHandle(handle_), zero, &at, FILE_CURRENT))
        ThrowLastError();
    return static_cast<std::uint64_t>(at.QuadPart);
}

FileStatus File::status() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(AsHandle(handle_), &info))
        ThrowLastError(path_);
    return StatusFromInfo(info);
}

std::uint64_t File::size() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(AsHandle(handle_), &size))
        ThrowLastError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t File::readSome(void* buffer, std::size_t n) {
    noteMovedTo(~std::uint64_t{0}); // a read moves on from where the writes were
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(AsHandle(handle_), out + done, ask, &got, nullptr))
            ThrowLastError();
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void File::write(const void* buffer, std::size_t n) {
    if (file_seams::WriteFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull));
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(AsHandle(handle_), in + done, ask, &put, nullptr))
            ThrowLastError();
        done += put;
    }
    noteWritten(buffer, n);
}

void File::truncate(std::uint64_t size) {
    noteMovedTo(size);
    // The end of a file is set at the file pointer; the pointer itself stays where it was.
    const std::uint64_t at = position();
    seek(size);
    if (!::SetEndOfFile(AsHandle(handle_)))
        ThrowLastError();
    seek(at);
}

void File::sync() {
    if (file_seams::SyncFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull));
    if (!::FlushFileBuffers(AsHandle(handle_)))
        ThrowLastError();
}

void File::takeModeAndOwner(FileMode mode, OwnerId, OwnerId) {
    // Windows keeps of the mode only whether a file may be written; owners stay as they are.
    if ((mode & 0222) != 0)
        return;
    const std::wstring wide = Wide(path_);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !::SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY))
        ThrowLastError();
}

void File::startWriteback() noexcept {}

void File::close() {
    if (handle_ == kNoHandle)
        return;
    const HANDLE handle = AsHandle(std::exchange(handle_, kNoHandle));
    file_seams::CountClosed();
    if (!::CloseHandle(handle))
        ThrowLastError();
}

std::optional<FileStatus> StatusOf(const std::string& path) {
    const auto info = InfoOf(path);
    if (!info)
        return std::nullopt;
    return StatusFromInfo(*info);
}

std::string ResolveLinks(const std::string& path) {
    // An existing file: the system's final name for it, without the "\\?\" prefix.
    try {
        const InfoHandle handle(path);
        if (handle.valid()) {
            wchar_t buffer[32768];
            const DWORD length = ::GetFinalPathNameByHandleW(
                handle.get(), buffer, static_cast<DWORD>(std::size(buffer)),
                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length > 0 && length < std::size(buffer)) {
                std::wstring name(buffer, length);
                if (name.rfind(L"\\\\?\\UNC\\", 0) == 0)
                    name = L"\\\\" + name.substr(8);
                else if (name.rfind(L"\\\\?\\", 0) == 0)
                    name = name.substr(4);
                return Narrow(name.data(), name.size());
            }
        }
    } catch (const IoError&) {
        return path;
    }
    // Not there yet: the file of that name in its resolved folder.
    const std::string folder = DirectoryOf(path);
    if (folder != path && FileExists(folder))
        return JoinPath(ResolveLinks(folder), NameOf(path));
    wchar_t full[32768];
    const std::wstring wide = Wide(path);
    const DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    return length > 0 && length < std::size(full) ? Narrow(full, length) : path;
}

bool FileExists(const std::string& path) {
    return InfoOf(path).has_value();
}

bool IsRegularFile(const std::string& path) {
    const auto status = StatusOf(path);
    return status && status->isRegular();
}

bool SameFile(const std::string& a, const std::string& b) {
    const auto sa = StatusOf(a), sb = StatusOf(b);
    return sa && sb && sa->sameFileAs(*sb);
}

std::uint64_t FileSizeOf(const std::string& path) {
    const InfoHandle handle(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &info))
        ThrowLastError();
    return Combined(info.nFileSizeHigh, info.nFileSizeLow);
}

void RenameFile(const std::string& from, const std::string& to) {
    if (file_seams::RenameStepKilled())
        file_seams::KillThisProcess();
    if (!::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError();
}

bool TryLinkFile(const std::string& existing, const std::string& newName) {
    if (file_seams::LinksRefused())
        return false;
    if (::CreateHardLinkW(Wide(newName).c_str(), Wide(existing).c_str(), nullptr))
        return true;
    // FAT and some network shares have no hard links; a file may have only so many.
    const DWORD error = ::GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
        error == ERROR_TOO_MANY_LINKS || error == ERROR_NOT_SAME_DEVICE)
        return false;
    throw IoError(IoCodeFromWindowsError(error), existing,
                  "cannot give it a second name (a hard link) beside it: " + SystemText(error));
}

bool RenameOverExpected(const std::string& from, const std::string& to,
                        const std::optional<FileStamp>& expected) {
    if (file_seams::RenameStepKilled())
        file_seams::KillThisProcess();
    // Windows swaps no names: the check comes just before the rename.
    if (StampOf(to) != expected)
        return false;
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (expected ? MOVEFILE_REPLACE_EXISTING : 0);
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), flags))
        return true;
    const DWORD error = ::GetLastError();
    if (!expected && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
        return false;
    ::SetLastError(error);
    ThrowLastError(from);
}

void RemoveFileQuietly(const std::string& path) noexcept {
    try {
        ::DeleteFileW(Wide(path).c_str());
    } catch (...) {
    }
}

void RemoveFile(const std::string& path) {
    if (::DeleteFileW(Wide(path).c_str()))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        throw IoError(IoCodeFromWindowsError(error), path, SystemText(error));
}

void MakeFolder(const std::string& path) {
    if (::CreateDirectoryW(Wide(path).c_str(), nullptr))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS)
        throw IoError(IoCodeFromWindowsError(error), path, SystemText(error));
}

void RemoveEmptyFolder(const std::string& path) {
    if (::RemoveDirectoryW(Wide(path).c_str()))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        throw IoError(IoCodeFromWindowsError(error), path, SystemText(error));
}

void RequireWritable(const std::string& path) {
    const auto status = StatusOf(path);
    if (status && !status->isRegular())
        throw IoError(kIoAccessDenied, path,
                      "it is " + KindOfSpecialFile(*status) + ", not a file");
    // Whether the folder takes new files shows only by making one: it goes when closed, even if
    // this process is killed first.
    const std::string probe = JoinPath(DirectoryOf(path), ".loamwright-probe-" + UniqueNamePart());
    const HANDLE made = ::CreateFileW(
        Wide(probe).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        throw IoError(IoCodeFromWindowsError(::GetLastError()), path);
    ::CloseHandle(made);
    if (!status)
        return;
    const HANDLE opened = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        throw IoError(IoCodeFromWindowsError(::GetLastError()), path);
    ::CloseHandle(opened);
}

bool CanWriteIn(const std::string& folder) {
    // Whether a folder takes new files shows only by making one, which goes when closed.
    const std::string probe = JoinPath(folder, ".loamwright-probe-" + UniqueNamePart());
    const HANDLE made = ::CreateFileW(
        Wide(probe).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(made);
    return true;
}

void SyncFolder(const std::string& folder) {
    // Renames are made with MOVEFILE_WRITE_THROUGH, and a folder cannot be flushed without
    // administrator rights: there is nothing left to do but see that the folder is there.
    if (file_seams::SyncFails())
        throw IoError(file_seams::InjectedCode(kIoDiskFull), folder);
    if (::GetFileAttributesW(Wide(folder).c_str()) == INVALID_FILE_ATTRIBUTES)
        ThrowLastError();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(Wide(JoinPath(folder, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return {}; // the root of an empty drive
        throw IoError(IoCodeFromWindowsError(error));
    }
    std::vector<std::string> names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Narrow(name.data(), name.size()));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    const auto info = InfoOf(path);
    if (!info || IsFolderInfo(*info))
        return std::nullopt;
    const std::uint64_t ticks =
        Combined(info->ftLastWriteTime.dwHighDateTime, info->ftLastWriteTime.dwLowDateTime);
    return FileStamp{Combined(info->nFileSizeHigh, info->nFileSizeLow),
                     static_cast<std::int64_t>(ticks) * 100, info->dwVolumeSerialNumber,
                     Combined(info->nFileIndexHigh, info->nFileIndexLow)};
}

} // namespace lw
#endif
