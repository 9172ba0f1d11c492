// Worlds as operators keep them, after a run was killed at a named step: the world files and the
// item file in folders of their own, a server that saves after the kill, the same files reached
// through two folders, a folder moved or copied before the next run, a reader of a torn world,
// users' files that look like ours, a journal from elsewhere, a diff damaged on its way. Every
// item stays present exactly once and every user file stays, or the run refuses, changing
// nothing, and says what to do.
#ifndef _WIN32
#include "diff/ApplyDiff.h"
#include "diff/DiffFormat.h"
#include "items/MeltBlocks.h"
#include "support/ChildProcess.h"
#include "support/FolderSnapshot.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "support/WorldItems.h"
#include "util/ContentDigest.h"
#include "util/File.h"
#include "util/JournalFile.h"
#include "util/OperationFiles.h"
#include "util/ReplacementJournal.h"
#include "world/FileRoles.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lw {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using test::ReadWholeFile;
using test::WriteWholeFile;
using Step = FileFaults::Step;

// A town's surroundings in the demo world: some 5,800 statics.
const Args kMeltRange{"1400", "2100", "1500", "2000"};

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(LW_CLI_PATH, args);
}

std::string SavedItem() {
    return "SECTION WORLDITEM 900000\r\n{\r\nID 3821\r\nX 100\r\nY 100\r\nZ 5\r\nCONT -1\r\n"
           "TYPE 0\r\n}\r\n";
}

// The index, statics and item file of a world, wherever each lies.
struct World {
    std::string staidx, statics, items;
    test::Items items_() const { return test::WorldItems(staidx, statics, items); }
    Args listing() const {
        Args args{"list-block", "--staidx", staidx, "--statics", statics};
        args.insert(args.end(), kMeltRange.begin(), kMeltRange.end());
        return args;
    }
    // Melts the town in this process: a child runs it to be killed at a step.
    void melt(ItemFileStyle style) const {
        ProgramState state;
        NullProgress progress;
        LoadStaticIndex(state, staidx, progress);
        MeltRequest r{staidx, statics, items, style, {}};
        r.range = ParseBlockRange({kMeltRange[0], kMeltRange[1], kMeltRange[2], kMeltRange[3]});
        MeltBlocks(state, r, DiscardLog, progress);
    }
};

class InterruptedOperationCliTest : public ::testing::Test {
protected:
    // The demo world, and a diff of it against a filled and cleared copy.
    static void SetUpTestSuite() {
        demo_ = new test::TempDir;
        ASSERT_EQ(Cli({"demo-world", demo_->path()}).exitCode, 0);
        const std::string modified = demo_->file("modified");
        fs::create_directory(modified);
        for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"})
            fs::copy_file(demo_->file(name), modified + "/" + name);
        ASSERT_EQ(
            Cli({"fill-clear", "--staidx", modified + "/staidx0.mul", "--statics",
                 modified + "/statics0.mul", "--map", modified + "/map0.mul", "--left", "1450",
                 "--right", "1800", "--top", "1550", "--bottom", "1900", "--tile", "Random grass"})
                .exitCode,
            0);
        ASSERT_EQ(Cli({"diff-generate", "--original-staidx", demo_->file("staidx0.mul"),
                       "--original-statics", demo_->file("statics0.mul"), "--original-map",
                       demo_->file("map0.mul"), "--staidx", modified + "/staidx0.mul", "--statics",
                       modified + "/statics0.mul", "--map", modified + "/map0.mul", "--out",
                       demo_->file("world.lw2")})
                      .exitCode,
                  0);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static std::string demo(const std::string& name) { return demo_->file(name); }

    // The demo's files copied where the world keeps them.
    World worldIn(const std::string& index, const std::string& statics, const std::string& items,
                  const char* itemFile = "statics.cfg") const {
        for (const std::string& folder : {index, statics, items})
            fs::create_directories(folder);
        const World world{index + "/staidx0.mul", statics + "/statics0.mul",
                          items + "/" + itemFile};
        fs::copy_file(demo("staidx0.mul"), world.staidx);
        fs::copy_file(demo("statics0.mul"), world.statics);
        fs::copy_file(demo(itemFile), world.items);
        return world;
    }
    static WorldFileSet originals() {
        return {demo("staidx0.mul"), demo("statics0.mul"), demo("map0.mul")};
    }
    static WorldFileSet targetsIn(const std::string& index, const std::string& statics,
                                  const std::string& map) {
        for (const std::string& folder : {index, statics, map})
            fs::create_directories(folder);
        const WorldFileSet set{index + "/staidx0.mul", statics + "/statics0.mul",
                               map + "/map0.mul"};
        fs::copy_file(demo("staidx0.mul"), set.staidx);
        fs::copy_file(demo("statics0.mul"), set.statics);
        fs::copy_file(demo("map0.mul"), set.map);
        return set;
    }
    // A diff application that a kill at the step ends.
    static void applyKilled(const WorldFileSet& target, Step step, int n) {
        ASSERT_TRUE(test::RunInChild([&] {
                        FileFaults::KillAtStep(step, n);
                        NullDiffProgress progress;
                        ApplyDiff(originals(), target, demo("world.lw2"), progress);
                    }).killed);
    }
    // What list-block shows of the modified world: what a completed application gives.
    static std::string modifiedListing() {
        World modified{demo("modified/staidx0.mul"), demo("modified/statics0.mul"), {}};
        const auto r = Cli(modified.listing());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }

    static test::TempDir* demo_;
    test::TempDir dir;
};

test::TempDir* InterruptedOperationCliTest::demo_ = nullptr;

// 1. Melt over three folders, killed after both renames and before the journals go; a later run
// on the index's folder alone repairs the item file's folder too.
TEST_F(InterruptedOperationCliTest, AMeltOverThreeFoldersKilledBeforeItsJournalsGoLosesNoItem) {
    const World world = worldIn(dir.file("client"), dir.file("statics"), dir.file("server"));
    const test::Items before = world.items_();
    ASSERT_TRUE(test::RunInChild([&] {
                    FileFaults::KillAtStep(Step::RemoveJournal, 1);
                    world.melt(ItemFileStyle::Pol);
                }).killed);

    // A fill-clear of an empty corner of the sea, on the index and statics only.
    ASSERT_EQ(Cli({"list-block", "--staidx", demo("staidx0.mul"), "--statics", demo("statics0.mul"),
                   "0", "7", "0", "7"})
                  .out,
              "");
    const auto r = Cli({"fill-clear", "--no-map", "--staidx", world.staidx, "--statics",
                        world.statics, "--map", dir.file("none.mul"), "--left", "0", "--right", "7",
                        "--top", "0", "--bottom", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Recovered an interrupted operation"), std::string::npos) << r.out;
    EXPECT_EQ(world.items_(), before);
    for (const char* folder : {"client", "server"})
        EXPECT_TRUE(FindJournals(dir.file(folder)).empty()) << folder;
    EXPECT_EQ(test::Snapshot(dir.file("server")).size(), 1u); // the item file, nothing of ours
}

// 2. Melt into a UOX3 items.wsc killed at its second rename; the server then saves items.wsc
// (a new section, written to a temporary file and renamed); then a read-only list-block.
TEST_F(InterruptedOperationCliTest, AServerSaveAfterTheKillIsKeptAndNamed) {
    const World world = worldIn(dir.file("w"), dir.file("w"), dir.file("w"), "items.wsc");
    test::Items expected = world.items_();
    ASSERT_TRUE(test::RunInChild([&] {
                    FileFaults::KillAtStep(Step::Replace, 2);
                    world.melt(ItemFileStyle::Uox3);
                }).killed);
    const std::string save = ReadWholeFile(world.items) + SavedItem();
    WriteWholeFile(dir.file("w/items.tmp"), save);
    fs::rename(dir.file("w/items.tmp"), world.items);

    const auto r = Cli(world.listing());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(world.items), save);
    EXPECT_NE(r.err.find(world.items +
                         " had been changed since the operation was interrupted, so "
                         "it is left as it is; its content from before the "
                         "operation is kept in " +
                         world.items + ".lw-saved-old-"),
              std::string::npos)
        << r.err;
    // The melted items are in the server's save, and no longer in the statics.
    expected.push_back({3821, 100, 100, 5, 0});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(world.items_(), expected);
    EXPECT_TRUE(FindJournals(dir.file("w")).empty());
}

// 3. The same files hard-linked into two folders (or reached through a linked folder, or a bind
// mount): a second operation is refused at once, whichever path it takes.
TEST_F(InterruptedOperationCliTest, TwoRunsOnOneFileThroughAnyTwoPathsExcludeEachOther) {
    const World a = worldIn(dir.file("a"), dir.file("a"), dir.file("a"));
    fs::create_directory(dir.file("b"));
    const World b{dir.file("b/staidx0.mul"), dir.file("b/statics0.mul"), dir.file("b/statics.cfg")};
    for (const auto& [from, to] : {std::pair{a.staidx, b.staidx}, std::pair{a.statics, b.statics},
                                   std::pair{a.items, b.items}})
        fs::create_hard_link(from, to);
    fs::create_directory_symlink(dir.file("a"), dir.file("link"));
    const auto before = test::Snapshot(dir.file("a"));
    const test::WaitingChild melt([&](const std::function<void()>& ready) {
        const OperationFiles files({{kStaticsIndexRole, a.staidx, FileUse::Write},
                                    {kStaticsFileRole, a.statics, FileUse::Read},
                                    {kItemFileRole, a.items, FileUse::Write}},
                                   DiscardLog);
        ready();
    });
    const std::string held = " (process " + std::to_string(melt.pid()) + ")";
    const auto freezeIn = [](const std::string& folder) -> Args {
        return {"freeze",
                "--staidx",
                folder + "/staidx0.mul",
                "--statics",
                folder + "/statics0.mul",
                "--items",
                folder + "/statics.cfg"};
    };
    for (const std::string& folder : {dir.file("b"), dir.file("link")}) {
        SCOPED_TRACE(folder);
        const auto r = Cli(freezeIn(folder));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.lastErrLine(), "Another Loamwright operation is using " + folder +
                                       "/staidx0.mul" + held +
                                       ". Wait until it has finished, then try again.");
    }
    const auto mounted = test::RunWithOwnMounts([&] {
        fs::create_directory(dir.file("mounted"));
        test::BindMount(dir.file("a"), dir.file("mounted"));
        const auto r = Cli(freezeIn(dir.file("mounted")));
        if (r.exitCode != 1 || r.lastErrLine().find("Another Loamwright operation is using " +
                                                    dir.file("mounted")) != 0)
            throw std::runtime_error(r.err);
    });
    if (mounted) {
        EXPECT_EQ(mounted->exitCode, 0) << "a run through a bind mount went ahead";
    }
    test::ExpectSameFiles(test::Snapshot(dir.file("a")), before);
}

// 4. A diff application killed at its second rename; the folder is then moved (or its disk
// mounted elsewhere, which is the same to it), or copied with cp -a.
TEST_F(InterruptedOperationCliTest, AWorldMovedOrCopiedAfterAKillRepairsItself) {
    const std::string expected = modifiedListing();
    const auto listingOf = [](const std::string& folder) {
        return Cli({"list-block", "--staidx", folder + "/staidx0.mul", "--statics",
                    folder + "/statics0.mul", kMeltRange[0], kMeltRange[1], kMeltRange[2],
                    kMeltRange[3]});
    };
    // Moved.
    applyKilled(targetsIn(dir.file("w"), dir.file("w"), dir.file("w")), Step::Replace, 2);
    fs::rename(dir.file("w"), dir.file("moved"));
    auto r = listingOf(dir.file("moved"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(FindJournals(dir.file("moved")).empty());

    // Copied: the copy repairs itself and leaves the original alone, which repairs itself next.
    applyKilled(targetsIn(dir.file("w"), dir.file("w"), dir.file("w")), Step::Replace, 2);
    ASSERT_EQ(test::RunProgram("/bin/cp", {"-a", dir.file("w"), dir.file("copy")}).exitCode, 0);
    const auto original = test::Snapshot(dir.file("w"));
    r = listingOf(dir.file("copy"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(FindJournals(dir.file("copy")).empty());
    test::ExpectSameFiles(test::Snapshot(dir.file("w")), original);
    r = listingOf(dir.file("w"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(FindJournals(dir.file("w")).empty());
}

// 5. A diff application with the index in one folder and the statics in another, killed at its
// second rename: no reader (a listing, the check, the look at a diff beside it, a picture or a
// conversion of its map) shows the torn world. One who may write there repairs it first; one
// who may not refuses, changes nothing, and names the command that repairs it.
TEST_F(InterruptedOperationCliTest, ATornWorldIsNeverListed) {
    const std::string expected = modifiedListing();
    const WorldFileSet target = targetsIn(dir.file("a"), dir.file("b"), dir.file("c"));
    applyKilled(target, Step::Replace, 2);
    const Args listing{"list-block",  "--staidx",    target.staidx, "--statics",  target.statics,
                       kMeltRange[0], kMeltRange[1], kMeltRange[2], kMeltRange[3]};

    if (::geteuid() == 0) { // readers without root's rights
        const std::string images = dir.file("images"), out = dir.file("out");
        fs::create_directory(images);
        for (const char* name : {"texidx.mul", "texmaps.mul", "artidx.mul", "art.mul"})
            fs::copy_file(demo(name), images + "/" + name);
        fs::copy_file(demo("world.lw2"), dir.file("world.lw2"));
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
        ::chmod(dir.path().c_str(), 0755);
        fs::create_directory(out);
        ::chmod(out.c_str(), 0777); // where their pictures and maps may go
        const Args readers[] = {
            listing,
            {"check", "--staidx", target.staidx, "--statics", target.statics, "--map", target.map},
            {"diff-info", "--diff", dir.file("world.lw2"), "--original-staidx", target.staidx,
             "--original-statics", target.statics, "--original-map", target.map},
            {"render", "--map", target.map, "--images", images, "--scale", "64", "--out",
             out + "/map.png"},
            {"convert", "--to", "uop", target.map, out + "/map0LegacyMUL.uop"},
        };
        for (const Args& reader : readers) {
            SCOPED_TRACE(reader[0]);
            const auto before = test::Snapshot(dir.file("a")),
                       beforeB = test::Snapshot(dir.file("b")),
                       beforeC = test::Snapshot(dir.file("c"));
            const auto r = test::RunProgramAs(65534, LW_CLI_PATH, reader);
            EXPECT_EQ(r.exitCode, reader[0] == "check" ? 2 : 1) << r.out;
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.lastErrLine().find("were left half changed by an interrupted operation"),
                      std::string::npos)
                << r.err;
            EXPECT_NE(r.lastErrLine().find("Run \"loamwright-cli recover "), std::string::npos);
            test::ExpectSameFiles(test::Snapshot(dir.file("a")), before);
            test::ExpectSameFiles(test::Snapshot(dir.file("b")), beforeB);
            test::ExpectSameFiles(test::Snapshot(dir.file("c")), beforeC);
            EXPECT_TRUE(fs::is_empty(out));
        }
    }
    const auto r = Cli(listing);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    for (const char* folder : {"a", "b", "c"})
        EXPECT_TRUE(FindJournals(dir.file(folder)).empty()) << folder;

    // The world check, where it may write, repairs first too and says so in its report.
    const WorldFileSet again = targetsIn(dir.file("d"), dir.file("e"), dir.file("f"));
    applyKilled(again, Step::Replace, 2);
    const auto checked = Cli({"check", "--json", "--staidx", again.staidx, "--statics",
                              again.statics, "--map", again.map});
    EXPECT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_NE(checked.out.find("\"log\": [\"Recovered an interrupted operation: "),
              std::string::npos)
        << checked.out;
    EXPECT_EQ(Cli({"list-block", "--staidx", again.staidx, "--statics", again.statics,
                   kMeltRange[0], kMeltRange[1], kMeltRange[2], kMeltRange[3]})
                  .out,
              expected);
}

// 6. Files of the user that begin like the names this program gives its own.
TEST_F(InterruptedOperationCliTest, UsersFilesThatLookLikeOursStay) {
    const World world = worldIn(dir.path(), dir.path(), dir.path());
    const std::vector<std::string> users{"statics.cfg.lw-old-backup", "staidx0.mul.lw-new-mine.bak",
                                         "statics.cfg.lw-old-0123456789ab.bak"};
    for (const std::string& name : users)
        WriteWholeFile(dir.file(name), "the user's");
    const auto r = Cli({"melt", "--staidx", world.staidx, "--statics", world.statics, "--items",
                        world.items, "0", "0", "0", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const std::string& name : users)
        EXPECT_EQ(ReadWholeFile(dir.file(name)), "the user's") << name;
}

// 7. A journal placed in a world folder that names a file elsewhere: by its full path (as an
// earlier version wrote them), or by a name that leaves the folder.
TEST_F(InterruptedOperationCliTest, AJournalNamingAFileElsewhereIsNeverActedUpon) {
    const World world = worldIn(dir.file("w"), dir.file("w"), dir.file("w"));
    fs::create_directory(dir.file("other"));
    WriteWholeFile(dir.file("other/precious.txt"), "precious");
    Journal hostile;
    hostile.operation = std::string(32, 'a');
    hostile.folders = {dir.file("w")};
    JournalEntry entry;
    entry.target = "../other/precious.txt";
    entry.staged = entry.target + ".lw-new-0123456789ab";
    entry.fresh = {true, 8, true, DigestOf("precious"), {}};
    hostile.entries = {entry};
    const struct {
        std::string journal;
        std::string bytes;
        const char* says;
    } cases[] = {
        {dir.file("w/staidx0.mul.lw-journal-0123456789ab"),
         std::string("Loamwright replacement journal 1") + '\0' + "rename" + '\0' + world.staidx +
             '\0' + dir.file("other/precious.txt") + '\0' + '\0' + "end" + '\0',
         "was left by an earlier Loamwright version"},
        {dir.file("w/.loamwright-journal"), EncodeJournal(hostile),
         "names a file outside its folder (\"../other/precious.txt\")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.journal);
        WriteWholeFile(c.journal, c.bytes);
        const auto before = test::Snapshot(dir.file("w"));
        const auto r = Cli(world.listing());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.lastErrLine().rfind("The journal " + c.journal + " ", 0), 0u) << r.err;
        EXPECT_NE(r.lastErrLine().find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(ReadWholeFile(dir.file("other/precious.txt")), "precious");
        test::ExpectSameFiles(test::Snapshot(dir.file("w")), before);
        fs::remove(c.journal);
    }
}

// A diff with one byte of its map data changed on its way to the player.
TEST_F(InterruptedOperationCliTest, ADamagedDiffIsRefusedBeforeAnythingIsWritten) {
    const WorldFileSet sealed = targetsIn(dir.file("s"), dir.file("s"), dir.file("s"));
    const WorldFileSet unsealed = targetsIn(dir.file("u"), dir.file("u"), dir.file("u"));
    const auto apply = [](const WorldFileSet& target, const std::string& diff) {
        return Cli({"diff-apply", "--original-staidx", demo("staidx0.mul"), "--original-statics",
                    demo("statics0.mul"), "--original-map", demo("map0.mul"), "--staidx",
                    target.staidx, "--statics", target.statics, "--map", target.map, "--diff",
                    diff});
    };
    std::string bytes = ReadWholeFile(demo("world.lw2"));
    DiffHeader header{};
    std::memcpy(&header, bytes.data(), sizeof header);
    const std::string damaged = dir.file("damaged.lw2");
    bytes[header.MapIndexOffset - 100] ^= 0x10; // a cell of the last changed map block
    WriteWholeFile(damaged, bytes);
    const auto before = test::Snapshot(dir.file("s"));
    auto r = apply(sealed, damaged);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lastErrLine(), "The diff file is damaged: its content does not match the "
                               "checksum it was written with, so it was changed on its way; get "
                               "the diff file again. Nothing was changed.");
    test::ExpectSameFiles(test::Snapshot(dir.file("s")), before);

    // Sound, it applies; without its trailer (as an earlier writer made it) the same, byte for
    // byte: readers go by the header's positions and never see the trailer.
    ASSERT_EQ(apply(sealed, demo("world.lw2")).exitCode, 0);
    bytes[header.MapIndexOffset - 100] ^= 0x10;
    bytes.resize(bytes.size() - 30);
    WriteWholeFile(damaged, bytes);
    r = apply(unsealed, damaged);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"})
        EXPECT_EQ(DigestOfFile(dir.file(std::string("s/") + name)),
                  DigestOfFile(dir.file(std::string("u/") + name)))
            << name;
}

} // namespace
} // namespace lw
#endif
