// Paths on the command line reach the operations as given: a folder name that is not ASCII (on
// Windows it crosses the UTF-16 command line, the process code page and the wide file API) and a
// path that starts with a slash (which Windows-style option parsing would take for an option).
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::RunProgram;

TEST(PathArgumentsCliTest, EveryStepInAFolderNamedWithAnUmlautFindsIt) {
    const test::TempDir dir;
    const std::string world = dir.file("Welt \xC3\x84"); // "Welt Ä" in UTF-8
    const auto made = RunProgram(LW_CLI_PATH, {"demo-world", world});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_TRUE(std::filesystem::is_regular_file(test::FsPath(world + "/staidx0.mul")));

    const std::vector<std::string> files{"--staidx", world + "/staidx0.mul", "--statics",
                                         world + "/statics0.mul"};
    const auto run = [&](std::vector<std::string> args, std::vector<std::string> more) {
        args.insert(args.end(), files.begin(), files.end());
        args.insert(args.end(), more.begin(), more.end());
        const auto r = RunProgram(LW_CLI_PATH, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return r;
    };
    // A town's blocks, melted into an item file beside the world and frozen back.
    const std::vector<std::string> town{"1464", "1535", "1568", "1639"};
    const auto before = run({"list-block"}, town);
    ASSERT_FALSE(before.out.empty());
    const std::string items = world + "/town.wsc";
    EXPECT_EQ(run({"melt", "--items", items}, town).outLines().back(), "Melting completed!");
    EXPECT_NE(test::ReadWholeFile(items).find("SECTION WORLDITEM"), std::string::npos);
    EXPECT_EQ(run({"list-block"}, town).out, "");
    EXPECT_EQ(run({"freeze", "--items", items}, {}).outLines().back(), "Freezing completed!");
    EXPECT_TRUE(run({"list-block"}, town).out == before.out);
}

TEST(PathArgumentsCliTest, APathStartingWithASlashIsAValue) {
    const std::string missing = "/no-such-folder/staidx0.mul";
    const auto r = RunProgram(LW_CLI_PATH, {"index-crc", "--staidx", missing});
    EXPECT_EQ(r.exitCode, 1) << r.err; // a missing file, not a usage error (2)
    EXPECT_NE(r.err.find("index-crc: --staidx "), std::string::npos) << r.err;
}

} // namespace
} // namespace lw
