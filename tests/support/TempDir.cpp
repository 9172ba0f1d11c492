#include "support/TempDir.h"

#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include "util/WindowsApi.h"

#include <random>
#else
#include <cstdlib>
#endif

namespace lw::test {
namespace {

#ifdef _WIN32
// Windows has no mkdtemp: try random names until CreateDirectoryW makes one that did not exist.
std::string MakeTempFolder(const std::filesystem::path& base) {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            base / ("lw-test-" + std::to_string(random() % 1000000000u));
        if (::CreateDirectoryW(candidate.c_str(), nullptr))
            return Utf8(candidate);
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot make a temporary folder");
}
#else
std::string MakeTempFolder(const std::filesystem::path& base) {
    std::string pattern = (base / "lw-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}
#endif

} // namespace

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& base) : path_(MakeTempFolder(base)) {}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
}

} // namespace lw::test
