// The Windows file lock. A handle kept open on the file itself would stop the very rename that
// replaces it, so the lock is a byte of a lock file named for the file's identity (volume serial
// number and file index) in one folder of the machine: every path to the file, a hard link in
// another folder included, comes to the same lock file.
#ifdef _WIN32
#include "util/Errors.h"
#include "util/File.h"
#include "util/FileLock.h"
#include "util/LockFileWindows.h"
#include "util/LockHolder.h"
#include "util/WindowsApi.h"

#include <cstdio>
#include <utility>

namespace lw {
namespace {

std::wstring Wide(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

// Shared by every user of the machine where it can be (ProgramData), else this user's own.
std::string LockFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH);
    std::string base;
    if (length > 0 && length < MAX_PATH)
        base = Narrow(std::wstring(buffer, length));
    else if (const DWORD temp = ::GetTempPathW(MAX_PATH, buffer); temp > 0 && temp < MAX_PATH)
        base = Narrow(std::wstring(buffer, temp));
    const std::string folder = JoinPath(JoinPath(base, "Loamwright"), "locks");
    ::CreateDirectoryW(Wide(JoinPath(base, "Loamwright")).c_str(), nullptr);
    ::CreateDirectoryW(Wide(folder).c_str(), nullptr);
    return folder;
}

std::string LockFileFor(const FileStatus& identity) {
    char name[64];
    std::snprintf(name, sizeof name, "%08llx-%016llx.lock",
                  static_cast<unsigned long long>(identity.device),
                  static_cast<unsigned long long>(identity.inode));
    return JoinPath(LockFolder(), name);
}

} // namespace

FileLock::FileLock(const std::string& path, bool exclusive, const std::string& file) : path_(path) {
    const auto identity = StatusOf(path);
    if (!identity)
        throw IoError(kIoFileNotFound, file.empty() ? path : file);
    unsigned long error = 0;
    handle_ = windows_lock::OpenLockFile(LockFileFor(*identity), error);
    if (handle_ == nullptr)
        throw IoError(IoCodeFromWindowsError(error), file.empty() ? path : file);
    try {
        take(exclusive, file);
    } catch (...) {
        ::CloseHandle(static_cast<HANDLE>(handle_));
        throw;
    }
}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, nullptr)),
      exclusive_(other.exclusive_) {}

FileLock::~FileLock() {
    if (handle_ != nullptr)
        ::CloseHandle(static_cast<HANDLE>(handle_)); // releases the lock, removes the file
}

void FileLock::makeExclusive(const std::string& file) {
    if (exclusive_)
        return;
    windows_lock::MakeByteExclusive(handle_, path_, file);
    exclusive_ = true;
}

void FileLock::take(bool exclusive, const std::string& file) {
    windows_lock::TakeByte(handle_, exclusive, path_, file);
    exclusive_ = exclusive;
}

} // namespace lw
#endif
