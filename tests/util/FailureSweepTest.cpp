// Every operation that writes, failed at each of its writes, syncs and renames in turn, as a full
// disk and as an I/O error: it reports the error, leaves every file as it was with nothing of its
// own behind, keeps the in-memory index in step with the disk, and a retry then gives exactly
// what an undisturbed run gives.
#include "diff/ApplyDiff.h"
#include "diff/DiffFixture.h"
#include "diff/DiffScenario.h"
#include "diff/GenerateDiff.h"
#include "fillclear/FillClear.h"
#include "items/OperationRun.h"
#include "mapedit/MapCells.h"
#include "restore/Restore.h"
#include "support/FillClearRequests.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "util/TempNames.h"
#include "world/Blocks.h"
#include "world/Compaction.h"
#include "world/MapConversion.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ItemWorld;

// ---- The folders the sweep works in ----

// Thousands of runs, each writing and syncing full-size world files: where the system has a
// memory file system, the sweep runs there, so the disk's speed does not set the test's.
fs::path SweepRoot() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error))
        return "/dev/shm";
    return fs::temp_directory_path();
}

// A folder of its own under the sweep's root, removed with everything in it.
class SweepFolder : public test::TempDir {
public:
    SweepFolder() : test::TempDir(SweepRoot()) {}
};

// Copies a file leaving its runs of zeros as holes: the world files are mostly empty, and
// filling them in would make every copy cost their full size.
void CopySparse(const std::string& from, const std::string& to) {
    static const std::vector<char> zeros(1 << 20, 0);
    File in = File::OpenRead(from);
    File out = File::Create(to);
    std::vector<char> buffer(zeros.size());
    std::uint64_t at = 0;
    while (const std::size_t got = in.readSome(buffer.data(), buffer.size())) {
        if (std::memcmp(buffer.data(), zeros.data(), got) != 0) {
            out.seek(at);
            out.write(buffer.data(), got);
        }
        at += got;
    }
    out.truncate(at);
    out.close();
    in.close();
}

void CopyTree(const std::string& from, const std::string& to) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string target = to + "/" + entry.path().filename().string();
        if (entry.is_directory())
            CopyTree(entry.path().string(), target);
        else
            CopySparse(entry.path().string(), target);
    }
}

// Every file below a folder by relative path, with a hash of its bytes and its size.
using TreeHashes = std::map<std::string, std::pair<std::size_t, std::uint64_t>>;

std::pair<std::size_t, std::uint64_t> HashOf(const std::string& path) {
    File in = File::OpenRead(path);
    std::vector<char> buffer(1 << 20);
    std::size_t hash = 0;
    std::uint64_t size = 0;
    while (const std::size_t got = in.readSome(buffer.data(), buffer.size())) {
        hash = hash * 1000003 ^ std::hash<std::string_view>{}({buffer.data(), got});
        size += got;
    }
    in.close();
    return {hash, size};
}

// A restore point's entry records times and identities, which differ from run to run: it is
// compared by its name.
TreeHashes Comparable(TreeHashes tree) {
    for (auto& [name, hash] : tree)
        if (name.starts_with(".loamwright") && name.ends_with("entry"))
            hash = {};
    return tree;
}

TreeHashes HashTree(const std::string& folder) {
    TreeHashes files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory())
            files[fs::relative(entry.path(), folder).string()] = HashOf(entry.path().string());
    return Comparable(std::move(files));
}

// The files outside the restore points, or those inside them.
TreeHashes PartOf(const TreeHashes& tree, bool restorePoints) {
    TreeHashes part;
    for (const auto& [name, hash] : tree)
        if (name.starts_with(".loamwright") == restorePoints)
            part[name] = hash;
    return part;
}

void ExpectSameTree(const TreeHashes& actual, const TreeHashes& expected, const char* what) {
    for (const auto& [name, hash] : expected) {
        const auto it = actual.find(name);
        if (it == actual.end())
            ADD_FAILURE() << name << " is missing " << what;
        else if (it->second != hash)
            ADD_FAILURE() << name << " differs " << what;
    }
    for (const auto& [name, hash] : actual)
        if (!expected.count(name))
            ADD_FAILURE() << name << " should not be there " << what;
}

// Staged, kept and journal files go whether the operation completes or fails.
void ExpectNoLeftovers(const std::string& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        for (const char* marker : {kStagedMarker, kKeptMarker, kJournalName})
            EXPECT_EQ(entry.path().filename().string().find(marker), std::string::npos)
                << entry.path();
}

// ---- The operations ----

// Where an operation's files lie in the folder it runs in: all together, or the index, the
// statics and the item file (or the map) each in a folder of its own, as a server and a client
// keep them.
using Layout = std::string (*)(const std::string& folder, const std::string& name);

std::string OneFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::string ThreeFolders(const std::string& folder, const std::string& name) {
    const char* sub = name.starts_with("staidx")    ? "index"
                      : name.starts_with("statics") ? "statics"
                                                    : "other";
    fs::create_directories(folder + "/" + sub);
    return folder + "/" + sub + "/" + name;
}

struct SweptOperation {
    const char* name;
    // Lays out the files the operation finds in a fresh folder.
    std::function<void(const std::string& folder, Layout)> build;
    // The statics index the program has loaded (the one the operation writes, if any).
    std::function<std::string(const std::string& folder, Layout)> loadedIndex;
    std::function<void(const std::string& folder, Layout, ProgramState&, const LogSink&, Progress&)>
        run;
    // It keeps a restore point once its files are in place: a failure there leaves the new files
    // without it, and the operation still succeeds.
    bool keepsRestorePoint = false;
};

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

// The index, statics, item file and patch file of a folder, as the layout places them.
struct SweptWorld {
    SweptWorld(const std::string& folder, Layout layout)
        : staidx(layout(folder, "staidx0.mul")), statics(layout(folder, "statics0.mul")),
          items(layout(folder, "items.wsc")), patch(layout(folder, "freeze.pat")),
          map(layout(folder, "map0.mul")) {}
    MeltRequest melt(ItemFileStyle style) const {
        MeltRequest r{staidx, statics, items, style, {}};
        r.range = ParseBlockRange({"16", "31", "40", "55"});
        return r;
    }
    FreezeRequest freeze(ItemFileStyle style, bool writePat) const {
        FreezeRequest r;
        r.staidx = staidx;
        r.statics = statics;
        r.itemFile = items;
        r.style = style;
        r.selection = SelectionMode::Type255;
        r.writePat = writePat;
        r.patchFile = patch;
        return r;
    }
    std::string staidx, statics, items, patch, map;
};

// Statics in two blocks and two items in the item file, a comment line before them.
void BuildItemWorld(const std::string& folder, Layout layout) {
    const SweptWorld world(folder, layout);
    test::MakeEmptyStatics(world.staidx, world.statics);
    test::PutStaticBlock(world.staidx, world.statics, 2, 5, {{1, 2, 3, 4, 5}});
    test::PutStaticBlock(world.staidx, world.statics, 3, 6, {{6, 7, 0, -1, 0}});
    test::WriteWholeFile(world.items, "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
}

std::string ItemWorldIndex(const std::string& folder, Layout layout) {
    return SweptWorld(folder, layout).staidx;
}

void Freeze(const std::string& folder, Layout layout, ProgramState& state, const LogSink& log,
            Progress& progress, ItemFileStyle style, bool writePat) {
    FreezeItems(state, SweptWorld(folder, layout).freeze(style, writePat), {}, log, progress);
}

// The diff worlds keep their sets in subfolders "original", "modified" and "target"; the
// target's files lie as the layout places them there.
struct DiffFolder {
    WorldFileSet original, modified, target;
    std::string diffPath;
};

DiffFolder DiffWorldsIn(const std::string& folder, Layout layout) {
    const auto set = [&](const char* name, Layout placed) {
        const std::string sub = folder + "/" + name;
        return WorldFileSet{placed(sub, "staidx0.mul"), placed(sub, "statics0.mul"),
                            placed(sub, "map0.mul")};
    };
    return {set("original", OneFolder), set("modified", OneFolder), set("target", layout),
            folder + "/world.lw2"};
}

// Builds a scenario in its own folder and keeps the sets named.
void BuildDiffWorlds(const std::string& folder, Layout layout, bool withModified, bool withTarget,
                     bool withDiff) {
    test::DiffWorlds w;
    test::BuildEveryKindOfBlock(w);
    NullDiffProgress quiet;
    GenerateDiff(w.original, w.modified, w.diffPath, {}, quiet);
    if (!withDiff)
        test::WriteWholeFile(w.diffPath, "an earlier diff");
    if (!withModified)
        fs::remove_all(w.dir.file("modified"));
    if (!withTarget)
        fs::remove_all(w.dir.file("target"));
    CopyTree(w.dir.path(), folder);
    if (withTarget && layout != OneFolder)
        for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"})
            fs::rename(folder + "/target/" + name, layout(folder + "/target", name));
}

// A world of the smallest facet with its map in a container: the container writes are swept at
// every piece, and the files stay small.
constexpr WorldSize kSmallFacet{181, 181};

struct ContainerWorld {
    ContainerWorld(const std::string& folder, Layout layout)
        : staidx(layout(folder, "staidx4.mul")), statics(layout(folder, "statics4.mul")),
          map(layout(folder, "map4LegacyMUL.uop")) {}
    std::string staidx, statics, map;
};

void BuildContainerWorld(const std::string& folder, Layout layout) {
    const ContainerWorld w(folder, layout);
    test::MakeEmptyStatics(w.staidx, w.statics, kSmallFacet);
    test::PutStaticBlock(w.staidx, w.statics, 2, 5, {{1, 2, 3, 4, 5}}, kSmallFacet);
    test::PutStaticBlock(w.staidx, w.statics, 180, 180, {{6, 7, 0, -1, 0}}, kSmallFacet);
    const std::string plain = folder + "/plain4.mul";
    test::MakeSparseMap(plain, kSmallFacet);
    test::MakeUopMap(plain, w.map, {.facet = 4, .piecesReversed = true, .recordsPerTable = 3});
    fs::remove(plain);
}

std::string ContainerWorldIndex(const std::string& folder, Layout layout) {
    return ContainerWorld(folder, layout).staidx;
}

// The container world and, beside it, a plain map of the facet whose last block differs.
std::string PlainMapBeside(const std::string& folder, Layout layout) {
    return layout(folder, "map4.mul");
}

void BuildContainerAndPlainMap(const std::string& folder, Layout layout) {
    BuildContainerWorld(folder, layout);
    const std::string plain = PlainMapBeside(folder, layout);
    test::MakeSparseMap(plain, kSmallFacet);
    TMapBlock block;
    std::memset(&block, 4, sizeof block);
    WriteMapBlock(plain, kSmallFacet, 180, 180, block);
}

// The sets of a diff of the smallest facet: "original" and "target" (its map in a container,
// its files as the layout places them).
WorldFileSet SmallOriginal(const std::string& folder) {
    const std::string sub = folder + "/original";
    return {sub + "/staidx4.mul", sub + "/statics4.mul", sub + "/map4.mul"};
}

WorldFileSet SmallTarget(const std::string& folder, Layout layout) {
    const ContainerWorld w(folder + "/target", layout);
    return {w.staidx, w.statics, w.map};
}

// Original and target sets of the smallest facet, and the diff of a modified set against the
// original.
void BuildContainerDiff(const std::string& folder, Layout layout) {
    const WorldFileSet original = SmallOriginal(folder);
    const std::string modifiedFolder = folder + "/modified";
    const WorldFileSet modified{modifiedFolder + "/staidx4.mul", modifiedFolder + "/statics4.mul",
                                modifiedFolder + "/map4.mul"};
    fs::create_directories(folder + "/original");
    fs::create_directories(modifiedFolder);
    for (const WorldFileSet* s : {&original, &modified}) {
        test::MakeEmptyStatics(s->staidx, s->statics, kSmallFacet);
        test::MakeSparseMap(s->map, kSmallFacet);
        test::PutStaticBlock(s->staidx, s->statics, 3, 3, {{1, 2, 3, 4, 5}}, kSmallFacet);
    }
    test::PutStaticBlock(modified.staidx, modified.statics, 100, 7, {{9, 1, 1, 1, 1}}, kSmallFacet);
    TMapBlock block;
    std::memset(&block, 4, sizeof block);
    WriteMapBlock(modified.map, kSmallFacet, 180, 180, block);
    NullDiffProgress quiet;
    GenerateDiff(original, modified, folder + "/small.lw2", {}, quiet);
    fs::remove_all(modifiedFolder);
    fs::create_directories(folder + "/target");
    const WorldFileSet target = SmallTarget(folder, layout);
    fs::copy_file(original.staidx, target.staidx);
    fs::copy_file(original.statics, target.statics);
    test::MakeUopMap(original.map, target.map, {.facet = 4});
}

// Runs an operation keeping a restore point, as the programs do.
void KeepingARestorePoint(const std::function<void()>& operation) {
    RestorePointKeeper keeper({{}, "sweep", "sweep"}, DiscardLog);
    KeeperScope scope(keeper);
    operation();
}

void MeltKeepingARestorePoint(const std::string& folder, Layout layout, ProgramState& s,
                              const LogSink& log, Progress& p) {
    KeepingARestorePoint(
        [&] { MeltBlocks(s, SweptWorld(folder, layout).melt(ItemFileStyle::Uox3), log, p); });
}

const SweptOperation kOperations[] = {
    {"Melt", BuildItemWorld, ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) {
         MeltBlocks(s, SweptWorld(folder, layout).melt(ItemFileStyle::Uox3), log, p);
     }},
    {"FreezeWithoutPatchFile", BuildItemWorld, ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) { Freeze(folder, layout, s, log, p, ItemFileStyle::Pol, false); }},
    {"FreezeWithNewPatchFile", BuildItemWorld, ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) { Freeze(folder, layout, s, log, p, ItemFileStyle::Pol, true); }},
    {"FreezeAppendingToPatchFile",
     [](const std::string& folder, Layout layout) {
         BuildItemWorld(folder, layout);
         test::WriteWholeFile(SweptWorld(folder, layout).patch, Item(7, 100, 100));
     },
     ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) { Freeze(folder, layout, s, log, p, ItemFileStyle::Uox3, true); }},
    {"DiffGeneration",
     [](const std::string& folder, Layout layout) {
         BuildDiffWorlds(folder, layout, true, false, false);
     },
     [](const std::string& folder, Layout layout) {
         return DiffWorldsIn(folder, layout).original.staidx;
     },
     [](const std::string& folder, Layout layout, ProgramState&, const LogSink& log, Progress&) {
         const DiffFolder w = DiffWorldsIn(folder, layout);
         NullDiffProgress quiet;
         GenerateDiff(w.original, w.modified, w.diffPath, {}, quiet, log);
     }},
    {"DiffApplication",
     [](const std::string& folder, Layout layout) {
         BuildDiffWorlds(folder, layout, false, true, true);
     },
     [](const std::string& folder, Layout layout) {
         return DiffWorldsIn(folder, layout).target.staidx;
     },
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log, Progress&) {
         const DiffFolder w = DiffWorldsIn(folder, layout);
         NullDiffProgress quiet;
         AppliedDiff applied = ApplyDiff(w.original, w.target, w.diffPath, quiet, log);
         ASSERT_TRUE(applied.applied);
         TakeWrittenIndex(s, w.target.staidx, applied);
     }},
    {"FillClear",
     [](const std::string& folder, Layout layout) {
         // Block (2, 5) is partly inside, so runs are appended before the index and the map
         // are staged; block (3, 6) is wholly inside.
         BuildItemWorld(folder, layout);
         test::MakeSparseMap(SweptWorld(folder, layout).map);
     },
     ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) {
         const SweptWorld w(folder, layout);
         FillClear(s, test::SmallRectangle(w.staidx, w.statics, w.map), p, log);
     }},
    {"Compaction",
     [](const std::string& folder, Layout layout) {
         // Block (2, 5) moves to a new run at the end, which leaves its first one dead.
         BuildItemWorld(folder, layout);
         const SweptWorld w(folder, layout);
         test::PutStaticBlock(w.staidx, w.statics, 2, 5, {{8, 1, 1, 0, 0}});
     },
     ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) {
         const SweptWorld w(folder, layout);
         CompactionReport report = CompactStatics(w.staidx, w.statics, p, log);
         TakeCompactedIndex(s, w.staidx, report);
     }},
    {"FillClearOfAContainer", BuildContainerWorld, ContainerWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) {
         const ContainerWorld w(folder, layout);
         FillClearRequest r;
         r.StaIdxPath = w.staidx;
         r.StaticsPath = w.statics;
         r.MapPath = w.map;
         r.Left = 17;
         r.Top = 40;
         r.Right = 1440;
         r.Bottom = 1447;
         r.Tile = {6, 0};
         FillClear(s, r, p, log);
     }},
    {"DiffApplicationToAContainer", BuildContainerDiff,
     [](const std::string& folder, Layout layout) { return SmallTarget(folder, layout).staidx; },
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log, Progress&) {
         NullDiffProgress quiet;
         const WorldFileSet target = SmallTarget(folder, layout);
         AppliedDiff applied =
             ApplyDiff(SmallOriginal(folder), target, folder + "/small.lw2", quiet, log);
         ASSERT_TRUE(applied.applied);
         TakeWrittenIndex(s, target.staidx, applied);
     }},
    {"ConvertToAPlainMap", BuildContainerWorld, ContainerWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState&, const LogSink& log, Progress&) {
         ConvertMap(ContainerWorld(folder, layout).map, PlainMapBeside(folder, layout), false, log);
     }},
    {"ConvertOverAContainer", BuildContainerAndPlainMap, ContainerWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState&, const LogSink& log, Progress&) {
         ConvertMap(PlainMapBeside(folder, layout), ContainerWorld(folder, layout).map, true, log);
     }},
    {"MeltKeepingARestorePoint", BuildItemWorld, ItemWorldIndex, MeltKeepingARestorePoint, true},
    {"RestoreOfAMelt",
     [](const std::string& folder, Layout layout) {
         BuildItemWorld(folder, layout);
         ProgramState state;
         NullProgress quiet;
         LoadStaticIndex(state, ItemWorldIndex(folder, layout), quiet);
         MeltKeepingARestorePoint(folder, layout, state, DiscardLog, quiet);
     },
     ItemWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState& s, const LogSink& log,
        Progress& p) {
         KeepingARestorePoint([&] { RestoreFiles(1, {folder}, log); });
         LoadStaticIndex(s, ItemWorldIndex(folder, layout), p); // the index the restore wrote
     },
     true},
    {"PaintInAContainer", BuildContainerWorld, ContainerWorldIndex,
     [](const std::string& folder, Layout layout, ProgramState&, const LogSink&, Progress&) {
         WriteMapCell(ContainerWorld(folder, layout).map, 1000, 1000, {0x0EED, 9});
     }},
};

// ---- The sweep ----

enum class Fault { Write, Sync, Rename };

const char* NameOf(Fault fault) {
    return fault == Fault::Write ? "write" : fault == Fault::Sync ? "sync" : "rename";
}

void Arm(Fault fault, int n) {
    if (fault == Fault::Write)
        FileFaults::FailNthWrite(n);
    else if (fault == Fault::Sync)
        FileFaults::FailNthSync(n);
    else
        FileFaults::FailNthRename(n);
}

struct RunResult {
    std::string error; // empty: completed
};

// Runs the operation on a program state that has the folder's index loaded, as the program
// would; the state stays the caller's for a retry.
RunResult RunOnce(const SweptOperation& operation, Layout layout, const std::string& folder,
                  ProgramState& state) {
    RunResult result;
    NullProgress quiet;
    try {
        operation.run(folder, layout, state, DiscardLog, quiet);
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    return result;
}

std::unique_ptr<ProgramState> LoadedState(const SweptOperation& operation, Layout layout,
                                          const std::string& folder) {
    auto state = std::make_unique<ProgramState>();
    NullProgress quiet;
    LoadStaticIndex(*state, operation.loadedIndex(folder, layout), quiet);
    return state;
}

void ExpectIndexAgrees(const ProgramState& state, const std::string& indexPath) {
    EXPECT_TRUE(state.StaticIndex == test::ReadIndexFile(indexPath, state.StaticIndex.world()))
        << "the in-memory index differs from the file";
}

class FailureSweep : public ::testing::TestWithParam<std::tuple<SweptOperation, Layout>> {
protected:
    void TearDown() override { FileFaults::Reset(); }
};

TEST_P(FailureSweep, EveryWriteSyncAndRenameFailsSafely) {
    const auto& [operation, layout] = GetParam();
    const auto start = std::chrono::steady_clock::now();

    SweepFolder original;
    operation.build(original.path(), layout);
    const TreeHashes before = HashTree(original.path());

    // The undisturbed run: the result every retry must reach, and the places a fault can fall.
    SweepFolder reference;
    CopyTree(original.path(), reference.path());
    auto referenceState = LoadedState(operation, layout, reference.path());
    FileFaults::Reset();
    const RunResult undisturbed = RunOnce(operation, layout, reference.path(), *referenceState);
    const FileFaults::Seen seen = FileFaults::Counted();
    ASSERT_EQ(undisturbed.error, "");
    ExpectNoLeftovers(reference.path());
    ExpectIndexAgrees(*referenceState, operation.loadedIndex(reference.path(), layout));
    const TreeHashes after = HashTree(reference.path());
    ASSERT_NE(after, before) << "the operation changed nothing";

    const int folders = layout == OneFolder ? 1 : 3; // each has a journal to remove at the end
    int points = 0;
    int absorbed = 0;
    for (const Fault fault : {Fault::Write, Fault::Sync, Fault::Rename}) {
        const int count = fault == Fault::Write  ? seen.writes
                          : fault == Fault::Sync ? seen.syncs
                                                 : seen.renames;
        // Over three folders the writes before the journals' are those of one folder, swept
        // there already; the journals' writes are the last.
        const int first =
            fault == Fault::Write && layout != OneFolder ? std::max(1, count - 2 * folders) : 1;
        for (int n = first; n <= count; ++n) {
            for (const int err : {ENOSPC, EIO}) {
                SCOPED_TRACE(std::string(NameOf(fault)) + " " + std::to_string(n) + " of " +
                             std::to_string(count) + " failing with " + std::strerror(err));
                ++points;
                SweepFolder copy;
                CopyTree(original.path(), copy.path());
                auto state = LoadedState(operation, layout, copy.path());
                FileFaults::Reset();
                FileFaults::FailWithErrno(err);
                Arm(fault, n);
                const RunResult failed = RunOnce(operation, layout, copy.path(), *state);
                FileFaults::Reset();

                EXPECT_EQ(FileFaults::OpenHandles(), 0);
                ExpectNoLeftovers(copy.path());
                ExpectIndexAgrees(*state, operation.loadedIndex(copy.path(), layout));
                if (failed.error.empty()) {
                    // Only a folder sync after the last rename is let pass, as the journals go:
                    // the new files are in place, synced, and complete; or, for an operation
                    // that keeps a restore point, any failure in keeping it, which leaves the
                    // new files without it.
                    ++absorbed;
                    const TreeHashes now = HashTree(copy.path());
                    if (operation.keepsRestorePoint) {
                        ExpectSameTree(PartOf(now, false), PartOf(after, false),
                                       "after an absorbed failure");
                        EXPECT_TRUE(PartOf(now, true) == PartOf(after, true) ||
                                    PartOf(now, true) == PartOf(before, true))
                            << "a restore point was left half made";
                        continue;
                    }
                    ExpectSameTree(now, after, "after an absorbed failure");
                    EXPECT_EQ(fault, Fault::Sync);
                    EXPECT_GT(n, count - folders) << "a failure was taken for success";
                    continue;
                }
                EXPECT_EQ(failed.error, IoError::textFor(IoCodeFromErrno(err)));
                ExpectSameTree(HashTree(copy.path()), before, "after the failure");

                const RunResult retried = RunOnce(operation, layout, copy.path(), *state);
                EXPECT_EQ(retried.error, "");
                ExpectSameTree(HashTree(copy.path()), after, "after the retry");
                ExpectNoLeftovers(copy.path());
                ExpectIndexAgrees(*state, operation.loadedIndex(copy.path(), layout));
                if (HasFailure())
                    return;
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "sweep " << operation.name << (layout == OneFolder ? "" : " in three folders")
              << ": " << seen.writes << " writes, " << seen.syncs << " syncs, " << seen.renames
              << " renames, " << points << " injection points (" << absorbed << " absorbed), "
              << seconds << " s\n";
    RecordProperty("injection_points", points);
}

// Every operation in one folder, and those that write several files in three (a restore point
// over several folders is the restore tests' part).
std::vector<std::tuple<SweptOperation, Layout>> SweptLayouts() {
    std::vector<std::tuple<SweptOperation, Layout>> cases;
    for (const SweptOperation& operation : kOperations)
        cases.emplace_back(operation, OneFolder);
    for (const SweptOperation& operation : kOperations)
        if (std::string(operation.name) != "DiffGeneration" &&
            !std::string(operation.name).starts_with("Convert") &&
            std::string(operation.name) != "PaintInAContainer" && !operation.keepsRestorePoint)
            cases.emplace_back(operation, ThreeFolders);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperationThatWrites, FailureSweep, ::testing::ValuesIn(SweptLayouts()),
    [](const ::testing::TestParamInfo<std::tuple<SweptOperation, Layout>>& param) {
        return std::string(std::get<0>(param.param).name) +
               (std::get<1>(param.param) == OneFolder ? "" : "InThreeFolders");
    });

} // namespace
} // namespace lw
