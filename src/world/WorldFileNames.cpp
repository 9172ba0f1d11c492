#include "world/WorldFileNames.h"

#include "util/File.h"

namespace lw {
namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

} // namespace

std::string LowerCaseFileName(std::string_view path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1]))
        --start;
    std::string name(path.substr(start));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

bool IsExistingFile(const std::string& path) {
    return !path.empty() && IsRegularFile(path);
}

bool IsWorldFile(const std::string& path, std::string_view expectedName) {
    return IsExistingFile(path) && LowerCaseFileName(path) == expectedName;
}

bool HasWorldFileName(std::string_view path) {
    const std::string name = LowerCaseFileName(path);
    return name == kStaIdxFileName || name == kStaticsFileName || name == kMapFileName;
}

} // namespace lw
