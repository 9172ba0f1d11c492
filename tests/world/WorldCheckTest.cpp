// The world check's core: which world size a file is of, worlds other than the classic one, what
// a killed run left beside the files, and a long list of one kind of finding kept short.
#include "items/CheckWorld.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "util/ReplacementJournal.h"
#include "world/Compaction.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(KnownWorldSizes, TheLengthAndTheFacetOfTheNameTellTheSize) {
    const struct {
        std::uint64_t bytes;
        std::optional<int> facet;
        std::optional<WorldSize> size;
    } kCases[] = {
        {4'718'592, 0, kClassicWorld},
        {5'505'024, 1, WorldSize{896, 512}}, // 7168 x 4096
        {983'040, 5, WorldSize{160, 512}},   // 1280 x 4096
        {983'040, 3, WorldSize{320, 256}},   // 2560 x 2048
        {983'040, std::nullopt, WorldSize{320, 256}},
        {393'132, 4, WorldSize{181, 181}}, // 1448 x 1448
        {4'718'592, 2, kClassicWorld},     // a misnamed file: its length still tells
        {4'718'604, 0, std::nullopt},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(WorldSizeOfIndexBytes(c.facet, c.bytes), c.size) << c.bytes;
    EXPECT_EQ(WorldSizeOfMapBytes(5, 16'056'320), (WorldSize{160, 512}));
    EXPECT_EQ(WorldSizeOfMapBytes(std::nullopt, 11'289'600), (WorldSize{288, 200}));

    EXPECT_EQ(FacetOfWorldFileName("/a/STAIDX5.MUL"), 5);
    EXPECT_EQ(FacetOfWorldFileName("statics2.mul"), 2);
    EXPECT_EQ(FacetOfWorldFileName("map1LegacyMUL.uop"), 1);
    EXPECT_EQ(FacetOfWorldFileName("staidx.mul"), std::nullopt);
    EXPECT_EQ(FacetOfWorldFileName("staidx0.mul.bak"), std::nullopt);
    EXPECT_EQ(FacetOfWorldFileName("staidx1LegacyMUL.uop"), std::nullopt);
}

// A world of the later clients' 7168 x 4096: every block is checked, also those past the
// classic world's 393,216.
TEST(WorldCheck, ChecksEveryBlockOfAWiderWorld) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    const WorldSize wide{896, 512}; // 7168 x 4096
    std::vector<StaticPointer> entries(wide.blockCount(), StaticPointer{kNoStatics, 0, 0});
    const TStaticRec odd[] = {{1, 3, 12, 0, 0}};
    entries[800 * 512 + 9] = {0, 7, 0};
    test::WriteWholeFile(staidx, std::string(reinterpret_cast<const char*>(entries.data()),
                                             entries.size() * kIndexEntrySize));
    test::WriteWholeFile(statics, std::string(reinterpret_cast<const char*>(odd), sizeof odd));
    File map = File::Create(dir.file("map0.mul"));
    map.truncate(wide.mapLength());
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

// What a killed run left beside the files read: its interrupted operation is repaired before the
// check and the log says so; files a run left before it wrote a journal are notes, and stay.
TEST(WorldCheck, WhatAKilledRunLeftIsRepairedFirstOrNoted) {
    test::TempDir dir;
    const std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul");
    test::MakeEmptyStatics(staidx, statics);
    test::PutStaticBlock(staidx, statics, 2, 5, {{1, 2, 3, 4, 5}});
    test::PutStaticBlock(staidx, statics, 2, 5, {{8, 1, 1, 0, 0}}); // its first run is dead
    const std::string left = dir.file("statics0.mul.lw-new-0123456789ab");
    const std::string users = dir.file("statics0.mul.lw-new-mine");
    for (const std::string& path : {left, users})
        test::WriteWholeFile(path, "left");
    NullProgress progress;
    WorldCheckReport report = CheckWorld({staidx, statics, {}, {}}, progress);
    EXPECT_TRUE(report.sound());
    ASSERT_EQ(report.count(FindingKind::LeftoverFile), 1);
    const auto found =
        std::find_if(report.Findings.begin(), report.Findings.end(),
                     [](const CheckFinding& f) { return f.Kind == FindingKind::LeftoverFile; });
    EXPECT_EQ(found->File, left);
    EXPECT_TRUE(FileExists(left));
    std::filesystem::remove(left);
    std::filesystem::remove(users);
#ifndef _WIN32
    // A compaction killed once its journal said to complete it: the check completes it first.
    const test::ChildOutcome killed = test::RunInChild([&] {
        FileFaults::KillAtStep(FileFaults::Step::Replace, 2);
        CompactStatics(staidx, statics, progress, DiscardLog);
    });
    ASSERT_TRUE(killed.killed);
    ASSERT_FALSE(FindJournals(dir.path()).empty());
    std::vector<std::string> log;
    report = CheckWorld({staidx, statics, {}, {}}, progress,
                        [&](const std::string& line) { log.push_back(line); });
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Recovered an interrupted operation: ", 0), 0u) << log[0];
    EXPECT_TRUE(FindJournals(dir.path()).empty());
    EXPECT_EQ(report.count(FindingKind::DeadBytes), 0);
    EXPECT_EQ(report.count(FindingKind::LeftoverFile), 0);
#endif
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

// A map in a container is read through its tables: its map's length is checked like a plain
// map's, and a container the operations would refuse is a finding.
TEST(WorldCheck, AMapContainerIsReadThroughItsTables) {
    test::TempDir dir;
    constexpr WorldSize small{181, 181}; // facet 4, 1448 x 1448
    const std::string staidx = dir.file("staidx4.mul"), statics = dir.file("statics4.mul"),
                      mul = dir.file("map4.mul"), uop = dir.file("map4LegacyMUL.uop");
    test::MakeEmptyStatics(staidx, statics, small);
    test::MakeSparseMap(mul, small);
    const auto check = [&] {
        NullProgress progress;
        return CheckWorld({staidx, statics, uop, {}}, progress);
    };

    test::MakeUopMap(mul, uop, {.facet = 4});
    WorldCheckReport report = check();
    EXPECT_TRUE(report.sound());
    EXPECT_EQ(report.World, small);
    EXPECT_EQ(report.Figures.MapBytes, small.mapLength());
    EXPECT_TRUE(report.Findings.empty());
    EXPECT_EQ(WorldCheckLines(report)[3],
              "map4LegacyMUL.uop: 6421156 bytes of map in the container");

    // One block short: the container holds a map of another length.
    File file = File::OpenReadWrite(mul);
    file.truncate(small.mapLength() - kMapBlockSize);
    file.close();
    test::MakeUopMap(mul, uop, {.facet = 4});
    report = check();
    EXPECT_EQ(report.count(FindingKind::FileSize), 1);
    EXPECT_EQ(report.count(FindingKind::MapPastEnd), 1);
    EXPECT_EQ(report.Findings[0].Text,
              "map4LegacyMUL.uop holds a map of 6420960 bytes, which fits no world size (the map "
              "of the 1448 x 1448 world is 6421156 bytes)");

    test::MakeSparseMap(mul, small);
    for (const test::UopLayoutChoice& layout :
         {test::UopLayoutChoice{.facet = 4, .version = 6},
          test::UopLayoutChoice{.facet = 4, .compressedPiece = 2}}) {
        test::MakeUopMap(mul, uop, layout);
        report = check();
        EXPECT_EQ(report.faults(), 1);
        ASSERT_EQ(report.Findings.size(), 1u);
        EXPECT_EQ(report.Findings[0].Kind, FindingKind::MapContainer);
        EXPECT_EQ(report.Findings[0].File, uop);
        EXPECT_EQ(report.World, small) << "the index still tells";
    }
    const test::UopFixture whole = test::MakeUopMap(mul, uop, {.facet = 4});
    file = File::OpenReadWrite(uop);
    file.truncate(whole.pieceData[7] + 10);
    file.close();
    report = check();
    ASSERT_EQ(report.Findings.size(), 1u);
    EXPECT_EQ(report.Findings[0].Text.rfind("The container " + uop + " is damaged: ", 0), 0u)
        << report.Findings[0].Text;
}

// TYPE 255 items lie outside the world the files are checked as: the smallest facet ends at tile
// 1447, the wider world at 7167.
TEST(WorldCheck, ItemsOutsideTheWorldAreOutsideItsOwnSize) {
    const auto item = [](int number, int x, int y) {
        return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nSERIAL " +
               std::to_string(1000 + number) + "\r\nID 3821\r\nX " + std::to_string(x) + "\r\nY " +
               std::to_string(y) + "\r\nZ 0\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
    };
    const struct {
        WorldSize world;
        int facet;
        int lastX;
        std::string name;
    } kWorlds[] = {{{181, 181}, 4, 1447, "1448 x 1448"}, {{896, 512}, 1, 7167, "7168 x 4096"}};
    for (const auto& w : kWorlds) {
        SCOPED_TRACE(w.name);
        test::TempDir dir;
        const std::string n = std::to_string(w.facet);
        const std::string staidx = dir.file("staidx" + n + ".mul"),
                          statics = dir.file("statics" + n + ".mul"), items = dir.file("items.wsc");
        test::MakeEmptyStatics(staidx, statics, w.world);
        test::WriteWholeFile(items, item(1, w.lastX, 100) + item(2, w.lastX + 1, 100));
        NullProgress progress;
        const WorldCheckReport report = CheckWorld({staidx, statics, {}, items}, progress);
        EXPECT_EQ(report.World, w.world);
        EXPECT_EQ(report.faults(), 1);
        ASSERT_EQ(report.count(FindingKind::ItemOutsideWorld), 1);
        const CheckFinding& finding = report.Findings.back();
        EXPECT_EQ(finding.Line, 11);
        EXPECT_NE(finding.Text.find("outside the " + w.name + " world"), std::string::npos)
            << finding.Text;
    }
}

} // namespace
} // namespace lw
