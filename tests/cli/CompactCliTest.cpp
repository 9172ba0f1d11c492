// compact end to end on the demo world after a fill/clear: the listing of the whole world is the
// same, the bytes reclaimed are the dead bytes the check saw, and a second run changes nothing.
#include "support/FolderSnapshot.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <gtest/gtest.h>
#include <regex>

namespace lw {
namespace {

using Args = std::vector<std::string>;

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(LW_CLI_PATH, args);
}

TEST(CompactCliTest, ReclaimsTheDeadBytesAndKeepsEveryListing) {
    test::TempDir dir;
    ASSERT_EQ(Cli({"demo-world", dir.path()}).exitCode, 0);
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    ASSERT_EQ(Cli({"fill-clear", "--staidx", staidx, "--statics", statics, "--map",
                   dir.file("map0.mul"), "--left", "1003", "--right", "3000", "--top", "1005",
                   "--bottom", "2500", "--tile", "00 03"})
                  .exitCode,
              0);
    const Args listing{"list-block", "--staidx", staidx, "--statics", statics,
                       "0",          "6143",     "0",    "4095"};
    const Args check{"check", "--staidx", staidx, "--statics", statics};
    const auto listed = Cli(listing);
    ASSERT_GT(listed.outLines().size(), 100000u);
    const auto checked = Cli(check);
    std::smatch dead;
    ASSERT_TRUE(
        std::regex_search(checked.out, dead, std::regex("statics0.mul holds ([0-9]+) dead bytes")))
        << checked.out;
    const std::uint64_t before = FileSizeOf(statics);

    const auto compacted = Cli({"compact", "--staidx", staidx, "--statics", statics});
    ASSERT_EQ(compacted.exitCode, 0) << compacted.err;
    const std::uint64_t after = FileSizeOf(statics);
    EXPECT_EQ(before - after, std::stoull(dead[1]));
    const auto lines = compacted.outLines();
    ASSERT_EQ(lines.size(), 2u) << compacted.out;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("statics0.mul: " + std::to_string(before) +
                                                      " bytes before, " + std::to_string(after) +
                                                      " after, [0-9]+ runs in block order")))
        << lines[0];
    EXPECT_EQ(lines[1], "Bytes reclaimed: " + dead[1].str());
    EXPECT_EQ(Cli(listing).out, listed.out);
    const auto rechecked = Cli(check);
    EXPECT_EQ(rechecked.exitCode, 0);
    EXPECT_EQ(rechecked.out.find("dead bytes"), std::string::npos) << rechecked.out;

    const auto files = test::Snapshot(dir.path());
    const auto again = Cli({"compact", "--staidx", staidx, "--statics", statics});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.outLines().back(), "Bytes reclaimed: 0");
    test::ExpectSameFiles(test::Snapshot(dir.path()), files);
}

TEST(CompactCliTest, AnEntryItCannotKeepEndsWithStatusOneAndNothingChanged) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    test::MakeEmptyStatics(staidx, statics);
    test::PutStaticBlock(staidx, statics, 0, 1, {{1, 1, 1, 1, 1}});
    File index = File::OpenReadWrite(staidx);
    const StaticPointer outside{70, 7, 0};
    index.seek(IndexEntryOffset(2, 0));
    index.write(&outside, sizeof outside);
    index.close();
    const auto files = test::Snapshot(dir.path());
    const auto r = Cli({"compact", "--staidx", staidx, "--statics", statics});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lastErrLine(), "The index entry of block (2, 0) (offset 70, length 7) points "
                               "outside statics0.mul (7 bytes), so its statics cannot be kept. "
                               "Nothing was changed.");
    test::ExpectSameFiles(test::Snapshot(dir.path()), files);
}

} // namespace
} // namespace lw
