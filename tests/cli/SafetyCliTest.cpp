// What a hostile or unlucky user does with loamwright-cli on a world: one file named for two
// roles, a binary file as item file, links into the client folder, two runs at once, leftovers
// of a killed run. Each ends refused with nothing changed, or done on the files the user meant.
#include "support/ChildProcess.h"
#include "support/FolderSnapshot.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "util/FolderLock.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::RunProgram;
using test::WriteWholeFile;
using Args = std::vector<std::string>;

const char* const kItem = "SECTION WORLDITEM 4\r\n{\r\nID 3821\r\nX 19\r\nY 47\r\nZ -5\r\n"
                          "CONT -1\r\nTYPE 255\r\n}\r\n";

Args Concat(Args a, const Args& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class SafetyCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx, statics);
        test::PutStaticBlock(staidx, statics, 2, 5, {{0x0EED, 3, 7, -5, 0}});
        WriteWholeFile(items, kItem);
        WriteWholeFile(dir.file("map0.mul"), std::string(196, '\0'));
        WriteWholeFile(dir.file("binary.wsc"), std::string("SECTION WORLDITEM 1\r\n\0", 22));
    }
    static test::ProgramResult cli(const Args& args) { return RunProgram(LW_CLI_PATH, args); }
    Args world(const std::string& index, const std::string& stat, const std::string& item) const {
        return {"--staidx", index, "--statics", stat, "--items", item};
    }
    // A statics-only diff of the world against one with block (4, 4) added, in the folder.
    std::string makeDiff() {
        const test::TempDir modified;
        const std::string mi = modified.file("staidx0.mul"), ms = modified.file("statics0.mul");
        fs::copy_file(staidx, mi);
        fs::copy_file(statics, ms);
        test::PutStaticBlock(mi, ms, 4, 4, {{0x0EED, 1, 1, 0, 0}});
        const std::string diff = dir.file("world.lw2");
        const auto r =
            cli({"diff-generate", "--original-staidx", staidx, "--original-statics", statics,
                 "--original-map", dir.file("map0.mul"), "--staidx", mi, "--statics", ms, "--map",
                 dir.file("map0.mul"), "--no-map", "--out", diff});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return diff;
    }
    Args apply(const std::string& index, const std::string& stat, const std::string& diff) const {
        return {"diff-apply",
                "--original-staidx",
                staidx,
                "--original-statics",
                statics,
                "--original-map",
                dir.file("map0.mul"),
                "--staidx",
                index,
                "--statics",
                stat,
                "--map",
                dir.file("target-map.mul"),
                "--diff",
                diff};
    }
    void expectRefused(const Args& args, const std::string& message) {
        SCOPED_TRACE(args[0] + " " + message);
        const auto before = test::Snapshot(dir.path());
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << r.out;
        EXPECT_NE(r.lastErrLine().find(message), std::string::npos) << r.err;
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    }

    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                items = dir.file("items.wsc");
    std::string real(const std::string& path) const { return fs::canonical(path).string(); }
};

TEST_F(SafetyCliTest, OneFileInTwoRolesIsRefusedAndNothingChanges) {
    const std::string diff = makeDiff();
    const std::string target = dir.file("target.mul");
    WriteWholeFile(target, "");
    const struct {
        Args args;
        std::string message;
    } cases[] = {
        {Concat({"freeze"}, world(staidx, staidx, items)),
         "The statics index and the statics file are the same file: " + real(staidx)},
        {Concat({"melt"}, Concat(world(staidx, staidx, items), {"16", "23", "40", "47"})),
         "The statics index and the statics file are the same file: " + real(staidx)},
        {Concat({"freeze"}, world(staidx, statics, staidx)),
         "The WSC file cannot be the StaIdx or the Statics file!"},
        {apply(target, target, diff),
         "The target statics index and the target statics file are the same file"},
        {apply(statics, dir.file("new-statics.mul"), diff),
         "The original statics file and the target statics index are the same file: " +
             real(statics)},
        {apply(dir.file("new-staidx.mul"), diff, diff),
         "The diff file and the target statics file are the same file"},
    };
    for (const auto& c : cases)
        expectRefused(c.args, c.message);
}

TEST_F(SafetyCliTest, ItemAndPatchFilesMustBeText) {
    const std::string map = dir.file("map0.mul"), binary = dir.file("binary.wsc");
    const struct {
        Args args;
        std::string message;
    } cases[] = {
        {Concat({"melt"}, Concat(world(staidx, statics, map), {"16", "23", "40", "47"})),
         "The item file " + real(map) + " is a world file, not a text file."},
        {Concat({"freeze", "--pat", map}, world(staidx, statics, items)),
         "The patch file " + real(map) + " is a world file, not a text file."},
        {Concat({"melt"}, Concat(world(staidx, statics, binary), {"16", "23", "40", "47"})),
         "holds a NUL byte: it is not a text file."},
        {Concat({"freeze"}, world(staidx, statics, binary)),
         "holds a NUL byte: it is not a text file."},
    };
    for (const auto& c : cases)
        expectRefused(c.args, c.message);
}

TEST_F(SafetyCliTest, LinkedFilesStayLinksAndTheFilesTheyNameChange) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need extra rights on Windows";
#endif
    // The server folder links to the client's world files; the item file has a second name.
    const test::TempDir server;
    const std::string index = server.file("staidx0.mul"), stat = server.file("statics0.mul"),
                      item = server.file("items.wsc"), backup = server.file("items-backup.wsc");
    fs::create_symlink(staidx, index);
    fs::create_symlink(statics, stat);
    fs::rename(items, item);
    fs::create_hard_link(item, backup);

    const auto r = cli(Concat({"freeze"}, world(index, stat, item)));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(index));
    EXPECT_TRUE(fs::is_symlink(stat));
    EXPECT_EQ(test::ReadBlockRecords(staidx, statics, 2, 5).size(), 2u);
    EXPECT_EQ(ReadWholeFile(item).find("TYPE 255"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(backup), ReadWholeFile(item));
    EXPECT_EQ(fs::hard_link_count(item), 2u);
}

TEST_F(SafetyCliTest, ASecondOperationIsRefusedAtOnceAndChangesNothing) {
    const std::string diff = makeDiff();
#ifdef _WIN32
    // No fork there: this process holds the lock, the command line is the second process.
    const FolderLock lock(dir.path(), true, "the world");
    const std::string held = ""; // the Windows lock does not say who holds it
#else
    const test::WaitingChild other([&](const std::function<void()>& ready) {
        const FolderLock lock(dir.path(), true, "the world");
        ready();
    });
    const std::string held = " (process " + std::to_string(other.pid()) + ")";
#endif
    const auto started = std::chrono::steady_clock::now();
    expectRefused(Concat({"freeze"}, world(staidx, statics, items)),
                  "Another Loamwright operation is using " + staidx + held);
    expectRefused(Concat({"melt"}, Concat(world(staidx, statics, items), {"16", "23", "40", "47"})),
                  "Another Loamwright operation is using " + staidx + held);
    expectRefused(apply(dir.file("new-staidx.mul"), dir.file("new-statics.mul"), diff),
                  "Another Loamwright operation is using");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(SafetyCliTest, LeftoversOfAKilledRunNeitherBlockNorStay) {
    const Args leftovers{items + ".lw-new-0123456789ab", staidx + ".lw-new-42424242aaaa",
                         staidx + ".lw-old-4242cafe4242"};
    for (const std::string& path : leftovers)
        WriteWholeFile(path, "left by a killed run");
    const auto r = cli(Concat({"freeze"}, world(staidx, statics, items)));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Removed files left by an interrupted operation"), std::string::npos);
    for (const std::string& path : leftovers)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(test::ReadBlockRecords(staidx, statics, 2, 5).size(), 2u);
}

TEST_F(SafetyCliTest, SystemErrorsGetTheRuntimesTextByMeaning) {
    [[maybe_unused]] const std::string longName = dir.file(std::string(300, 'x') + ".wsc");
    const struct {
        std::string itemFile;
        std::string message;
    } cases[] = {
        {items + "/items.wsc", "E/A-Fehler 3"}, // ENOTDIR: path not found
#ifndef _WIN32 // a name too long for the folder is just not found there
        {longName, "E/A-Fehler " + std::to_string(30000 + ENAMETOOLONG)}, // not the bare errno
#endif
    };
    for (const auto& c : cases)
        expectRefused(
            Concat({"melt"}, Concat(world(staidx, statics, c.itemFile), {"16", "23", "40", "47"})),
            c.message);
}

#ifndef _WIN32 // POSIX's modes, programs, devices and mounts
// The line before the runtime's text names the file by the option that gave it and says what the
// system said, in words that tell what to do.
TEST_F(SafetyCliTest, EachRefusalNamesTheFileAndTheSystemsReason) {
    const std::string running = fs::canonical("/proc/self/exe").string(); // this test program
    fs::create_directory(dir.file("folder.wsc"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.wsc").c_str(), 0644), 0); // opened, it would wait forever
    const Args range{"16", "23", "40", "47"};
    const struct {
        std::string itemFile;
        std::string reason;
    } cases[] = {
        {running, "Text file busy (it is a program that is running)"},
        {"/dev/null", "it is a device, not a regular file"},
        {dir.file("folder.wsc"), "it is a folder, not a file"},
        {dir.file("pipe.wsc"), "it is a pipe or socket, not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.itemFile);
        const auto before = test::Snapshot(dir.path());
        const auto r = cli(Concat({"melt"}, Concat(world(staidx, statics, c.itemFile), range)));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("melt: --items " + c.itemFile + ": " + c.reason + "\n"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.lastErrLine(), "Dateizugriff verweigert");
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    }

    // A reader given a pipe is told so at once, rather than waiting for it forever.
    auto piped = cli({"list-block", "--staidx", dir.file("pipe.wsc"), "--statics", statics, "16",
                      "23", "40", "47"});
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_NE(piped.err.find("--staidx " + dir.file("pipe.wsc") +
                             ": it is a pipe or socket, not a regular file\n"),
              std::string::npos)
        << piped.err;

    // A folder in the place of the journal names itself.
    fs::create_directory(dir.file(".loamwright-journal"));
    auto r = cli({"list-block", "--staidx", staidx, "--statics", statics, "16", "23", "40", "47"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lastErrLine(), dir.file(".loamwright-journal") +
                                   " is a folder where Loamwright keeps the journal of an "
                                   "interrupted operation; nothing was changed. Move it out of "
                                   "the folder.");
    fs::remove(dir.file(".loamwright-journal"));

    // A read-only file system says so.
    const auto readOnly = test::RunWithOwnMounts([&] {
        const std::string mounted = dir.file("mounted");
        fs::create_directory(mounted);
        test::BindMount(dir.path(), mounted, true);
        const auto m =
            cli(Concat({"melt"}, Concat(world(mounted + "/staidx0.mul", mounted + "/statics0.mul",
                                              mounted + "/items.wsc"),
                                        range)));
        if (m.err.find("melt: --staidx " + mounted + "/staidx0.mul: Read-only file system\n") ==
            std::string::npos)
            throw std::runtime_error(m.err);
    });
    if (readOnly) {
        EXPECT_EQ(readOnly->exitCode, 0);
    }

    if (::geteuid() != 0)
        return;
    // A user who may not make files in the item file's folder is told so...
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    for (const std::string& path : {staidx, statics})
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    fs::create_directory(dir.file("server"));
    ASSERT_EQ(::chmod(dir.file("server").c_str(), 0755), 0);
    fs::copy_file(items, dir.file("server/items.wsc"));
    ASSERT_EQ(::chmod(dir.file("server/items.wsc").c_str(), 0666), 0);
    r = test::RunProgramAs(
        65534, LW_CLI_PATH,
        Concat({"melt"}, Concat(world(staidx, statics, dir.file("server/items.wsc")), range)));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("melt: --items " + dir.file("server/items.wsc") +
                         ": Permission denied: this user may not make files in the folder " +
                         dir.file("server") + "\n"),
              std::string::npos)
        << r.err;
    // ...and one who may only pass through a folder (mode 711) reads its files all the same.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
    r = test::RunProgramAs(
        65534, LW_CLI_PATH,
        {"list-block", "--staidx", staidx, "--statics", statics, "16", "23", "40", "47"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Item #1: Item ID = 0E ED, X = 19, Y = 47, Z = -5, Color = 00 00\n");
    ::chmod(dir.path().c_str(), 0700);
}
#endif

} // namespace
} // namespace lw
