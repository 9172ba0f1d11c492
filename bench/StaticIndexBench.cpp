// Loading and writing the full-size static index against a raw transfer of the same bytes.
#include "Harness.h"
#include "util/File.h"
#include "world/StaticIndex.h"

#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

struct CountingProgress : Progress {
    long long sum = 0;
    void report(int percent) override { sum += percent; }
    void yield() override {}
};

void RawRead(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (::read(fd, buffer.data(), buffer.size()) != static_cast<ssize_t>(buffer.size()))
        std::abort();
    ::close(fd);
}

void RawWrite(const std::string& path, const std::vector<char>& buffer, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, buffer.data(), buffer.size()) != static_cast<ssize_t>(buffer.size()))
        std::abort();
    if (sync)
        ::fdatasync(fd);
    ::close(fd);
}

} // namespace

LW_BENCHMARK("static index") {
    const std::string path = ScratchFolder() + "/staidx0.mul";
    const std::string rawPath = ScratchFolder() + "/raw.mul";
    std::vector<char> bytes(kIndexFileSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 31 % 253);
    RawWrite(path, bytes, false);

    auto table = std::make_unique<StaticIndexTable>();
    CountingProgress progress;
    std::vector<char> buffer(kIndexFileSize);
    const double rawRead = MedianSeconds([&] { RawRead(path, buffer); }, 21);
    const double read = MedianSeconds([&] { ReadStaticIndex(path, *table, progress); }, 21);
    Report("ReadStaticIndex (4,718,592 bytes)", read, rawRead, 3);

    const double rawWrite = MedianSeconds([&] { RawWrite(rawPath, bytes, false); }, 21);
    const double rawWriteSynced = MedianSeconds([&] { RawWrite(rawPath, bytes, true); }, 21);
    const double write = MedianSeconds([&] { WriteStaticIndex(path, *table, progress); }, 21);
    Report("WriteStaticIndex vs raw write", write, rawWrite, 3);
    Report("WriteStaticIndex vs raw write + sync", write, rawWriteSynced, 3);
}

} // namespace lw::bench
