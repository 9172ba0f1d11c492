// Real kills of loamwright-cli's writing operations on large worlds: SIGKILL at moments spread
// over a run, then every item must still be somewhere, the files an operation changes together
// must be all old or all new, and the same command run again must work without any clean-up.
#ifndef _WIN32
#include "support/KillProgram.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "support/WorldItems.h"
#include "util/File.h"
#include "util/IntConv.h"
#include "util/Recovery.h"
#include "util/ReplacementJournal.h"
#include "world/Records.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace lw {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 20;

// --- What the files hold -------------------------------------------------------------------

using test::AddItemFile;
using test::AddStatics;
using test::ExpectNoItemLost;
using test::Items;

// The records of every block with the block numbers: what the world holds, whatever
// unreferenced bytes a killed run appended to the statics file.
std::string StaticsContent(const std::string& index, const std::string& statics) {
    std::string content;
    const bool sound = test::ForEachStaticsBlock(
        index, statics, [&](int block, const char* records, std::size_t length) {
            content.append(reinterpret_cast<const char*>(&block), sizeof block);
            content.append(records, length);
        });
    return sound ? content : "broken";
}

// The blocks whose index entries differ: the only blocks whose statics an operation moves.
std::vector<bool> ChangedBlocks(const std::string& index, const std::string& otherIndex) {
    std::vector<bool> changed(kBlockCount);
    for (std::size_t block = 0; block < changed.size(); ++block)
        changed[block] = index.compare(block * kIndexEntrySize, kIndexEntrySize, otherIndex,
                                       block * kIndexEntrySize, kIndexEntrySize) != 0;
    return changed;
}

std::optional<std::string> RawFile(const std::string& path) {
    return fs::exists(path) ? std::optional(path) : std::nullopt;
}

// Where the operation's files lie in a run's folder: all in it, or the world files and the item
// file each in a folder of their own, as a server and a client keep them.
using Layout = std::string (*)(const std::string& folder, const std::string& name);

std::string OneFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::string ThreeFolders(const std::string& folder, const std::string& name) {
    const char* sub = name.starts_with("staidx")    ? "index"
                      : name.starts_with("statics") ? "statics"
                                                    : "other";
    return folder + "/" + sub + "/" + name;
}

std::vector<std::string> FoldersOf(const std::string& folder, Layout layout,
                                   const std::vector<std::string>& names) {
    std::set<std::string> folders;
    for (const std::string& name : names)
        folders.insert(fs::path(layout(folder, name)).parent_path().string());
    return {folders.begin(), folders.end()};
}

// What whoever opens the files next finds at each path: a journal left by a killed run is
// completed or undone first, so the file that then holds a target's content is the one recovery
// would put there (its preview, which changes nothing).
class NextView {
public:
    explicit NextView(const std::vector<std::string>& folders) {
        LockSet locks;
        InterruptedOperations found(locks, DiscardLog);
        for (const std::string& folder : folders)
            found.look(folder, false);
        for (const auto& outcome : found.preview())
            content_[fs::weakly_canonical(outcome.target).string()] = outcome.content;
    }
    std::optional<std::string> operator()(const std::string& path) const {
        const auto it = content_.find(fs::weakly_canonical(path).string());
        return it == content_.end() ? RawFile(path) : it->second;
    }

private:
    std::map<std::string, std::optional<std::string>> content_;
};

// Reads in pieces: a map file is 77 MB, read a few times for every kill.
std::size_t DigestOf(const std::optional<std::string>& path) {
    if (!path)
        return 0;
    static std::vector<char> buffer(1 << 20);
    File file = File::OpenRead(*path);
    std::size_t digest = 1;
    while (const std::size_t got = file.readSome(buffer.data(), buffer.size()))
        digest = digest * 1000003 ^ std::hash<std::string_view>{}({buffer.data(), got});
    return digest;
}

using Locate = std::function<std::optional<std::string>(const std::string&)>;

// One digest per thing the user has: the statics as the index refers to them, and every other
// file by its bytes.
using Fingerprint = std::map<std::string, std::size_t>;

Fingerprint FingerprintOf(const std::string& folder, Layout layout,
                          const std::vector<std::string>& names, const Locate& locate) {
    Fingerprint print;
    for (const std::string& name : names) {
        const auto file = locate(layout(folder, name));
        if (name == "staidx0.mul") {
            continue;
        } else if (name == "statics0.mul") {
            const auto index = locate(layout(folder, "staidx0.mul"));
            print["statics"] =
                file && index ? std::hash<std::string>{}(StaticsContent(test::ReadWholeFile(*index),
                                                                        test::ReadWholeFile(*file)))
                              : 0;
        } else {
            print[name] = DigestOf(file);
        }
    }
    return print;
}

// Every item of the item file and of the statics of blocks, sorted. (The statics of the other
// blocks do not move; the comparison of the statics as a whole watches them.)
Items ItemsOf(const std::string& folder, Layout layout, const std::vector<bool>& blocks) {
    Items items;
    if (fs::exists(layout(folder, "items.wsc")))
        AddItemFile(test::ReadWholeFile(layout(folder, "items.wsc")), items);
    AddStatics(test::ReadWholeFile(layout(folder, "staidx0.mul")),
               test::ReadWholeFile(layout(folder, "statics0.mul")), blocks, items);
    std::sort(items.begin(), items.end());
    return items;
}

// Every file below folder, by relative path.
// The restore points a run keeps differ with where it was killed (the new state may come with
// or without its point); only a point left half made counts, by its marked name.
std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (name.find(".loamwright") == std::string::npos || name.find(".lw-") != std::string::npos)
            names.insert(name);
    }
    return names;
}

bool AnyJournal(const std::vector<std::string>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [](const std::string& folder) { return !FindJournals(folder).empty(); });
}

// --- The sweep -------------------------------------------------------------------------------

using Paths = std::function<std::string(const std::string& name)>;

struct Operation {
    std::string name;
    std::string source;             // the folder its inputs are copied from, fresh for each run
    std::vector<std::string> files; // the files of that folder it works on
    std::function<Args(const Paths& path)> args;
    bool movesItems = false; // melt and freeze: no item may be lost
};

// A diff of the demo world (in originals) and the diff-apply command that applies it.
struct DemoDiff {
    std::string path, originals;
    Args args(const Paths& target, const std::string& map) const {
        return {"diff-apply",
                "--staidx",
                target("staidx0.mul"),
                "--statics",
                target("statics0.mul"),
                "--map",
                target(map),
                "--diff",
                path,
                "--original-staidx",
                originals + "/staidx0.mul",
                "--original-statics",
                originals + "/statics0.mul",
                "--original-map",
                originals + "/map0.mul"};
    }
};

// When the kills come: two right at the start, the rest spread evenly over an undisturbed run and
// a little past it, since runs vary and the last moments (the renames) matter most.
std::chrono::microseconds KillMoment(int kill, std::chrono::microseconds undisturbed) {
    if (kill < 2)
        return std::chrono::microseconds(kill * 1000);
    const double share = 1.2 * (kill - 2 + 0.5) / (kKills - 2);
    return std::chrono::microseconds(static_cast<long long>(share * double(undisturbed.count())));
}

class KillCliTest : public ::testing::TestWithParam<Layout> {
protected:
    // The demo world, written once for every test here.
    static void SetUpTestSuite() {
        demo_ = new test::TempDir;
        const auto r = test::RunProgram(LW_CLI_PATH, {"demo-world", demo_->path()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static std::string demo(const std::string& name) { return demo_->file(name); }

    static Paths pathsIn(const std::string& folder, Layout layout) {
        return [folder, layout](const std::string& name) { return layout(folder, name); };
    }
    void copyInputs(const Operation& op, const std::string& folder, Layout layout) const {
        for (const std::string& name : op.files) {
            fs::create_directories(fs::path(layout(folder, name)).parent_path());
            if (fs::exists(op.source + "/" + name))
                fs::copy_file(op.source + "/" + name, layout(folder, name));
        }
    }
    // Runs op to the end in a fresh copy of its inputs, which is left in folder; returns how long
    // the run took.
    std::chrono::microseconds runUndisturbed(const Operation& op, const std::string& folder,
                                             Layout layout) const {
        copyInputs(op, folder, layout);
        const auto start = Clock::now();
        const auto r = test::RunProgram(LW_CLI_PATH, op.args(pathsIn(folder, layout)));
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return took;
    }

    void killSweep(const Operation& op);
    // The diff of the demo world against a filled and cleared copy of it.
    DemoDiff demoDiff();

    static test::TempDir* demo_;
    test::TempDir dir;
};

test::TempDir* KillCliTest::demo_ = nullptr;

void KillCliTest::killSweep(const Operation& op) {
    const Layout layout = GetParam();
    const std::string before = dir.file("before"), done = dir.file("undisturbed");
    copyInputs(op, before, layout);
    // The mean of two runs: a busy machine slows one down now and then.
    std::chrono::microseconds undisturbed{0};
    for (const std::string& folder : {dir.file("measured"), done})
        undisturbed += runUndisturbed(op, folder, layout) / 2;
    fs::remove_all(dir.file("measured"));
    const Fingerprint oldPrint = FingerprintOf(before, layout, op.files, RawFile);
    const Fingerprint newPrint = FingerprintOf(done, layout, op.files, RawFile);
    ASSERT_NE(oldPrint, newPrint) << "the operation changes nothing";
    const std::vector<bool> moving =
        ChangedBlocks(test::ReadWholeFile(layout(before, "staidx0.mul")),
                      test::ReadWholeFile(layout(done, "staidx0.mul")));
    const Items oldItems = op.movesItems ? ItemsOf(before, layout, moving) : Items{};
    ASSERT_EQ(op.movesItems, !oldItems.empty()) << "no items to watch";
    const std::set<std::string> sourceNames = NamesIn(op.source);

    int beforeTheEnd = 0, old = 0, fresh = 0, journals = 0, leftovers = 0, rerunsOk = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const auto moment = KillMoment(kill, undisturbed);
        SCOPED_TRACE(op.name + ", kill " + std::to_string(kill) + " after " +
                     std::to_string(moment.count()) + " us");
        const std::string folder = dir.file("run");
        const std::vector<std::string> folders = FoldersOf(folder, layout, op.files);
        copyInputs(op, folder, layout);
        const test::KilledRun run =
            test::RunAndKill(LW_CLI_PATH, op.args(pathsIn(folder, layout)), moment);
        if (run.killed)
            ++beforeTheEnd;
        else
            EXPECT_EQ(run.exitCode, 0);

        if (op.movesItems) // on the files as they are, before anyone repairs anything
            ExpectNoItemLost(oldItems, ItemsOf(folder, layout, moving));
        const bool journal = AnyJournal(folders);
        journals += journal;
        if (NamesIn(folder) != NamesIn(done))
            ++leftovers; // staged or kept files, a journal: the rerun must not trip over them
        const Fingerprint now = FingerprintOf(folder, layout, op.files, NextView(folders));
        if (now == oldPrint)
            ++old;
        else if (now == newPrint)
            ++fresh;
        else
            ADD_FAILURE() << "the files are neither all old nor all new";

        const auto rerun = test::RunProgram(LW_CLI_PATH, op.args(pathsIn(folder, layout)));
        EXPECT_EQ(rerun.exitCode, 0) << rerun.err;
        if (journal) {
            EXPECT_NE(rerun.out.find("Recovered an interrupted operation"), std::string::npos)
                << rerun.out;
        }
        const bool sameResult = FingerprintOf(folder, layout, op.files, RawFile) == newPrint;
        const bool noLeftovers = NamesIn(folder) == NamesIn(done);
        EXPECT_TRUE(sameResult) << "the rerun's result differs from an undisturbed run's";
        EXPECT_TRUE(noLeftovers) << "files were left behind or are missing";
        if (rerun.exitCode == 0 && sameResult && noLeftovers)
            ++rerunsOk;
        fs::remove_all(folder);
    }
    EXPECT_EQ(NamesIn(op.source), sourceNames) << "files were left beside the inputs";

    std::ostringstream line;
    line << "kill " << op.name << (layout == ThreeFolders ? " (three folders)" : "") << ": "
         << kKills << " kills, " << beforeTheEnd << " before the end, " << old << " old, " << fresh
         << " new, " << leftovers << " left files behind (" << journals << " a journal), reruns "
         << (rerunsOk == kKills ? "ok" : "FAILED") << " (run " << undisturbed.count() / 1000
         << " ms)";
    std::cout << line.str() << std::endl;
    RecordProperty("summary", line.str());
}

// --- The operations --------------------------------------------------------------------------

const std::vector<std::string> kItemFiles{"staidx0.mul", "statics0.mul", "items.wsc"};
// A town's surroundings: some 5,800 statics.
const Args kMeltRange{"1400", "2100", "1500", "2000"};

Args MeltArgs(const Paths& path) {
    Args args{"melt",    "--staidx",       path("staidx0.mul"), "--statics", path("statics0.mul"),
              "--items", path("items.wsc")};
    args.insert(args.end(), kMeltRange.begin(), kMeltRange.end());
    return args;
}

TEST_P(KillCliTest, Melt) {
    killSweep({"melt", demo_->path(), kItemFiles, MeltArgs, true});
}

TEST_P(KillCliTest, FreezeWithAPatchFile) {
    // The melted town goes back into the statics, and into a patch file that exists already.
    const std::string melted = dir.file("melted");
    runUndisturbed({"melt", demo_->path(), kItemFiles, MeltArgs}, melted, OneFolder);
    test::WriteWholeFile(melted + "/out.pat", "SECTION WORLDITEM 40\r\n{\r\n}\r\n");
    std::vector<std::string> files = kItemFiles;
    files.push_back("out.pat");
    killSweep({"freeze --pat", melted, files,
               [](const Paths& path) -> Args {
                   return {"freeze",
                           "--staidx",
                           path("staidx0.mul"),
                           "--statics",
                           path("statics0.mul"),
                           "--items",
                           path("items.wsc"),
                           "--pat",
                           path("out.pat")};
               },
               true});
}

const std::vector<std::string> kWorldFiles{"staidx0.mul", "statics0.mul", "map0.mul"};
const Args kFillClearFields{"--left",   "1000", "--right", "3000",         "--top",  "1000",
                            "--bottom", "2500", "--tile",  "Random grass", "--seed", "3"};

Args FillClearArgs(const Paths& path) {
    Args args{"fill-clear",         "--staidx", path("staidx0.mul"), "--statics",
              path("statics0.mul"), "--map",    path("map0.mul")};
    args.insert(args.end(), kFillClearFields.begin(), kFillClearFields.end());
    return args;
}

TEST_P(KillCliTest, FillClear) {
    killSweep({"fill-clear", demo_->path(), kWorldFiles, FillClearArgs});
}

TEST_P(KillCliTest, FillClearOfAContainer) {
    // The demo world with its map in a container, as later clients ship it.
    const std::string modern = dir.file("modern");
    const auto made = test::RunProgram(LW_CLI_PATH, {"demo-world", modern, "--uop"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    killSweep({"fill-clear of a container",
               modern,
               {"staidx0.mul", "statics0.mul", "map0LegacyMUL.uop"},
               [](const Paths& path) {
                   Args args = FillClearArgs(path);
                   args[6] = path("map0LegacyMUL.uop"); // after "--map"
                   return args;
               }});
}

DemoDiff KillCliTest::demoDiff() {
    const std::string modified = dir.file("modified");
    const DemoDiff diff{dir.file("world.lw2"), demo_->path()};
    runUndisturbed({"fill-clear", demo_->path(), kWorldFiles, FillClearArgs}, modified, OneFolder);
    const auto generated = test::RunProgram(
        LW_CLI_PATH, {"diff-generate", "--staidx", modified + "/staidx0.mul", "--statics",
                      modified + "/statics0.mul", "--map", modified + "/map0.mul", "--out",
                      diff.path, "--original-staidx", demo("staidx0.mul"), "--original-statics",
                      demo("statics0.mul"), "--original-map", demo("map0.mul")});
    EXPECT_EQ(generated.exitCode, 0) << generated.err;
    return diff;
}

TEST_P(KillCliTest, DiffApplication) {
    const DemoDiff diff = demoDiff();
    ASSERT_FALSE(HasFailure());
    killSweep({"diff-apply", demo_->path(), kWorldFiles,
               [&](const Paths& path) { return diff.args(path, "map0.mul"); }});
}

TEST_P(KillCliTest, DiffApplicationToAContainer) {
    const DemoDiff diff = demoDiff();
    ASSERT_FALSE(HasFailure());
    const std::string modern = dir.file("modern");
    const auto made = test::RunProgram(LW_CLI_PATH, {"demo-world", modern, "--uop"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    killSweep({"diff-apply to a container",
               modern,
               {"staidx0.mul", "statics0.mul", "map0LegacyMUL.uop"},
               [&](const Paths& path) { return diff.args(path, "map0LegacyMUL.uop"); }});
}

TEST_P(KillCliTest, Compaction) {
    // A fill/clear leaves dead space in the demo world's statics. The pair compacted is named for
    // facet 1, so that the sweep compares its files byte for byte: compaction keeps what the
    // index refers to, which is what it compares of facet 0's.
    const std::string fragmented = dir.file("fragmented");
    runUndisturbed({"fill-clear", demo_->path(), kWorldFiles, FillClearArgs}, fragmented,
                   OneFolder);
    fs::copy_file(fragmented + "/staidx0.mul", fragmented + "/staidx1.mul");
    fs::copy_file(fragmented + "/statics0.mul", fragmented + "/statics1.mul");
    killSweep(
        {"compact",
         fragmented,
         {"staidx0.mul", "staidx1.mul", "statics1.mul"},
         [](const Paths& path) -> Args {
             return {"compact", "--staidx", path("staidx1.mul"), "--statics", path("statics1.mul")};
         }});
}

INSTANTIATE_TEST_SUITE_P(Layouts, KillCliTest, ::testing::Values(OneFolder, ThreeFolders),
                         [](const ::testing::TestParamInfo<Layout>& param) {
                             return std::string(param.param == OneFolder ? "OneFolder"
                                                                         : "ThreeFolders");
                         });

} // namespace
} // namespace lw
#endif
