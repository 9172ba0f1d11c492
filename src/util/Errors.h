// The error kinds of Loamwright. Every error's what() is exactly the text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace lw {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file-system failure, carrying the runtime's error code (2, 5, 100, ...). Its text is the
// runtime's alone; which file it is about, the role the running operation gave that file, and
// the system's own words travel beside it, for the lines a window or the CLI adds below.
class IoError : public Error {
public:
    explicit IoError(int code);
    IoError(int code, std::string path, std::string reason = {});
    int code() const { return code_; }
    const std::string& path() const { return path_; }     // empty when not known
    const std::string& role() const { return role_; }     // empty when no operation named it
    const std::string& reason() const { return reason_; } // in English, e.g. "No such file..."
    static std::string textFor(int code);

private:
    int code_;
    std::string path_;
    std::string role_;
    std::string reason_;
};

// The roles of the files of the operation running on this thread, so that an error about one
// of them can say which it is. OperationFiles names its files here for as long as it lives.
class FileRoleScope {
public:
    FileRoleScope() = default;
    ~FileRoleScope();
    FileRoleScope(const FileRoleScope&) = delete;
    FileRoleScope& operator=(const FileRoleScope&) = delete;
    void name(const std::string& path, const std::string& role);

private:
    std::size_t named_ = 0;
};
std::string RoleOfFile(const std::string& path);

// Text that is no integer, or a malformed spaced hex text.
class ConvertError : public Error {
public:
    using Error::Error;
    static ConvertError notAnInteger(const std::string& text);
};

// A value outside the range of its field.
class RangeError : public Error {
public:
    RangeError();
};

// Arithmetic that does not fit its type.
class OverflowError : public Error {
public:
    OverflowError();
};

// I/O error codes as the runtime reports them.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoPathNotFound = 3;
inline constexpr int kIoTooManyOpenFiles = 4;
inline constexpr int kIoAccessDenied = 5;
inline constexpr int kIoInvalidHandle = 6;
inline constexpr int kIoReadPastEnd = 100;
inline constexpr int kIoDiskFull = 112;
// A system error the runtime has no code of its own for shows as this base plus the errno value:
// above every code the runtime reports (Windows error codes end below 16000), so "E/A-Fehler 30005"
// (EIO) is never mistaken for code 5, "Dateizugriff verweigert".
inline constexpr int kIoSystemErrorBase = 30000;

// Maps an errno value to the runtime's I/O error code by meaning.
int IoCodeFromErrno(int err);
// Maps a Windows error code (GetLastError) to the runtime's I/O error code. The runtime's codes
// are Windows' own, so most stay as they are; a full disk is one code whichever way it is said.
int IoCodeFromWindowsError(unsigned long err);

// Throws RangeError unless lo <= value <= hi; returns value.
long long CheckRange(long long value, long long lo, long long hi);

} // namespace lw
