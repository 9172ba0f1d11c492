// The fuzz targets' scratch folder and small file helpers.
#include "FuzzFiles.h"

#include "util/File.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace lw::fuzz {
namespace {

std::string MakeFolder() {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/lw-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch folder");
    return pattern;
}

void RemoveFolder() {
    const std::string& folder = ScratchFolder();
    for (const std::string& name : FolderEntries(folder))
        RemoveFileQuietly(JoinPath(folder, name));
    ::rmdir(folder.c_str());
}

} // namespace

const std::string& ScratchFolder() {
    // Never destroyed: the removal at exit still needs it.
    static const std::string* folder = [] {
        auto* made = new std::string(MakeFolder());
        std::atexit(RemoveFolder);
        return made;
    }();
    return *folder;
}

std::string ScratchFile(const std::string& name) {
    return JoinPath(ScratchFolder(), name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    File file = File::Create(path);
    file.write(bytes.data(), bytes.size());
    file.close();
}

std::string ReadBytes(const std::string& path) {
    File file = File::OpenRead(path);
    std::string bytes(file.size(), '\0');
    file.readExact(bytes.data(), bytes.size());
    file.close();
    return bytes;
}

std::vector<std::string_view> SplitInput(std::string_view input, std::string_view separator,
                                         std::size_t parts) {
    std::vector<std::string_view> pieces;
    while (pieces.size() + 1 < parts) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos)
            break;
        pieces.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    pieces.push_back(input);
    pieces.resize(parts);
    return pieces;
}

} // namespace lw::fuzz
