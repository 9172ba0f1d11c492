// Freeze and melt on a big shard's item file (200,000 items, about 40 MB; 50,000 selected in
// 10,000 blocks, frozen with "Write PAT"; a melt of 10,000 non-empty blocks into it), each
// against a raw transfer of the same bytes, and the peak memory of each in a child process.
#include "Harness.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "util/File.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

constexpr int kItems = 200000;
constexpr int kSelectedEvery = 4;   // 50,000 selected
constexpr int kBlocksPerSide = 100; // 10,000 blocks
constexpr int kFreezeCorner = 200, kMeltCorner = 100;
constexpr int kRecordsPerFreezeBlock = 3, kRecordsPerMeltBlock = 5;

struct Paths {
    std::string folder;
    std::string staidx() const { return folder + "/staidx0.mul"; }
    std::string statics() const { return folder + "/statics0.mul"; }
    std::string items() const { return folder + "/items.wsc"; }
    std::string patch() const { return folder + "/frozen.pat"; }
};

std::string ItemText(int number, int x, int y, bool selected) {
    const std::string n = std::to_string(number);
    return "SECTION WORLDITEM " + n + "\r\n{\r\n\tSERIAL " + std::to_string(0x40000000 + number) +
           "\r\n\tNAME #\r\n\tID 3821\r\n\tX " + std::to_string(x) + "\r\n\tY " +
           std::to_string(y) + "\r\n\tZ 5\r\n\tCOLOR 0\r\n\tCONT -1\r\n\tTYPE " +
           (selected ? "255" : "0") +
           "\r\n\tAMOUNT 1\r\n\tMOVABLE 1\r\n\tDECAY 3600\r\n\tWEIGHT 100\r\n\tMORE 0\r\n"
           "\tDIR 0\r\n\tSPAWNERID 0\r\n}\r\n\r\n";
}

void WriteItemFile(const std::string& path) {
    File file = File::Create(path);
    std::string chunk;
    int selected = 0;
    for (int i = 0; i < kItems; ++i) {
        const bool take = i % kSelectedEvery == 0;
        int x = (i * 37) % 6000, y = (i * 91) % 4000;
        if (take) {
            const int block = selected++ % (kBlocksPerSide * kBlocksPerSide);
            x = (kFreezeCorner + block / kBlocksPerSide) * 8 + i % 8;
            y = (kFreezeCorner + block % kBlocksPerSide) * 8 + (i / 8) % 8;
        }
        // The selection takes only numbers 0-65535, so a big file repeats them.
        chunk += ItemText(i % 65536, x, y, take);
        if (chunk.size() > (1 << 20)) {
            file.write(chunk.data(), chunk.size());
            chunk.clear();
        }
    }
    file.write(chunk.data(), chunk.size());
    file.close();
}

void WriteWorld(const Paths& p) {
    auto index = std::make_unique<StaticIndexTable>();
    for (int b = 0; b < kBlockCount; ++b)
        (*index)[b] = {kNoStatics, 0, 0};
    std::string statics;
    const auto fill = [&](int corner, int records) {
        for (int bx = corner; bx < corner + kBlocksPerSide; ++bx)
            for (int by = corner; by < corner + kBlocksPerSide; ++by) {
                index->at(bx, by) = {static_cast<std::int32_t>(statics.size()),
                                     static_cast<std::uint32_t>(records * kStaticRecSize), 0};
                for (int r = 0; r < records; ++r) {
                    const TStaticRec rec{static_cast<std::uint16_t>(0x0CCA + r),
                                         static_cast<std::uint8_t>(r), 3, 7, 0};
                    statics.append(reinterpret_cast<const char*>(&rec), sizeof rec);
                }
            }
    };
    fill(kFreezeCorner, kRecordsPerFreezeBlock);
    fill(kMeltCorner, kRecordsPerMeltBlock);
    File s = File::Create(p.statics());
    s.write(statics.data(), statics.size());
    s.close();
    File i = File::Create(p.staidx());
    i.write(index->data(), kIndexFileSize);
    i.close();
}

void CopyFiles(const Paths& from, const Paths& to) {
    std::filesystem::create_directories(to.folder);
    for (const auto& entry : std::filesystem::directory_iterator(to.folder))
        std::filesystem::remove(entry.path());
    for (const auto& entry : std::filesystem::directory_iterator(from.folder))
        std::filesystem::copy_file(entry.path(),
                                   to.folder + "/" + entry.path().filename().string());
}

std::string ReadRaw(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::string bytes(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
    if (::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
    return bytes;
}

void WriteRaw(const std::string& path, const char* data, std::size_t size, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, data, size) != static_cast<ssize_t>(size))
        std::abort();
    if (sync)
        ::fdatasync(fd);
    ::close(fd);
}

// The bytes an operation moves: the item file read once, and each output written once.
struct Transfer {
    std::uint64_t itemFileWritten = 0, patchWritten = 0, staticsWritten = 0;
};

void RawTransfer(const Paths& p, const Transfer& t, bool sync) {
    const std::string items = ReadRaw(p.items());
    std::string out(std::max({t.itemFileWritten, t.patchWritten, t.staticsWritten,
                              static_cast<std::uint64_t>(kIndexFileSize)}),
                    'x');
    WriteRaw(p.folder + "/raw-items", out.data(), t.itemFileWritten, sync);
    if (t.patchWritten)
        WriteRaw(p.folder + "/raw-patch", out.data(), t.patchWritten, sync);
    WriteRaw(p.folder + "/raw-statics", out.data(), t.staticsWritten, sync);
    WriteRaw(p.folder + "/raw-index", out.data(), kIndexFileSize, sync);
    if (items.empty())
        std::abort();
}

// The index is loaded beforehand, as the window has it loaded before "Melt!" or "Freeze!".
using Operation = std::function<void(const Paths&, ProgramState&)>;

void Freeze(const Paths& p, ProgramState& state) {
    NullProgress progress;
    FreezeRequest r;
    r.staidx = p.staidx();
    r.statics = p.statics();
    r.itemFile = p.items();
    r.writePat = true;
    r.patchFile = p.patch();
    FreezeWorld(
        state, r, [](const std::string&) {}, progress);
}

void Melt(const Paths& p, ProgramState& state) {
    NullProgress progress;
    const std::string first = std::to_string(kMeltCorner * 8);
    const std::string last = std::to_string((kMeltCorner + kBlocksPerSide) * 8 - 1);
    MeltBlocks(
        state,
        {p.staidx(), p.statics(), p.items(), ItemFileStyle::Pol,
         ParseBlockRange({first, last, first, last})},
        [](const std::string&) {}, progress);
}

// Median of runs, each on fresh copies of the original files with the index loaded (neither
// is timed).
double MedianOnFreshFiles(const Paths& original, const Paths& work,
                          const std::function<void(ProgramState&)>& body, int runs = 7) {
    std::vector<double> times;
    auto state = std::make_unique<ProgramState>();
    for (int i = 0; i < runs; ++i) {
        CopyFiles(original, work);
        NullProgress quiet;
        LoadStaticIndex(*state, work.staidx(), quiet);
        ::sync();
        const auto start = std::chrono::steady_clock::now();
        body(*state);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long long PeakResidentBytesOfChild(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

// Runs the operation once on fresh files with a fresh index; returns its peak memory when run in
// a child process.
long long PeakOf(const Paths& original, const Paths& work, const Operation& op) {
    CopyFiles(original, work);
    return PeakResidentBytesOfChild([&] {
        auto state = std::make_unique<ProgramState>();
        NullProgress quiet;
        LoadStaticIndex(*state, work.staidx(), quiet);
        op(work, *state);
    });
}

void ReportMemory(const std::string& name, long long peak, long long itemFile) {
    const long long limit = 4 * itemFile + 100 * 1000 * 1000;
    std::printf("%-44s peak RSS %7.1f MB   limit %7.1f MB (4 x %.1f MB + 100 MB) %s\n",
                name.c_str(), static_cast<double>(peak) / 1e6, static_cast<double>(limit) / 1e6,
                static_cast<double>(itemFile) / 1e6, peak <= limit ? "ok" : "OVER");
    std::fflush(stdout);
}

void Measure(const std::string& name, const Paths& original, const Paths& work, const Operation& op,
             Transfer transfer) {
    const double operation =
        MedianOnFreshFiles(original, work, [&](ProgramState& state) { op(work, state); });
    // What the operation wrote, for the baseline's byte counts.
    CopyFiles(original, work);
    const std::uint64_t staticsBefore = FileSizeOf(work.statics());
    {
        auto state = std::make_unique<ProgramState>();
        NullProgress quiet;
        LoadStaticIndex(*state, work.staidx(), quiet);
        op(work, *state);
    }
    transfer.itemFileWritten = FileSizeOf(work.items());
    transfer.patchWritten = FileExists(work.patch()) ? FileSizeOf(work.patch()) : 0;
    transfer.staticsWritten = FileSizeOf(work.statics()) - staticsBefore;
    const double synced = MedianOnFreshFiles(
        original, work, [&](ProgramState&) { RawTransfer(work, transfer, true); });
    const double unsynced = MedianOnFreshFiles(
        original, work, [&](ProgramState&) { RawTransfer(work, transfer, false); });
    Report(name + " vs raw I/O + sync", operation, synced, 5);
    Report(name + " vs raw I/O, no sync", operation, unsynced, 5);
}

} // namespace

LW_BENCHMARK("items") {
    const Paths original{ScratchFolder() + "/items-original"};
    const Paths work{ScratchFolder() + "/items-work"};
    std::filesystem::create_directories(original.folder);
    WriteWorld(original);
    WriteItemFile(original.items());
    const auto itemFile = static_cast<long long>(FileSizeOf(original.items()));
    // Memory first, while this process is still small: a child starts with its parent's pages.
    const long long freezePeak = PeakOf(original, work, Freeze);
    const long long meltPeak = PeakOf(original, work, Melt);
    std::printf("item file: %d items, %.1f MB\n", kItems,
                static_cast<double>(FileSizeOf(original.items())) / 1e6);
    Measure("freeze 50,000 items of 10,000 blocks + PAT", original, work, Freeze, {});
    ReportMemory("freeze 50,000 items of 10,000 blocks + PAT", freezePeak, itemFile);
    Measure("melt 10,000 blocks into the item file", original, work, Melt, {});
    ReportMemory("melt 10,000 blocks into the item file", meltPeak, itemFile);
}

} // namespace lw::bench
