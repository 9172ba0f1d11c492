#include "util/Errors.h"

#include <cerrno>
#include <vector>

namespace lw {

IoError::IoError(int code) : Error(textFor(code)), code_(code) {}

namespace {

struct NamedFile {
    std::string path, role;
};
thread_local std::vector<NamedFile> gNamedFiles;

std::string DefaultReason(int code) {
    switch (code) {
    case kIoFileNotFound:
        return "No such file or directory";
    case kIoAccessDenied:
        return "Permission denied";
    case kIoReadPastEnd:
        return "The file ends before the data it should hold";
    case kIoDiskFull:
        return "No space left on device";
    default:
        return "Input/output error";
    }
}

} // namespace

IoError::IoError(int code, std::string path, std::string reason)
    : Error(textFor(code)), code_(code), path_(std::move(path)), role_(RoleOfFile(path_)),
      reason_(reason.empty() ? DefaultReason(code) : std::move(reason)) {}

FileRoleScope::~FileRoleScope() {
    gNamedFiles.resize(gNamedFiles.size() - named_);
}

void FileRoleScope::name(const std::string& path, const std::string& role) {
    gNamedFiles.push_back({path, role});
    ++named_;
}

std::string RoleOfFile(const std::string& path) {
    // The new content of a file is written beside it under a name of its own; it plays the same
    // role.
    std::string target = path;
    for (const char* marker : {".lw-new-", ".lw-old-"})
        if (const auto at = target.rfind(marker); at != std::string::npos)
            target.erase(at);
    for (auto it = gNamedFiles.rbegin(); it != gNamedFiles.rend(); ++it)
        if (it->path == path || it->path == target)
            return it->role;
    return {};
}

std::string IoError::textFor(int code) {
    switch (code) {
    case kIoFileNotFound:
        return "Datei nicht gefunden";
    case kIoAccessDenied:
        return "Dateizugriff verweigert";
    case kIoReadPastEnd:
        return "Versuch hinter dem Dateiende zu lesen";
    default:
        return "E/A-Fehler " + std::to_string(code);
    }
}

ConvertError ConvertError::notAnInteger(const std::string& text) {
    return ConvertError("'" + text + "' ist kein gültiger Integerwert");
}

RangeError::RangeError() : Error("Fehler bei Bereichsprüfung") {}

OverflowError::OverflowError() : Error("Integerüberlauf") {}

int IoCodeFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return kIoFileNotFound;
    case ENOTDIR:
        return kIoPathNotFound;
    case EMFILE:
    case ENFILE:
        return kIoTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return kIoAccessDenied;
    case EBADF:
        return kIoInvalidHandle;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return kIoDiskFull;
    default:
        return kIoSystemErrorBase + err;
    }
}

int IoCodeFromWindowsError(unsigned long err) {
    constexpr unsigned long kHandleDiskFull = 39; // ERROR_HANDLE_DISK_FULL
    constexpr unsigned long kDiskFull = 112;      // ERROR_DISK_FULL
    if (err == kHandleDiskFull || err == kDiskFull)
        return kIoDiskFull;
    if (err == 0 || err >= static_cast<unsigned long>(kIoSystemErrorBase))
        return kIoSystemErrorBase; // no code, or none the runtime could show as its own
    return static_cast<int>(err);
}

long long CheckRange(long long value, long long lo, long long hi) {
    if (value < lo || value > hi)
        throw RangeError();
    return value;
}

} // namespace lw
