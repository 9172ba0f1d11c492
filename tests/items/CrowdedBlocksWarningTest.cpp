// Freeze and diff application warn, after all their own lines, when a block they write holds more
// statics than the most used game client reads; at the client's 1024 they say nothing more.
#include "OperationRun.h"
#include "diff/ApplyDiff.h"
#include "diff/DiffFixture.h"
#include "diff/GenerateDiff.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

std::string Items(int count, int x = 19, int y = 47) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "SECTION WORLDITEM " + std::to_string(i) + "\r\n{\r\nID 3821\r\nX " +
                std::to_string(x) + "\r\nY " + std::to_string(y) +
                "\r\nZ 0\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
    return text;
}

std::vector<TStaticRec> Records(int count) {
    return std::vector<TStaticRec>(static_cast<std::size_t>(count), TStaticRec{1, 2, 3, 4, 5});
}

TEST(CrowdedBlocksWarning, FreezeWarnsAfterItsLines) {
    for (const int before : {1019, 1020}) {
        SCOPED_TRACE(before);
        test::TempDir dir;
        const test::ItemWorld w{dir.path()};
        test::MakeEmptyStatics(w.staidx(), w.statics());
        test::PutStaticBlock(w.staidx(), w.statics(), 2, 5, Records(before));
        test::WriteWholeFile(w.items(), Items(5));
        const test::Outcome outcome =
            test::RunOperation(w.staidx(), [&](ProgramState& s, const LogSink& log, Progress& p) {
                FreezeWorld(s, w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, false), log, p);
            });
        ASSERT_EQ(outcome.error, "");
        ASSERT_GE(outcome.log.size(), 3u);
        if (before + 5 <= 1024) {
            EXPECT_EQ(outcome.log.back(), "Freezing completed!");
            continue;
        }
        EXPECT_EQ(outcome.log[outcome.log.size() - 2], "Freezing completed!");
        EXPECT_EQ(outcome.log.back(),
                  "Warning: 1 block holds more than 1024 statics, and the most used game client "
                  "reads only the first 1024 of a block: (2, 5) with 1025.");
    }
}

TEST(CrowdedBlocksWarning, DiffApplicationWarnsForEveryCrowdedBlockItWrites) {
    test::DiffWorlds w;
    for (int blockY = 0; blockY < 12; ++blockY)
        test::PutStaticBlock(w.modified.staidx, w.modified.statics, 7, blockY, Records(1100));
    test::PutStaticBlock(w.modified.staidx, w.modified.statics, 8, 0, Records(1024));
    NullDiffProgress progress;
    GenerateDiff(w.original, w.modified, w.diffPath, {}, progress);
    std::vector<std::string> log;
    const AppliedDiff applied = ApplyDiff(w.original, w.target, w.diffPath, progress,
                                          [&](const std::string& line) { log.push_back(line); });
    ASSERT_TRUE(applied.applied);
    EXPECT_EQ(log, std::vector<std::string>{
                       "Warning: 12 blocks hold more than 1024 statics, and the most used game "
                       "client reads only the first 1024 of a block: (7, 0) with 1100, (7, 1) "
                       "with 1100, (7, 2) with 1100, (7, 3) with 1100, (7, 4) with 1100, (7, 5) "
                       "with 1100, (7, 6) with 1100, (7, 7) with 1100, (7, 8) with 1100, (7, 9) "
                       "with 1100, and 2 more."});
}

// The smallest facet (1448 x 1448, 181 block rows): its last block is found among its own blocks
// and named by them.
TEST(CrowdedBlocksWarning, NamesTheBlockInItsOwnWorld) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx4.mul"), statics = dir.file("statics4.mul");
    test::MakeEmptyStatics(staidx, statics, {181, 181});
    test::WriteWholeFile(dir.file("items.wsc"), Items(1025, 1447, 1447));
    FreezeRequest freeze;
    freeze.staidx = staidx;
    freeze.statics = statics;
    freeze.itemFile = dir.file("items.wsc");
    const test::Outcome outcome =
        test::RunOperation(staidx, [&](ProgramState& s, const LogSink& log, Progress& p) {
            FreezeWorld(s, freeze, log, p);
        });
    ASSERT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.log.back(),
              "Warning: 1 block holds more than 1024 statics, and the most used game client reads "
              "only the first 1024 of a block: (180, 180) with 1025.");
}

} // namespace
} // namespace lw
