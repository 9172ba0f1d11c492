// Replacement keeps what the user has (links, hard links, modes, owners), leaves nothing behind
// on failure, is never blocked by a killed run's names, and an undo that fails stops.
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != ".loamwright.lock") // Windows' lock, while it is held
            names.insert(entry.path().filename().string());
    return names;
}

void Replace(const std::string& target, const std::string& content) {
    ReplaceFile(target, [&](File& f) { f.write(content.data(), content.size()); });
}

class ReplacementTest : public ::testing::Test {
protected:
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    test::TempDir dir;
};

TEST_F(ReplacementTest, ALinkedTargetIsReplacedWhereItPoints) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need extra rights on Windows";
#endif
    fs::create_directory(dir.file("client"));
    fs::create_directory(dir.file("server"));
    const std::string real = dir.file("client/statics0.mul");
    const std::string link = dir.file("server/statics0.mul");
    WriteWholeFile(real, "old");
    fs::create_symlink("../client/statics0.mul", link);

    FileFaults::FailNthRename(1);
    EXPECT_THROW(Replace(link, "new"), IoError);
    EXPECT_EQ(Names(dir.file("client")), std::set<std::string>{"statics0.mul"});

    Replace(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "new");
    EXPECT_EQ(Names(dir.file("client")), std::set<std::string>{"statics0.mul"});
    EXPECT_EQ(Names(dir.file("server")), std::set<std::string>{"statics0.mul"});
}

TEST_F(ReplacementTest, AHardLinkedTargetKeepsItsLinks) {
    const std::string items = dir.file("statics.cfg");
    const std::string other = dir.file("backup.cfg");
    WriteWholeFile(items, "the old item file content");
    fs::create_hard_link(items, other);

    // In place: a failure before or half-way through the overwrite puts the old content back.
    for (auto arm : {+[] { FileFaults::FailNthWrite(2); }, +[] { FileFaults::FailNthRename(1); }}) {
        arm();
        EXPECT_THROW(Replace(items, "short"), IoError);
        FileFaults::Reset();
        EXPECT_EQ(ReadWholeFile(other), "the old item file content");
        EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"statics.cfg", "backup.cfg"}));
    }

    Replace(items, "short");
    EXPECT_EQ(ReadWholeFile(other), "short");
    EXPECT_EQ(StatusOf(items)->links, 2u); // std::filesystem counts 1 on Windows, always
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"statics.cfg", "backup.cfg"}));
}

#ifndef _WIN32 // no owners there; the read-only attribute is the one mode bit
TEST_F(ReplacementTest, KeepsPermissionBitsAndOwner) {
    const std::string path = dir.file("staidx0.mul");
    WriteWholeFile(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    }

    Replace(path, "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}
#endif

TEST_F(ReplacementTest, AFailedStepLeavesEveryTargetOld) {
    const std::string index = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                      patch = dir.file("patch.wsc");
    WriteWholeFile(index, "old index");
    WriteWholeFile(statics, "old statics");
    fs::create_hard_link(statics, dir.file("statics-copy.mul"));
    const auto before = Names(dir.path());

    for (int n = 1;; ++n) {
        SCOPED_TRACE("failing rename " + std::to_string(n));
        FileFaults::FailNthRename(n);
        try {
            ReplacementFile a(patch), b(statics), c(index);
            a.file().write("items", 5);
            b.file().write("new statics", 11);
            c.file().write("new index", 9);
            ReplacementSet set;
            set.add(&a);
            set.add(&b);
            set.add(&c);
            set.commit();
        } catch (const IoError& e) {
            EXPECT_EQ(e.code(), kIoAccessDenied);
            EXPECT_EQ(ReadWholeFile(index), "old index");
            EXPECT_EQ(ReadWholeFile(dir.file("statics-copy.mul")), "old statics");
            EXPECT_EQ(Names(dir.path()), before);
            continue;
        }
        EXPECT_EQ(n, 5); // the journal, three steps, then one past them
        break;
    }
    EXPECT_EQ(ReadWholeFile(patch), "items");
    EXPECT_EQ(ReadWholeFile(dir.file("statics-copy.mul")), "new statics");
    EXPECT_EQ(ReadWholeFile(index), "new index");
}

TEST_F(ReplacementTest, NamesLeftByAKilledRunNeverBlockAndAreRemoved) {
    const std::string items = dir.file("statics.cfg"), index = dir.file("staidx0.mul");
    WriteWholeFile(items, "old");
    WriteWholeFile(index, "old");
    const std::vector<std::string> stale = {
        "statics.cfg.lw-new-0123456789ab", "statics.cfg.lw-new-ba9876543210",
        "statics.cfg.lw-old-00000000000f", "staidx0.mul.lw-old-abcdefabcdef",
        "staidx0.mul.lw-new-0123456789ab", ".loamwright-journal.lw-new-0123456789ab",
        "other.cfg.lw-new-0123456789ab", // of a file the run does not write, in its folder
    };
    // Only names exactly of the program's pattern are its own; these are the user's.
    const std::vector<std::string> users = {
        "statics.cfg.lw-old-backup",           "staidx0.mul.lw-new-mine.bak",
        "statics.cfg.lw-old-0123456789ab.bak", "statics.cfg.lw-old-0123456789AB",
        "statics.cfg.lw-new-0123456789a",
    };
    for (const std::string& name : stale)
        WriteWholeFile(dir.file(name), "left over");
    for (const std::string& name : users)
        WriteWholeFile(dir.file(name), "the user's");
    std::set<std::string> kept(users.begin(), users.end());
    kept.insert({"statics.cfg", "staidx0.mul"});

    ReplacementFile a(items), b(index);
    a.file().write("new", 3);
    b.file().write("new", 3);
    ReplacementSet set;
    set.add(&a);
    set.add(&b);
    set.commit();
    EXPECT_EQ(ReadWholeFile(items), "new");

    std::vector<std::string> log;
    OperationFiles files(
        {{"item file", items, FileUse::Write}, {"statics index", index, FileUse::Write}},
        [&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(Names(dir.path()), kept);
    for (const std::string& name : users)
        EXPECT_EQ(ReadWholeFile(dir.file(name)), "the user's") << name;
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Removed files left by an interrupted operation: ", 0), 0u) << log[0];
}

TEST_F(ReplacementTest, AnUndoThatFailsStopsAndSaysWhatHoldsWhat) {
    const std::string items = dir.file("statics.cfg"), index = dir.file("staidx0.mul");
    WriteWholeFile(items, "old items");
    WriteWholeFile(index, "old index");

    // The item file is replaced, the index is not, and putting the old item file back fails
    // too: the undo stops and the journal stays for the next run. (Rename 1 is the journal's.)
    FileFaults::FailRenamesFrom(3);
    std::string message;
    {
        ReplacementFile a(items), b(index);
        a.file().write("new items", 9);
        b.file().write("new index", 9);
        ReplacementSet set;
        set.add(&a);
        set.add(&b);
        try {
            set.commit();
        } catch (const UndoFailedError& e) {
            message = e.what();
        }
    }
    FileFaults::Reset();
    EXPECT_NE(
        message.find(items + " holds its new content, its old content is in " + items + ".lw-old-"),
        std::string::npos)
        << message;
    EXPECT_NE(message.find(index + " holds its old content"), std::string::npos) << message;
    EXPECT_EQ(ReadWholeFile(items), "new items");
    EXPECT_EQ(FindJournals(dir.path()).size(), 1u);

    std::vector<std::string> log;
    OperationFiles files({{"item file", items, FileUse::Write}},
                         [&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(ReadWholeFile(items), "old items");
    EXPECT_EQ(ReadWholeFile(index), "old index");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"statics.cfg", "staidx0.mul"}));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].rfind("Recovered an interrupted operation: ", 0), 0u) << log[0];
}

} // namespace
} // namespace lw
