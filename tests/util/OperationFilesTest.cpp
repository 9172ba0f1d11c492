// An operation's declared files: one file in two roles, a second operation at once, a file the
// process may not write and a binary file where text belongs are all refused before any write.
#include "util/OperationFiles.h"

#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

const LogSink kNoLog = [](const std::string&) {};

std::string RefusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const IoError& e) {
        return e.path().empty() ? e.what() : std::string(e.what()) + ": " + e.path();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

class OperationFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteWholeFile(index, "index");
        WriteWholeFile(statics, "statics");
        WriteWholeFile(items, "SECTION WORLDITEM 1\r\n");
    }
    OperationFiles world(const std::string& indexPath, const std::string& staticsPath,
                         FileUse use = FileUse::Write) const {
        return OperationFiles(
            {{"statics index", indexPath, use}, {"statics data", staticsPath, use}}, kNoLog);
    }
    test::TempDir dir;
    std::string index = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                items = dir.file("statics.cfg");
};

TEST_F(OperationFilesTest, OneFileInTwoRolesIsRefused) {
#ifndef _WIN32 // symbolic links need extra rights there
    fs::create_symlink(index, dir.file("link.mul"));
#endif
    fs::create_hard_link(index, dir.file("hard.mul"));
    fs::create_directory(dir.file("sub"));
    const std::string real = fs::canonical(index).string();
    const struct {
        std::string secondPath;
        std::string sameAs;
    } cases[] = {
        {index, real},
        {dir.path() + "/./sub/../staidx0.mul", real},
#ifndef _WIN32
        {dir.file("link.mul"), real},
#endif
        {dir.file("hard.mul"), fs::canonical(dir.file("hard.mul")).string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secondPath);
        EXPECT_EQ(RefusalOf([&] { world(index, c.secondPath); }),
                  "The statics index and the statics data are the same file: " + c.sameAs);
    }
    // Two outputs not there yet, one path spelt two ways.
    const std::string patch = (fs::canonical(dir.path()) / "patch.wsc").string();
    EXPECT_EQ(RefusalOf([&] {
                  OperationFiles({{"item file", dir.file("patch.wsc"), FileUse::Write},
                                  {"patch file", dir.file("sub/../patch.wsc"), FileUse::Write}},
                                 kNoLog);
              }),
              "The item file and the patch file are the same file: " + patch);
    EXPECT_EQ(RefusalOf([&] { world(index, statics); }), "");
}

TEST_F(OperationFilesTest, ASecondOperationOnTheSameFolderIsRefusedAtOnce) {
#ifndef _WIN32 // no fork there; the command-line tests hold a lock from a second process
    {
        const test::WaitingChild other([&](const std::function<void()>& holdIt) {
            OperationFiles files({{"item file", items, FileUse::Write}}, kNoLog);
            holdIt();
        });
        EXPECT_EQ(RefusalOf([&] { world(index, statics); }),
                  "Another Loamwright operation is using " + index + " (process " +
                      std::to_string(other.pid()) +
                      "). Wait until it has finished, then try again.");
    }
#endif
    // Within one process too (the desktop program beside a window's second click).
    {
        const OperationFiles first = world(index, statics);
        EXPECT_NE(RefusalOf([&] {
                      OperationFiles({{"item file", items, FileUse::Write}}, kNoLog);
                  }).find("Another Loamwright operation is using " + items),
                  std::string::npos);
    }
    // Readers share; the lock goes with the operation.
    const OperationFiles reader = world(index, statics, FileUse::Read);
    EXPECT_EQ(RefusalOf([&] { world(index, statics, FileUse::Read); }), "");
    EXPECT_NE(RefusalOf([&] { world(index, statics); }), "");
}

#ifndef _WIN32 // /proc, modes and owners are POSIX's
TEST_F(OperationFilesTest, AFileTheProcessMayNotWriteIsRefusedBeforeAnyWrite) {
    // A running program cannot be opened for writing, not even by root.
    const std::string program = fs::canonical("/proc/self/exe").string();
    EXPECT_EQ(RefusalOf([&] {
                  OperationFiles({{"target map", "/proc/self/exe", FileUse::Write}}, kNoLog);
              }),
              "Dateizugriff verweigert: " + program);

    // Mode and ownership, seen by a user who may write the folder but not the files.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(items.c_str(), 0444), 0);
    if (::geteuid() == 0) {
        const test::ChildOutcome child = test::RunInChild([&] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                throw std::runtime_error("cannot drop root");
            for (const std::string& path : {items, index}) // read-only; root's
                if (RefusalOf([&] {
                        OperationFiles({{"item file", path, FileUse::Write}}, kNoLog);
                    }) != "Dateizugriff verweigert: " + fs::canonical(path).string())
                    throw std::runtime_error("not refused");
        });
        EXPECT_EQ(child.exitCode, 0);
    }

    // An immutable file, where the file system and the process allow to make one.
    const int fd = ::open(statics.c_str(), O_RDONLY);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        int immutable = flags | FS_IMMUTABLE_FL;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &immutable) == 0) {
            EXPECT_EQ(RefusalOf([&] { world(index, statics); }),
                      "Dateizugriff verweigert: " + fs::canonical(statics).string());
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
    }
    if (fd >= 0)
        ::close(fd);
    EXPECT_EQ(ReadWholeFile(statics), "statics");
}
#endif

TEST_F(OperationFilesTest, ItemAndPatchFilesMustBeText) {
    WriteWholeFile(dir.file("map0.mul"), std::string(100, '\0'));
    WriteWholeFile(dir.file("binary.wsc"), std::string("SECTION\0", 8));
    fs::create_hard_link(dir.file("map0.mul"), dir.file("mapcopy.txt"));
    const struct {
        std::string path;
        std::string refusal;
    } cases[] = {
        {dir.file("map0.mul"), " is a world file, not a text file."},
        {dir.file("mapcopy.txt"), " is a world file, not a text file."},
        {dir.file("binary.wsc"), " holds a NUL byte: it is not a text file."},
        {items, ""},
        {dir.file("new.wsc"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(RefusalOf([&] { RequireTextFile("patch file", c.path, {dir.file("map0.mul")}); }),
                  c.refusal.empty() ? "" : "The patch file " + c.path + c.refusal);
    }
    const OperationFiles files({{"target map", dir.file("map0.mul"), FileUse::Read},
                                {"item file", dir.file("binary.wsc"), FileUse::Write}},
                               kNoLog);
    EXPECT_NE(RefusalOf([&] { files.requireText("item file"); }), "");
}

} // namespace
} // namespace lw
