// The worlds of later clients from the command line: a demo world of another facet and size with
// its map in a container, the commands on it, and convert between the map's two forms.
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::RunProgram;

test::ProgramResult Cli(const std::vector<std::string>& args) {
    return RunProgram(LW_CLI_PATH, args);
}

TEST(WorldSizesCliTest, ADemoWorldOfTheSmallestFacetInAContainerWorksWithEveryCommand) {
    const test::TempDir dir;
    const std::string w = dir.file("facet4");
    const auto made = Cli({"demo-world", w, "--facet", "4", "--size", "1448x1448", "--uop"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(FileSizeOf(w + "/staidx4.mul"), 393'132u);
    EXPECT_FALSE(FileExists(w + "/map4.mul"));
    const std::string staidx = w + "/staidx4.mul", statics = w + "/statics4.mul",
                      uop = w + "/map4LegacyMUL.uop";

    // The first town lies at the same share of the world as in the classic one.
    const auto town =
        Cli({"list-block", "--staidx", staidx, "--statics", statics, "352", "383", "560", "599"});
    EXPECT_EQ(town.exitCode, 0) << town.err;
    EXPECT_FALSE(town.out.empty());
    EXPECT_EQ(
        Cli({"list-block", "--staidx", staidx, "--statics", statics, "1440", "1448", "0", "7"})
            .lastErrLine(),
        "Fehler bei Bereichsprüfung");

    // The map in both forms, and back: the same bytes each way.
    const std::string plain = w + "/map4.mul", again = dir.file("again/map4LegacyMUL.uop");
    std::filesystem::create_directories(dir.file("again"));
    ASSERT_EQ(Cli({"convert", "--to", "mul", uop, plain}).exitCode, 0);
    EXPECT_EQ(FileSizeOf(plain), 6'421'156u);
    ASSERT_EQ(Cli({"convert", "--to", "uop", plain, again}).exitCode, 0);
    EXPECT_TRUE(test::ReadWholeFile(again) == test::ReadWholeFile(uop));

    // Without borders fill/clear takes in the whole of this world, in the container too.
    const auto filled = Cli(
        {"fill-clear", "--staidx", staidx, "--statics", statics, "--map", uop, "--tile", "00 A8"});
    ASSERT_EQ(filled.exitCode, 0) << filled.err;
    ASSERT_EQ(Cli({"convert", "--to", "mul", uop, plain}).exitCode, 0);
    const std::string map = test::ReadWholeFile(plain);
    EXPECT_EQ(map.substr(map.size() - 3, 2), std::string("\xA8\x00", 2));
    const StaticIndexTable index = test::ReadIndexFile(staidx, {181, 181});
    EXPECT_EQ(index.at(180, 180).Length, 0xFFFFFFFFu);
}

TEST(WorldSizesCliTest, WrongSizesAndNamesAreRefused) {
    const test::TempDir dir;
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"demo-world", dir.file("a"), "--size", "7000x4096"},
         1,
         "--size 7000x4096 is no size of facet 0; its sizes: 6144x4096, 7168x4096"},
        {{"demo-world", dir.file("b"), "--facet", "6"}, 2, ""},
        {{"convert", "--to", "uop", dir.file("map0.mul"), dir.file("map0.mul")},
         1,
         "A container is named like map0LegacyMUL.uop, not " + dir.file("map0.mul")},
        {{"convert", "--to", "zip", dir.file("map0.mul"), dir.file("x.uop")}, 2, ""},
    };
    for (const auto& c : cases) {
        const auto r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << r.err;
        if (!c.message.empty()) {
            EXPECT_EQ(r.lastErrLine(), c.message);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("a")));

    // One file in both roles.
    const std::string uop = dir.file("map0LegacyMUL.uop");
    test::MakeSparseMap(dir.file("map0.mul"));
    ASSERT_EQ(Cli({"convert", "--to", "uop", dir.file("map0.mul"), uop}).exitCode, 0);
    const auto same = Cli({"convert", "--to", "uop", uop, uop});
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_NE(same.lastErrLine().find("are the same file"), std::string::npos) << same.err;
}

} // namespace
} // namespace lw
