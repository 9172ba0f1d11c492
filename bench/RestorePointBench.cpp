// What keeping a restore point adds to each operation that replaces files, on the whole classic
// world: the same operation with and without its point, alternately on fresh copies of its
// files, and the ratio. The old files are moved into the point, never copied, so the cost is a few
// renames, folders and one small synced entry per folder written.
#include "Harness.h"
#include "SyntheticWorld.h"
#include "diff/ApplyDiff.h"
#include "diff/GenerateDiff.h"
#include "fillclear/FillClear.h"
#include "fillclear/NamedTiles.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "restore/RestorePoints.h"
#include "util/File.h"
#include "world/Compaction.h"
#include "world/ProgramState.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace lw::bench {
namespace {

namespace fs = std::filesystem;

void Copy(const std::string& from, const std::string& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median seconds without and with a restore point, each run after prepare (not timed), the two
// kinds alternating so that a busy moment of the machine falls on both alike.
std::pair<double, double> WithoutAndWith(const std::function<void()>& prepare,
                                         const std::function<void()>& run, int runs = 15) {
    std::vector<double> without, with;
    for (int i = 0; i <= runs; ++i)
        for (const bool keep : {false, true}) {
            prepare();
            ::sync();
            const auto start = std::chrono::steady_clock::now();
            if (keep) {
                RestorePointKeeper keeper({{}, "bench", "bench"}, DiscardLog);
                KeeperScope scope(keeper);
                run();
            } else {
                run();
            }
            const double took =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (i > 0) // the first of each is a warm-up
                (keep ? with : without).push_back(took);
        }
    return {Median(without), Median(with)};
}

void Measure(const std::string& name, const std::function<void()>& prepare,
             const std::function<void()>& run) {
    const auto [without, with] = WithoutAndWith(prepare, run);
    Report(name + ": with a restore point vs without", with, without, 1.05);
}

FillClearRequest Rectangle(const WorldFileSet& world) {
    FillClearRequest r;
    r.StaIdxPath = world.staidx;
    r.StaticsPath = world.statics;
    r.MapPath = world.map;
    r.Left = 1003;
    r.Top = 2001;
    r.Right = 2002;
    r.Bottom = 3000;
    r.Tile = {FindNamedTile("Random grass"), 0};
    return r;
}

} // namespace

LW_BENCHMARK("restore points") {
    std::mt19937 random(22);
    const WorldFileSet source = WorldFilesIn("restore-source");
    MakeSyntheticWorld(source, random);
    const WorldFileSet world = WorldFilesIn("restore-world");
    const std::string folder = DirectoryOf(world.staidx);
    const std::string items = folder + "/items.wsc", melted = ScratchFolder() + "/melted.wsc";
    NullProgress progress;
    auto state = std::make_unique<ProgramState>();
    const auto fresh = [&](std::initializer_list<std::pair<std::string, std::string>> files) {
        fs::remove_all(folder + "/.loamwright");
        for (const auto& [from, to] : files)
            Copy(from, to);
        state = std::make_unique<ProgramState>();
        LoadStaticIndex(*state, world.staidx, progress);
    };
    const MeltRequest melt{world.staidx, world.statics, items, ItemFileStyle::Pol,
                           ParseBlockRange({"800", "1599", "800", "1599"})};

    Measure(
        "melt of 100 x 100 blocks",
        [&] {
            fresh({{source.staidx, world.staidx}, {source.statics, world.statics}});
            fs::remove(items);
        },
        [&] { MeltBlocks(*state, melt, DiscardLog, progress); });
    Copy(items, melted); // the items of the last melt, for the freeze

    FreezeRequest freeze;
    freeze.staidx = world.staidx;
    freeze.statics = world.statics;
    freeze.itemFile = items;
    Measure(
        "freeze of those items",
        [&] {
            fresh({{source.staidx, world.staidx}, {source.statics, world.statics}});
            MeltBlocks(*state, melt, DiscardLog, progress); // the world they came from
            Copy(melted, items);
            LoadStaticIndex(*state, world.staidx, progress);
        },
        [&] { FreezeItems(*state, freeze, {}, DiscardLog, progress); });

    const auto whole = {std::pair{source.staidx, world.staidx},
                        {source.statics, world.statics},
                        {source.map, world.map}};
    Measure(
        "fill/clear of 1000 x 1000 tiles", [&] { fresh(whole); },
        [&] { FillClear(*state, Rectangle(world), progress, DiscardLog); });

    // The world after that fill/clear, with its dead runs, is the compaction's and the diff's.
    const WorldFileSet cleared = WorldFilesIn("restore-cleared");
    fresh(whole);
    FillClear(*state, Rectangle(world), progress, DiscardLog);
    for (const auto& [from, to] : {std::pair{world.staidx, cleared.staidx},
                                   {world.statics, cleared.statics},
                                   {world.map, cleared.map}})
        Copy(from, to);
    Measure(
        "compaction",
        [&] {
            fresh({{cleared.staidx, world.staidx}, {cleared.statics, world.statics}});
        },
        [&] { CompactStatics(world.staidx, world.statics, progress); });

    const std::string diff = ScratchFolder() + "/restore.lw2";
    NullDiffProgress quiet;
    GenerateDiff(source, cleared, diff, {}, quiet);
    Measure(
        "diff apply", [&] { fresh(whole); },
        [&] {
            if (!ApplyDiff(source, world, diff, quiet).applied)
                std::abort();
        });
}

} // namespace lw::bench
