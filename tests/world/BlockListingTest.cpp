#include "world/BlockListing.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

TEST(BlockRange, SnapsTheFieldsToWholeBlocks) {
    BlockRange r = ParseBlockRange({"13", "20", "0", "0"});
    EXPECT_EQ(r.FirstX, 1);
    EXPECT_EQ(r.LastX, 2);
    EXPECT_EQ(r.FirstY, 0);
    EXPECT_EQ(r.LastY, 0);
    EXPECT_EQ(r.SnappedTexts, (std::array<std::string, 4>{"8", "23", "0", "7"}));

    r = ParseBlockRange({"20", "13", "0", "$10"});
    EXPECT_EQ(r.SnappedTexts, (std::array<std::string, 4>{"16", "15", "0", "23"}));
    int visited = 0;
    ForEachBlock(r, [&](int, int) { ++visited; });
    EXPECT_EQ(visited, 0);
}

TEST(BlockRange, BadFieldsFailBeforeAnythingIsWalked) {
    EXPECT_THROW(ParseBlockRange({"1", "abc", "0", "0"}), ConvertError);
    EXPECT_THROW(ParseBlockRange({"1", "2", "65536", "0"}), RangeError);
    EXPECT_THROW(ParseBlockRange({"-1", "2", "0", "0"}), RangeError);
}

TEST(BlockRange, ReachingABlockOutsideTheWorldIsARangeError) {
    const BlockRange r = ParseBlockRange({"6136", "6200", "0", "7"});
    std::vector<int> columns;
    EXPECT_THROW(ForEachBlock(r, [&](int bx, int) { columns.push_back(bx); }), RangeError);
    EXPECT_EQ(columns, std::vector<int>{767});
}

TEST(BlockListing, ListsEveryRecordNumberedOverTheRequest) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    test::MakeEmptyStatics(staidx, statics);
    test::PutStaticBlock(staidx, statics, 2, 5,
                         {{0x0EED, 3, 7, -5, 0}, {0x0001, 0, 0, 127, 0x0481}});
    test::PutStaticBlock(staidx, statics, 3, 5, {{0xFFFF, 9, 0, -128, 0xFFFF}});
    const auto index = std::make_unique<StaticIndexTable>(test::ReadIndexFile(staidx));

    std::vector<std::string> lines;
    ListStaticBlocks(statics, *index, ParseBlockRange({"16", "31", "40", "47"}),
                     [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Item #1: Item ID = 0E ED, X = 19, Y = 47, Z = -5, Color = 00 00",
                         "Item #2: Item ID = 00 01, X = 16, Y = 40, Z = 127, Color = 04 81",
                         "Item #3: Item ID = FF FF, X = 33, Y = 40, Z = -128, Color = FF FF",
                     }));
}

} // namespace
} // namespace lw
