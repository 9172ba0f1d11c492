#include "support/RunProgram.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"

#ifdef _WIN32
#include "util/WindowsApi.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace lw::test {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace

std::vector<std::string> ProgramResult::outLines() const {
    return SplitLines(out);
}

std::string ProgramResult::lastErrLine() const {
    const auto lines = SplitLines(err);
    return lines.empty() ? "" : lines.back();
}

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& utf8) {
    return FsPath(utf8).wstring();
}

// One argument quoted the way the C runtime splits a command line: backslashes count only
// before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!line.empty())
        line += L' ';
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir dir;
    const std::string outPath = dir.file("out"), errPath = dir.file("err");
    std::wstring line;
    AppendQuoted(line, Wide(program));
    for (const auto& a : args)
        AppendQuoted(line, Wide(a));
    const HANDLE in = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE out = OpenInheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = OpenInheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    ProgramResult result;
    if (::CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (::GetExitCodeProcess(process.hProcess, &code))
            result.exitCode = static_cast<int>(code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    for (const HANDLE h : {in, out, err})
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}
#else
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir dir;
    const std::string outPath = dir.file("out"), errPath = dir.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0644);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ProgramResult result;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

ProgramResult RunProgramAs(unsigned user, const std::string& program,
                           const std::vector<std::string>& args) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const std::string out = dir.file("out"), err = dir.file("err"), code = dir.file("code");
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(user) != 0 || ::setuid(user) != 0)
            ::_exit(99);
        const ProgramResult r = RunProgram(program, args);
        WriteWholeFile(out, r.out);
        WriteWholeFile(err, r.err);
        WriteWholeFile(code, std::to_string(r.exitCode));
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProgramResult result;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.exitCode = std::stoi(ReadWholeFile(code));
        result.out = ReadWholeFile(out);
        result.err = ReadWholeFile(err);
    }
    return result;
}

#endif

} // namespace lw::test
