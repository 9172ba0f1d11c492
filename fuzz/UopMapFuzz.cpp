// Feeds arbitrary bytes as a map container (map0LegacyMUL.uop) to the one map reader and writer:
// opening either refuses with an Error or gives a map whose every byte reads back, and a cell
// written in place reads back as written while the rest of the map stays as it was.
#include "FuzzFiles.h"
#include "util/Errors.h"
#include "world/MapFile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace lw;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<char> Everything(MapFile& map) {
    std::vector<char> bytes(static_cast<std::size_t>(map.length()));
    map.read(0, bytes.data(), bytes.size());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::ScratchFile("map0LegacyMUL.uop");
    fuzz::WriteBytes(path, fuzz::AsText(data, size));
    try {
        MapFile map = MapFile::OpenReadWrite(path);
        Require(map.length() <= size);
        std::vector<char> before = Everything(map);
        if (before.size() >= 3) {
            const char cell[3] = {'\x12', '\x34', '\x56'};
            const std::uint64_t at = before.size() / 2;
            map.write(at, cell, sizeof cell);
            std::copy(cell, cell + 3, before.begin() + static_cast<long>(at));
            Require(Everything(map) == before);
        }
        map.close();
    } catch (const Error&) {
    }
    return 0;
}
