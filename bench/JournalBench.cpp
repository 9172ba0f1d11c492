// What putting several files in place together costs: the files of melt (index and item file,
// one folder) and of a diff application (index, statics and map, three folders), staged and
// committed through the replacement set, against raw writes of the same bytes, synced and renamed
// over the targets one by one (all the durability, none of the all-or-nothing).
#include "Harness.h"
#include "util/ReplacementSet.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace lw::bench {
namespace {

struct Target {
    std::string path;
    std::uint64_t size;
};

void WriteAll(File& file, std::uint64_t size, const std::vector<char>& buffer) {
    for (std::uint64_t done = 0; done < size;) {
        const std::size_t piece = std::min<std::uint64_t>(buffer.size(), size - done);
        file.write(buffer.data(), piece);
        done += piece;
    }
}

// Staged, then committed: the time of each, the first median of the two.
std::pair<double, double> ReplaceTogether(const std::vector<Target>& targets,
                                          const std::vector<char>& buffer) {
    std::vector<double> staging, committing;
    for (int run = 0; run < 8; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::unique_ptr<ReplacementFile>> files;
        ReplacementSet set;
        for (const Target& target : targets) {
            files.push_back(std::make_unique<ReplacementFile>(target.path));
            WriteAll(files.back()->file(), target.size, buffer);
            files.back()->finish();
            set.add(files.back().get());
        }
        const auto staged = std::chrono::steady_clock::now();
        set.commit();
        const auto done = std::chrono::steady_clock::now();
        if (run == 0)
            continue; // warm-up
        staging.push_back(std::chrono::duration<double>(staged - start).count());
        committing.push_back(std::chrono::duration<double>(done - staged).count());
    }
    std::sort(staging.begin(), staging.end());
    std::sort(committing.begin(), committing.end());
    return {staging[staging.size() / 2], committing[committing.size() / 2]};
}

void RawReplace(const std::vector<Target>& targets, const std::vector<char>& buffer) {
    for (const Target& target : targets) {
        const std::string temporary = target.path + ".raw";
        RawWrite(temporary, target.size, buffer, true);
        std::filesystem::rename(temporary, target.path);
        const int folder =
            ::open(std::filesystem::path(target.path).parent_path().c_str(), O_RDONLY);
        ::fsync(folder);
        ::close(folder);
    }
}

void Measure(const std::string& name, const std::vector<Target>& targets,
             const std::vector<char>& buffer) {
    for (const Target& target : targets) {
        std::filesystem::create_directories(std::filesystem::path(target.path).parent_path());
        RawWrite(target.path, target.size, buffer, false);
    }
    const auto [staging, committing] = ReplaceTogether(targets, buffer);
    const double raw = MedianSeconds([&] { RawReplace(targets, buffer); });
    Report(name + ", staged + committed", staging + committing, raw, 3);
    std::printf("%-44s %9.2f ms of it committing (journals, kept copies, checks)\n", "",
                committing * 1e3);
}

} // namespace

LW_BENCHMARK("journal") {
    std::vector<char> buffer(std::size_t{1} << 20);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<char>(i * 2654435761u >> 13);
    const std::string root = ScratchFolder() + "/journal";
    Measure("melt's index + 16 MB item file, one folder",
            {{root + "/one/staidx0.mul", 4'718'592}, {root + "/one/items.wsc", 16u << 20}}, buffer);
    Measure("diff's index + statics + map, three folders",
            {{root + "/a/staidx0.mul", 4'718'592},
             {root + "/b/statics0.mul", 8u << 20},
             {root + "/c/map0.mul", 77'070'336}},
            buffer);
}

} // namespace lw::bench
