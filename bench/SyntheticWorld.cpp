// The benchmarks' world: written with the checked file layer, as the operations read it.
#include "SyntheticWorld.h"

#include "Harness.h"
#include "util/File.h"
#include "world/Records.h"

#include <sys/stat.h>

namespace lw::bench {

WorldFileSet WorldFilesIn(const std::string& name) {
    const std::string folder = ScratchFolder() + "/" + name;
    ::mkdir(folder.c_str(), 0755);
    return {folder + "/staidx0.mul", folder + "/statics0.mul", folder + "/map0.mul"};
}

void MakeSyntheticWorld(const WorldFileSet& set, std::mt19937& random) {
    std::vector<char> map(kMapFileSize);
    for (auto& byte : map)
        byte = static_cast<char>(random() % 7);
    WriteAll(set.map, map.data(), map.size());
    std::vector<StaticPointer> index(kBlockCount);
    std::vector<char> statics;
    for (int n = 0; n < kBlockCount; ++n) {
        if (random() % 10 >= 6) {
            index[n] = {kNoStatics, 0, 0};
            continue;
        }
        const auto count = 1 + random() % 15;
        index[n] = {static_cast<std::int32_t>(statics.size()),
                    static_cast<std::uint32_t>(count * kStaticRecSize), 0};
        for (std::uint32_t i = 0; i < count; ++i) {
            const TStaticRec rec{static_cast<std::uint16_t>(random()),
                                 static_cast<std::uint8_t>(random() % 8),
                                 static_cast<std::uint8_t>(random() % 8), 0, 0};
            const auto* bytes = reinterpret_cast<const char*>(&rec);
            statics.insert(statics.end(), bytes, bytes + sizeof rec);
        }
    }
    WriteAll(set.staidx, index.data(), kIndexFileSize);
    WriteAll(set.statics, statics.data(), statics.size());
}

void WriteAll(const std::string& path, const void* data, std::size_t size) {
    File file = File::Create(path);
    file.write(data, size);
    file.close();
}

std::vector<char> ReadAll(const std::string& path) {
    File file = File::OpenRead(path);
    std::vector<char> bytes(file.size());
    file.readExact(bytes.data(), bytes.size());
    return bytes;
}

} // namespace lw::bench
