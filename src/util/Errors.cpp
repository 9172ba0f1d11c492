#include "util/Errors.h"

#include <cerrno>

namespace lw {

IoError::IoError(int code) : Error(textFor(code)), code_(code) {}

IoError::IoError(int code, const std::string& path)
    : Error(textFor(code) + ": " + path), code_(code) {}

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
