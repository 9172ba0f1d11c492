// The world check's core: which world size a file is of, worlds other than the classic one, and
// a long list of one kind of finding kept short.
#include "items/CheckWorld.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/KnownWorldSizes.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(KnownWorldSizes, TheLengthAndTheFacetOfTheNameTellTheSize) {
    const struct {
        std::uint64_t bytes;
        std::optional<int> facet;
        std::optional<KnownWorldSize> size;
    } kCases[] = {
        {4'718'592, 0, kClassicWorld},
        {5'505'024, 1, KnownWorldSize{7168, 4096}},
        {983'040, 5, KnownWorldSize{1280, 4096}},
        {983'040, 3, KnownWorldSize{2560, 2048}},
        {983'040, std::nullopt, KnownWorldSize{2560, 2048}},
        {393'132, 4, KnownWorldSize{1448, 1448}},
        {4'718'592, 2, kClassicWorld}, // a misnamed file: its length still tells
        {4'718'604, 0, std::nullopt},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(WorldSizeOfIndex(c.bytes, c.facet), c.size) << c.bytes;
    EXPECT_EQ(WorldSizeOfMap(16'056'320, 5), (KnownWorldSize{1280, 4096}));
    EXPECT_EQ(WorldSizeOfMap(11'289'600, std::nullopt), (KnownWorldSize{2304, 1600}));

    EXPECT_EQ(FacetOfWorldFile("/a/STAIDX5.MUL"), 5);
    EXPECT_EQ(FacetOfWorldFile("statics2.mul"), 2);
    EXPECT_EQ(FacetOfWorldFile("map1LegacyMUL.uop"), 1);
    EXPECT_EQ(FacetOfWorldFile("staidx.mul"), std::nullopt);
    EXPECT_EQ(FacetOfWorldFile("staidx0.mul.bak"), std::nullopt);
    EXPECT_EQ(FacetOfWorldFile("staidx1LegacyMUL.uop"), std::nullopt);
}

// A world of the later clients' 7168 x 4096: every block is checked, also those past the
// classic world's 393,216.
TEST(WorldCheck, ChecksEveryBlockOfAWiderWorld) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    const KnownWorldSize wide{7168, 4096};
    std::vector<StaticPointer> entries(wide.blockCount(), StaticPointer{kNoStatics, 0, 0});
    const TStaticRec odd[] = {{1, 3, 12, 0, 0}};
    entries[800 * 512 + 9] = {0, 7, 0};
    test::WriteWholeFile(staidx, std::string(reinterpret_cast<const char*>(entries.data()),
                                             entries.size() * kIndexEntrySize));
    test::WriteWholeFile(statics, std::string(reinterpret_cast<const char*>(odd), sizeof odd));
    File map = File::Create(dir.file("map0.mul"));
    map.truncate(wide.mapBytes());
    map.close();

    NullProgress progress;
    const WorldCheckReport report =
        CheckWorld({staidx, statics, dir.file("map0.mul"), {}}, progress);
    EXPECT_EQ(report.World, wide);
    ASSERT_EQ(report.Findings.size(), 1u);
    EXPECT_EQ(report.Findings[0].Kind, FindingKind::OddRecords);
    EXPECT_EQ(report.Findings[0].Block, 800 * 512 + 9);
    EXPECT_EQ(report.Findings[0].Text, "block (800, 9): 1 of its 1 statics have an in-block X or Y "
                                       "above 7, the first of them number 1 with X 3, Y 12");
}

TEST(WorldCheck, ListsTheFirstHundredOfAKindAndCountsTheRest) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    test::MakeEmptyStatics(staidx, statics);
    for (int blockY = 0; blockY < 150; ++blockY)
        test::PutStaticBlock(staidx, statics, 3, blockY, {{1, 8, 0, 0, 0}});
    NullProgress progress;
    const WorldCheckReport report = CheckWorld({staidx, statics, {}, {}}, progress);
    EXPECT_EQ(report.count(FindingKind::OddRecords), 150);
    EXPECT_EQ(report.faults(), 150);
    EXPECT_EQ(report.Findings.size(), 100u);
    EXPECT_EQ(report.Findings.back().Text.substr(0, 16), "block (3, 99): 1");
    const std::vector<std::string> lines = WorldCheckLines(report);
    EXPECT_EQ(lines.back(), "fault: 50 more blocks with statics whose in-block X or Y is above 7");
    EXPECT_EQ(WorldCheckResult(report), "The check found 150 faults.");
}

} // namespace
} // namespace lw
