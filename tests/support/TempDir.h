// A temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace lw::test {

// Paths are UTF-8 strings, as the file layer takes them; std::filesystem reads a narrow string
// in the system's code page on Windows, so names that are not ASCII pass through these two.
std::filesystem::path FsPath(const std::string& utf8);
std::string Utf8(const std::filesystem::path& path);

class TempDir {
public:
    TempDir();
    // Made in base rather than in the system's temporary folder.
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // A path inside, with the separator the file layer uses where it joins paths.
    std::string file(const std::string& name) const { return path_ + kSeparator + name; }

private:
#ifdef _WIN32
    static constexpr char kSeparator = '\\';
#else
    static constexpr char kSeparator = '/';
#endif
    std::string path_;
};

} // namespace lw::test
