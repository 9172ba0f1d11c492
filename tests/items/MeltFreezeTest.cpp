// Melt and freeze as the main window runs them: log sequences, index entries, statics runs,
// patch files, refused paths, and a melt undone by a freeze.
#include "OperationRun.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ItemWorld;
using test::ReadWholeFile;
using test::WriteWholeFile;
using Lines = std::vector<std::string>;

std::string Item(int number, int x, int y, const std::string& tags = "CONT -1\r\nTYPE 255\r\n") {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nSERIAL " +
           std::to_string(0x40000000 + number) + "\r\nID 3821\r\nX " + std::to_string(x) +
           "\r\nY " + std::to_string(y) + "\r\nZ -5\r\n" + tags + "}\r\n";
}

class MeltFreezeTest : public ::testing::Test {
protected:
    void SetUp() override { test::MakeEmptyStatics(w.staidx(), w.statics()); }

    test::Outcome melt(const std::array<std::string, 4>& fields,
                       ItemFileStyle style = ItemFileStyle::Pol) {
        return test::RunOperation(
            w.staidx(), [&](ProgramState& s, const LogSink& log, Progress& p) {
                log(kMeltStartLine);
                const BlockRange range = ParseBlockRange(fields);
                shownRange = range.SnappedTexts;
                MeltBlocks(s, {w.staidx(), w.statics(), w.items(), style, range}, log, p);
                log(kMeltDoneLine);
            });
    }
    test::Outcome freeze(const FreezeRequest& request) {
        return test::RunOperation(w.staidx(),
                                  [&](ProgramState& s, const LogSink& log, Progress& p) {
                                      FreezeWorld(s, request, log, p);
                                      freezeDone = s.FreezeDone;
                                  });
    }
    StaticPointer entry(int blockX, int blockY) {
        return test::ReadIndexFile(w.staidx()).at(blockX, blockY);
    }

    test::TempDir dir;
    ItemWorld w{dir.path()};
    std::array<std::string, 4> shownRange;
    bool freezeDone = false;
};

TEST_F(MeltFreezeTest, MeltOfAnEmptyBlockOnlyRewritesTheIndex) {
    WriteWholeFile(w.items(), "SECTION WORLDITEM 1\n{\n}\n");
    const test::Outcome out = melt({"0", "0", "0", "0"});
    EXPECT_EQ(out.error, "");
    EXPECT_EQ(out.log,
              (Lines{"Melting in progress... Loamwright may look crashed, do not interrupt!",
                     "Extracting from Statics... XBlock: 0 YBlock: 0   Appending to WSC...",
                     "Nothing to do!", "Writing StaIdx file...", "Done!", "Melting completed!"}));
    EXPECT_EQ(out.progress.front(), 0);
    EXPECT_EQ(out.progress[1], 90);
    EXPECT_EQ(out.progress[out.progress.size() - 2], 99);
    EXPECT_EQ(out.progress.back(), 100);
    EXPECT_EQ(ReadWholeFile(w.items()), "SECTION WORLDITEM 1\n{\n}\n");
}

TEST_F(MeltFreezeTest, MeltAppendsItemsAndEmptiesTheEntries) {
    test::PutStaticBlock(w.staidx(), w.statics(), 2, 5, {{3821, 3, 7, -5, 0}});
    File index = File::OpenReadWrite(w.staidx());
    const StaticPointer withExtra{0, 7, 99};
    index.seek(IndexEntryOffset(2, 5));
    index.write(&withExtra, sizeof withExtra);
    index.close();
    WriteWholeFile(w.items(), "SECTION WORLDITEM 9\r\n{\r\n}\r\n");
    const test::Outcome out = melt({"16", "23", "40", "47"}, ItemFileStyle::Uox3);
    EXPECT_EQ(out.log[2], "  Highest number: 9");
    EXPECT_EQ(ReadWholeFile(w.items()),
              "SECTION WORLDITEM 9\r\n{\r\n}\r\n\r\nSECTION WORLDITEM 10\r\n{\r\n\tSERIAL "
              "1073741825\r\n\tNAME #\r\n\tID 3821\r\n\tX 19\r\n\tY 47\r\n\tZ -5\r\n\tCOLOR "
              "0\r\n\tCONT -1\r\n\tTYPE 255\r\n}\r\n\r\nEOF\r\n");
    const StaticPointer melted = entry(2, 5);
    EXPECT_EQ(melted.Offset, -1);
    EXPECT_EQ(melted.Length, 0u);
    EXPECT_EQ(melted.Extra, 0u);
}

TEST_F(MeltFreezeTest, MeltWalksTheSnappedRangeAndCreatesTheItemFile) {
    test::PutStaticBlock(w.staidx(), w.statics(), 1, 1, {{1, 0, 0, 0, 0}});
    const test::Outcome out = melt({"0", "15", "8", "8"});
    EXPECT_EQ(shownRange, (std::array<std::string, 4>{"0", "15", "8", "15"}));
    EXPECT_EQ(out.log[1], "Extracting from Statics... XBlock: 0 YBlock: 1   Appending to WSC...");
    EXPECT_EQ(out.log[3], "Extracting from Statics... XBlock: 1 YBlock: 1   Appending to WSC...");
    EXPECT_EQ(out.log[4], "Writing StaIdx file...");
    EXPECT_TRUE(ReadWholeFile(w.items()).starts_with("SECTION WORLDITEM 2\r\n{\r\n\tSERIAL "
                                                     "1073741825\r\n"));
    EXPECT_EQ(melt({"0", "x", "0", "0"}).error, "'x' ist kein gültiger Integerwert");
}

TEST_F(MeltFreezeTest, FreezeAppendsTheBlockAsANewRun) {
    test::PutStaticBlock(w.staidx(), w.statics(), 2, 5,
                         {{1, 0, 0, 0, 0}, {2, 1, 1, 1, 1}, {3, 2, 2, 2, 2}});
    WriteWholeFile(w.items(), Item(12, 19, 47) + "// stays\r\n");
    const std::uint64_t oldSize = FileSizeOf(w.statics());
    const test::Outcome out = freeze(w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, false));
    EXPECT_EQ(out.log,
              (Lines{"Freezing in progress... Loamwright may look crashed, do not interrupt!",
                     "Selecting item for export: 12",
                     "Extracting from WSC... XBlock: 2 YBlock: 5   Appending to Statics...",
                     "Writing staidx file...", "Done!", "Freezing completed!"}));
    EXPECT_TRUE(freezeDone);
    EXPECT_EQ(FileSizeOf(w.statics()), oldSize + 28);
    EXPECT_EQ(entry(2, 5).Offset, static_cast<std::int32_t>(oldSize));
    EXPECT_EQ(entry(2, 5).Length, 28u);
    const auto recs = test::ReadBlockRecords(w.staidx(), w.statics(), 2, 5);
    EXPECT_EQ(+recs[3].ID, 3821);
    EXPECT_EQ(recs[3].X, 3);
    EXPECT_EQ(recs[3].Y, 7);
    EXPECT_EQ(recs[3].Z, -5);
    EXPECT_EQ(ReadWholeFile(w.items()), "// stays\r\n");
}

TEST_F(MeltFreezeTest, FreezeGoesInBlockOrderAndWritesThePatchFile) {
    WriteWholeFile(w.items(), Item(1, 8, 40) + Item(2, 3, 4095));
    const test::Outcome out = freeze(w.freeze(ItemFileStyle::Uox3, SelectionMode::Type255, true));
    EXPECT_EQ(out.log[3], "Extracting from WSC... XBlock: 0 YBlock: 511   Appending to Statics...");
    EXPECT_EQ(out.log[4], "Appending to PAT-File... XBlock: 0 YBlock: 511");
    EXPECT_EQ(out.log[5], "Extracting from WSC... XBlock: 1 YBlock: 5   Appending to Statics...");
    EXPECT_EQ(out.log[6], "Appending to PAT-File... XBlock: 1 YBlock: 5");
    EXPECT_EQ(out.log[7], "  Highest number: 2");
    EXPECT_EQ(out.log[8], "  Highest serial: 40 00 00 01");
    EXPECT_EQ(out.progress[0], 0);
    EXPECT_EQ(out.progress[1], 45);
    EXPECT_EQ(out.progress[2], 90);
    const std::string patch = ReadWholeFile(w.patch());
    EXPECT_TRUE(patch.starts_with("SECTION WORLDITEM 2\r\n"));
    EXPECT_NE(patch.find("SECTION WORLDITEM 3\r\n{\r\n\tSERIAL 1073741826\r\n\tNAME #\r\n\tID "
                         "3821\r\n\tX 8\r\n\tY 40\r\n"),
              std::string::npos);
    EXPECT_TRUE(patch.ends_with("}\r\n\r\nEOF\r\n"));
    EXPECT_EQ(ReadWholeFile(w.items()), "");
}

TEST_F(MeltFreezeTest, FreezeWithNothingSelectedStillWritesTheIndex) {
    WriteWholeFile(w.items(), Item(1, 8, 40, "CONT 5\r\nTYPE 255\r\n"));
    const test::Outcome out = freeze(w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true));
    EXPECT_EQ(out.log, (Lines{"Freezing in progress... Loamwright may look crashed, do not "
                              "interrupt!",
                              "Writing staidx file...", "Done!", "Freezing completed!"}));
    EXPECT_FALSE(FileExists(w.patch()));
    std::filesystem::remove(w.items());
    EXPECT_EQ(freeze(w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true)).log[1],
              "Nothing to do!");
}

TEST_F(MeltFreezeTest, AutoModeReadsTheAutoSelectListBeforeStarting) {
    WriteWholeFile(w.items(), Item(1, 8, 40, "NAME #\r\nCONT -1\r\nTYPE 0\r\n"));
    FreezeRequest request = w.freeze(ItemFileStyle::Pol, SelectionMode::Auto, false);
    request.autoSelectFile = dir.file("AutoSelect.txt");
    const test::Outcome missing = freeze(request);
    EXPECT_EQ(missing.error, "Datei nicht gefunden");
    EXPECT_TRUE(missing.log.empty());
    EXPECT_FALSE(freezeDone);
    WriteWholeFile(request.autoSelectFile, "0E ED gold\r\n");
    EXPECT_EQ(freeze(request).log[1], "Selecting item for export: 1");
}

TEST_F(MeltFreezeTest, RefusesItemAndPatchFilesThatAreOtherFiles) {
    WriteWholeFile(w.items(), Item(1, 8, 40));
    std::filesystem::create_hard_link(w.items(), dir.file("link.wsc"));
    const std::string same = "The WSC and the PAT file cannot be the same!";
    const struct {
        std::string items, patch, message;
    } cases[] = {
        {w.items(), dir.path() + "/ITEMS.WSC", same},
        {w.items(), dir.file("link.wsc"), same},
        {w.items(), dir.path() + "/./items.wsc", same},
        {w.items(), w.statics(), "The PAT file cannot be the StaIdx or the Statics file!"},
        {w.staidx(), w.patch(), "The WSC file cannot be the StaIdx or the Statics file!"},
    };
    const auto before = test::Snapshot(dir.path());
    for (const auto& c : cases) {
        FreezeRequest request = w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true);
        request.itemFile = c.items;
        request.patchFile = c.patch;
        const test::Outcome out = freeze(request);
        EXPECT_EQ(out.error, c.message) << c.patch;
        EXPECT_TRUE(out.log.empty());
    }
    const test::Outcome out =
        test::RunOperation(w.staidx(), [&](ProgramState& s, const LogSink& log, Progress& p) {
            MeltBlocks(s,
                       {w.staidx(),
                        w.statics(),
                        dir.path() + "/../" +
                            std::filesystem::path(dir.path()).filename().string() + "/statics0.mul",
                        ItemFileStyle::Pol,
                        {}},
                       log, p);
        });
    EXPECT_EQ(out.error, "The WSC file cannot be the StaIdx or the Statics file!");
    test::ExpectSameFiles(test::Snapshot(dir.path()), before);
}

// Melt then freeze of the same range, in a new run, restores every block's records and leaves
// the item file as it was, normalised.
TEST_F(MeltFreezeTest, FreezeUndoesAMelt) {
    for (const ItemFileStyle style : {ItemFileStyle::Pol, ItemFileStyle::Uox3}) {
        test::MakeEmptyStatics(w.staidx(), w.statics());
        const std::vector<TStaticRec> a{{10, 0, 0, 0, 0}, {11, 7, 7, -128, 0x481}};
        const std::vector<TStaticRec> b{{12, 3, 4, 127, 1}};
        test::PutStaticBlock(w.staidx(), w.statics(), 2, 5, a);
        test::PutStaticBlock(w.staidx(), w.statics(), 3, 6, b);
        const std::string items = "  section worlditem 1\n{\nNAME M\xE4"
                                  "dchen\nCONT 5\n}\n// note\n";
        WriteWholeFile(w.items(), items);
        ASSERT_EQ(melt({"16", "31", "40", "55"}, style).error, "");
        ASSERT_EQ(freeze(w.freeze(style, SelectionMode::Type255, false)).error, "");
        EXPECT_EQ(ReadWholeFile(w.items()), "section worlditem 1\r\n{\r\n\tNAME M\xE4"
                                            "dchen\r\n\tCONT 5\r\n}\r\n\r\n// note\r\n");
        const auto equal = [](const std::vector<TStaticRec>& x, const std::vector<TStaticRec>& y) {
            return x.size() == y.size() &&
                   std::memcmp(x.data(), y.data(), x.size() * sizeof(TStaticRec)) == 0;
        };
        EXPECT_TRUE(equal(test::ReadBlockRecords(w.staidx(), w.statics(), 2, 5), a));
        EXPECT_TRUE(equal(test::ReadBlockRecords(w.staidx(), w.statics(), 3, 6), b));
        EXPECT_EQ(entry(2, 6).Offset, -1);
    }
}

} // namespace
} // namespace lw
