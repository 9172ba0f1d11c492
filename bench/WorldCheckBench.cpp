// The world check of the whole classic world, alone and with an item file of 100,000 items,
// against plain reads of the files it reads through. The check looks at every index entry and
// every record, and runs the item file through the scans of melt and freeze (four passes over its
// lines), where a plain read only moves the bytes.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "items/CheckWorld.h"

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace lw::bench {
namespace {

std::string ItemFile(int items, std::mt19937& random) {
    std::string text;
    for (int i = 0; i < items; ++i)
        text += "SECTION WORLDITEM " + std::to_string(i) + "\r\n{\r\nSERIAL " +
                std::to_string(0x40000000 + i) + "\r\nNAME #\r\nID " +
                std::to_string(random() % 16384) + "\r\nX " + std::to_string(random() % 6144) +
                "\r\nY " + std::to_string(random() % 4096) +
                "\r\nZ 0\r\nCOLOR 0\r\nCONT -1\r\nTYPE 255\r\n}\r\n\r\n";
    return text;
}

void RawRead(const std::vector<std::string>& paths, std::vector<char>& buffer) {
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
        ::close(fd);
    }
}

} // namespace

LW_BENCHMARK("world check") {
    std::mt19937 random(22);
    const WorldFileSet set = WorldFilesIn("check");
    MakeSyntheticWorld(set, random);
    const std::string items = ScratchFolder() + "/check/items.wsc";
    const std::string text = ItemFile(100'000, random);
    WriteAll(items, text.data(), text.size());

    NullProgress progress;
    std::vector<char> buffer(1 << 20);
    const double raw = MedianSeconds([&] { RawRead({set.staidx, set.statics}, buffer); });
    const double check = MedianSeconds([&] {
        if (!CheckWorld({set.staidx, set.statics, set.map, {}}, progress).sound())
            std::abort();
    });
    Report("CheckWorld, world files, vs reading them", check, raw, 20);
    const double rawWithItems = MedianSeconds([&] {
        RawRead({set.staidx, set.statics, items}, buffer);
    });
    const double withItems = MedianSeconds([&] {
        if (!CheckWorld({set.staidx, set.statics, set.map, items}, progress).sound())
            std::abort();
    });
    Report("CheckWorld with 100,000 items vs reading", withItems, rawWithItems, 100);
}

} // namespace lw::bench
