#include "util/File.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/SafeReplace.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::TempDir;
using test::WriteWholeFile;

class FileTest : public ::testing::Test {
protected:
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    TempDir dir;
};

int IoCodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const IoError& e) {
        return e.code();
    }
    return 0;
}

TEST_F(FileTest, SystemFailuresBecomeRuntimeCodes) {
    const std::string missing = dir.file("missing.mul");
    EXPECT_EQ(IoCodeOf([&] { File::OpenRead(missing); }), 2);
    EXPECT_EQ(IoCodeOf([&] { File::OpenReadWrite(dir.path()); }), 5);

    WriteWholeFile(dir.file("short"), "abc");
    File f = File::OpenRead(dir.file("short"));
    char buf[4];
    EXPECT_EQ(IoCodeOf([&] { f.readExact(buf, 4); }), 100);
}

// Mapped by meaning; what has no code of its own can never pass for one that has (EIO is no
// "access denied", EEXIST is no Windows error 17).
TEST(ErrnoMapping, SystemErrorsBecomeRuntimeCodesByMeaning) {
    const struct {
        int err;
        int code;
        const char* text;
    } cases[] = {
        {ENOENT, 2, "Datei nicht gefunden"},     {EACCES, 5, "Dateizugriff verweigert"},
        {EPERM, 5, "Dateizugriff verweigert"},   {EROFS, 5, "Dateizugriff verweigert"},
        {ENOSPC, kIoDiskFull, "E/A-Fehler 112"}, {EIO, 30005, "E/A-Fehler 30005"},
        {EEXIST, 30017, "E/A-Fehler 30017"},     {EXDEV, 30018, "E/A-Fehler 30018"},
#ifdef EDQUOT
        {EDQUOT, kIoDiskFull, "E/A-Fehler 112"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const IoError error(IoCodeFromErrno(c.err));
        EXPECT_EQ(error.code(), c.code);
        EXPECT_STREQ(error.what(), c.text);
    }
    // The text stays the runtime's; the file, its role and the system's words travel beside it.
    const IoError about(kIoAccessDenied, "/w/staidx0.mul");
    EXPECT_STREQ(about.what(), "Dateizugriff verweigert");
    EXPECT_EQ(about.path(), "/w/staidx0.mul");
    EXPECT_EQ(about.reason(), "Permission denied");
    EXPECT_EQ(about.role(), "");
    FileRoleScope roles;
    roles.name("/w/staidx0.mul", "statics index");
    EXPECT_EQ(IoError(kIoDiskFull, "/w/staidx0.mul.lw-new-0123abcd").role(), "statics index");
}

TEST_F(FileTest, ReadOnlyFilesCanBeReadButNotOpenedForWriting) {
#ifdef _WIN32
    GTEST_SKIP() << "no /proc/self/exe on Windows";
#endif
    // Nobody, not even root, may open a running program for writing: it stands for a game CD.
    const std::string readOnly = "/proc/self/exe";
    File f = File::OpenRead(readOnly);
    char first = 0;
    f.readExact(&first, 1);
    f.close();
    EXPECT_EQ(IoCodeOf([&] { File::OpenReadWrite(readOnly); }), 5);
}

TEST_F(FileTest, InjectedWriteFailureCountsFromTheNextWrite) {
    File f = File::Create(dir.file("out"));
    FileFaults::FailNthWrite(2);
    f.write("a", 1);
    EXPECT_EQ(IoCodeOf([&] { f.write("b", 1); }), kIoDiskFull);
    f.write("c", 1);
    f.close();
    EXPECT_EQ(ReadWholeFile(dir.file("out")), "ac");
}

TEST_F(FileTest, SameFileSeesThroughOtherSpellings) {
    const std::string path = dir.file("a.cfg");
    WriteWholeFile(path, "x");
    EXPECT_TRUE(SameFile(path, dir.path() + "/./a.cfg"));
#ifndef _WIN32 // symbolic links need extra rights there
    std::filesystem::create_symlink(path, dir.file("link.cfg"));
    EXPECT_TRUE(SameFile(path, dir.file("link.cfg")));
#endif
    WriteWholeFile(dir.file("b.cfg"), "x");
    EXPECT_FALSE(SameFile(path, dir.file("b.cfg")));
    EXPECT_FALSE(SameFile(path, dir.file("none.cfg")));
}

TEST_F(FileTest, ReplacementLeavesTheOldFileOnAnyFailure) {
    const std::string path = dir.file("items.wsc");
    WriteWholeFile(path, "old");
    const auto writeNew = [](File& f) { f.write("new content", 11); };

    for (auto arm : {+[] { FileFaults::FailNthWrite(1); }, +[] { FileFaults::FailNthSync(1); },
                     +[] { FileFaults::FailNthRename(1); }}) {
        arm();
        EXPECT_THROW(ReplaceFile(path, writeNew), IoError);
        FileFaults::Reset();
        EXPECT_EQ(ReadWholeFile(path), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
            << "temporary file left behind";
    }
    EXPECT_THROW(ReplaceFile(path, [](File&) { throw Error("stop"); }), Error);
    EXPECT_EQ(ReadWholeFile(path), "old");

    ReplaceFile(path, writeNew);
    EXPECT_EQ(ReadWholeFile(path), "new content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The digest a journal records of new content comes from the writes themselves, while they go
// in order from the start; anything else leaves it to be read from the file.
TEST_F(FileTest, WritesInOrderAreDigestedOnTheWay) {
    const std::string path = dir.file("new.mul");
    const std::string content = std::string(3000, 'a') + std::string(70000, 'b') + "end";
    const struct {
        const char* name;
        std::function<void(File&)> after; // what happens once the content is written
        bool digested;
    } cases[] = {
        {"in order", [](File&) {}, true},
        {"a header written again",
         [](File& f) {
             f.seek(0);
             f.write("x", 1);
         },
         false},
        {"cut", [](File& f) { f.truncate(10); }, false},
        {"read back",
         [](File& f) {
             char c;
             f.seek(0);
             f.readSome(&c, 1);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        File file = File::Create(path);
        file.digestWrites();
        for (std::size_t at = 0; at < content.size(); at += 4096)
            file.write(content.data() + at, std::min<std::size_t>(4096, content.size() - at));
        c.after(file);
        const auto digest = file.writtenDigest(file.size());
        file.close();
        EXPECT_EQ(digest.has_value(), c.digested);
        if (digest) {
            EXPECT_EQ(*digest, DigestOfFile(path));
        }
    }
}

} // namespace
} // namespace lw
