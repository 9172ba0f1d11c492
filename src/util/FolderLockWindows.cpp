// The Windows folder lock: a byte lock on a delete-on-close file in the folder.
#ifdef _WIN32
#include "util/Errors.h"
#include "util/File.h"
#include "util/FolderLock.h"
#include "util/LockFileWindows.h"
#include "util/LockHolder.h"
#include "util/WindowsApi.h"

#include <utility>

namespace lw {

namespace {

constexpr char kLockName[] = ".loamwright.lock";

std::wstring Wide(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

} // namespace

namespace windows_lock {

void* OpenLockFile(const std::string& path, unsigned long& error) {
    const std::wstring wide = Wide(path);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const HANDLE handle = ::CreateFileW(
            wide.c_str(), GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return handle;
        error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED)
            break;
        ::Sleep(25);
    }
    return nullptr;
}

bool LockByte(void* handle, bool exclusive) {
    OVERLAPPED at{};
    return ::LockFileEx(static_cast<HANDLE>(handle),
                        (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                        0, &at) != 0;
}

void UnlockByte(void* handle) {
    OVERLAPPED at{};
    ::UnlockFileEx(static_cast<HANDLE>(handle), 0, 1, 0, &at);
}

void TakeByte(void* handle, bool exclusive, const std::string& path, const std::string& file) {
    if (LockByte(handle, exclusive))
        return;
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
        throw IoError(IoCodeFromWindowsError(error), path);
    ThrowInUse(file, 0);
}

void MakeByteExclusive(void* handle, const std::string& path, const std::string& file) {
    UnlockByte(handle);
    try {
        TakeByte(handle, true, path, file);
    } catch (...) {
        LockByte(handle, false);
        throw;
    }
}

} // namespace windows_lock

FolderLock::FolderLock(const std::string& folder, bool exclusive, const std::string& file)
    : folder_(folder) {
    // A missing folder is the file's problem: the file is what the user named.
    const std::string named = file.empty() ? folder : file;
    const DWORD attributes = ::GetFileAttributesW(Wide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw IoError(IoCodeFromWindowsError(::GetLastError()), named);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw IoError(kIoPathNotFound, named);
    unsigned long error = 0;
    handle_ = windows_lock::OpenLockFile(JoinPath(folder, kLockName), error);
    if (handle_ == nullptr) {
        // A folder that takes no file (read-only media) cannot be written by anyone either.
        if (!exclusive && error == ERROR_ACCESS_DENIED)
            return;
        throw IoError(IoCodeFromWindowsError(error), folder);
    }
    try {
        take(exclusive, file);
    } catch (...) {
        ::CloseHandle(static_cast<HANDLE>(handle_));
        throw;
    }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::move(other.folder_)), handle_(std::exchange(other.handle_, nullptr)),
      exclusive_(other.exclusive_) {}

FolderLock::~FolderLock() {
    if (handle_ != nullptr)
        ::CloseHandle(static_cast<HANDLE>(handle_)); // releases the lock, removes the file
}

void FolderLock::makeExclusive(const std::string& file) {
    if (exclusive_)
        return;
    if (handle_ == nullptr)
        throw IoError(kIoAccessDenied, folder_);
    windows_lock::MakeByteExclusive(handle_, folder_, file);
    exclusive_ = true;
}

void FolderLock::take(bool exclusive, const std::string& file) {
    windows_lock::TakeByte(handle_, exclusive, folder_, file);
    exclusive_ = exclusive;
}

void ThrowInUse(const std::string& file, long holder) {
    throw Error("Another Loamwright operation is using " + file +
                (holder ? " (process " + std::to_string(holder) + ")" : std::string()) +
                ". Wait until it has finished, then try again.");
}

} // namespace lw
#endif
