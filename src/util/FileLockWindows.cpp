// The Windows file lock: a byte lock far past the end of the file, where no read or write of
// the file's content ever reaches (Windows byte locks are mandatory for the bytes they cover).
#ifdef _WIN32
#include "util/Errors.h"
#include "util/FileLock.h"
#include "util/LockHolder.h"
#include "util/WindowsApi.h"

#include <utility>

namespace lw {
namespace {

constexpr DWORD kLockByteHigh = 0x7FFFFFFF;
constexpr DWORD kLockByteLow = 0xFFFFFF00;

std::wstring Wide(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

bool LockByte(HANDLE handle, bool exclusive) {
    OVERLAPPED at{};
    at.Offset = kLockByteLow;
    at.OffsetHigh = kLockByteHigh;
    return ::LockFileEx(handle,
                        (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                        0, &at) != 0;
}

void UnlockByte(HANDLE handle) {
    OVERLAPPED at{};
    at.Offset = kLockByteLow;
    at.OffsetHigh = kLockByteHigh;
    ::UnlockFileEx(handle, 0, 1, 0, &at);
}

} // namespace

FileLock::FileLock(const std::string& path, bool exclusive, const std::string& file) : path_(path) {
    const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw IoError(IoCodeFromWindowsError(::GetLastError()), file.empty() ? path : file);
    handle_ = handle;
    try {
        take(exclusive, file);
    } catch (...) {
        ::CloseHandle(handle);
        throw;
    }
}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, nullptr)),
      exclusive_(other.exclusive_) {}

FileLock::~FileLock() {
    if (handle_ != nullptr)
        ::CloseHandle(static_cast<HANDLE>(handle_));
}

void FileLock::makeExclusive(const std::string& file) {
    if (exclusive_)
        return;
    UnlockByte(static_cast<HANDLE>(handle_));
    try {
        take(true, file);
    } catch (...) {
        LockByte(static_cast<HANDLE>(handle_), false);
        throw;
    }
}

void FileLock::take(bool exclusive, const std::string& file) {
    if (LockByte(static_cast<HANDLE>(handle_), exclusive)) {
        exclusive_ = exclusive;
        return;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
        throw IoError(IoCodeFromWindowsError(error), path_);
    ThrowInUse(file, 0);
}

} // namespace lw
#endif
