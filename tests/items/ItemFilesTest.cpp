// The item file routines: appending, the normalised copy, the selection scan, the AutoSelect
// list and the extraction of selected items.
#include "items/AppendItems.h"
#include "items/AutoSelect.h"
#include "items/ExtractBlockItems.h"
#include "items/InvalidTag.h"
#include "items/OperationPaths.h"
#include "items/ScanHighestNumbers.h"
#include "items/SelectItems.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;

std::string NewItemText(int number, int serial, int id, int x, int y, int z, int color) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\n\tSERIAL " +
           std::to_string(serial) + "\r\n\tNAME #\r\n\tID " + std::to_string(id) + "\r\n\tX " +
           std::to_string(x) + "\r\n\tY " + std::to_string(y) + "\r\n\tZ " + std::to_string(z) +
           "\r\n\tCOLOR " + std::to_string(color) + "\r\n\tCONT -1\r\n\tTYPE 255\r\n}\r\n\r\n";
}

class AppendItemsTest : public ::testing::Test {
protected:
    void SetUp() override { block = std::make_unique<TStaticBlock>(); }
    void TearDown() override { EXPECT_EQ(FileFaults::OpenHandles(), 0); }
    void append(ItemFileStyle style, int blockX = 2, int blockY = 5) {
        AppendItems(path, style, *block, blockX, blockY,
                    [this](const std::string& line) { log.push_back(line); });
    }

    test::TempDir dir;
    std::string path = dir.file("items.wsc");
    std::unique_ptr<TStaticBlock> block;
    std::vector<std::string> log;
};

TEST_F(AppendItemsTest, NumbersFollowTheHighestAndPositionsAreWorldTiles) {
    WriteWholeFile(path, "SECTION WORLDITEM 9\r\n{\r\nSERIAL 1073741900\r\n}\r\n");
    block->Count = 1;
    block->Recs[0] = {3821, 3, 7, -5, 0};
    append(ItemFileStyle::Pol);
    EXPECT_EQ(log,
              (std::vector<std::string>{"  Highest number: 9", "  Highest serial: 40 00 00 4C"}));
    EXPECT_EQ(ReadWholeFile(path), "SECTION WORLDITEM 9\r\n{\r\n\tSERIAL 1073741900\r\n}\r\n\r\n" +
                                       NewItemText(10, 1073741901, 3821, 19, 47, -5, 0));
}

TEST_F(AppendItemsTest, StartNumbersOfNewAndSectionlessFiles) {
    block->Count = 1;
    block->Recs[0] = {1, 0, 0, 0, 7};
    append(ItemFileStyle::Pol, 0, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ReadWholeFile(path), NewItemText(2, 1073741825, 1, 0, 0, 0, 7));

    WriteWholeFile(path, "// nothing here\r\n");
    append(ItemFileStyle::Uox3, 0, 0);
    EXPECT_EQ(log,
              (std::vector<std::string>{"  Highest number: -1", "  Highest serial: 40 00 00 00"}));
    EXPECT_EQ(ReadWholeFile(path),
              "// nothing here\r\n" + NewItemText(0, 1073741825, 1, 0, 0, 0, 7) + "EOF\r\n");
}

TEST_F(AppendItemsTest, EmptyBlockDoesNotTouchTheFile) {
    append(ItemFileStyle::Uox3);
    EXPECT_EQ(log, std::vector<std::string>{"Nothing to do!"});
    EXPECT_FALSE(FileExists(path));
}

TEST_F(AppendItemsTest, RewriteIsNormalisedEndsAtEofAndKeepsEightBitBytes) {
    WriteWholeFile(path, "  SECTION WORLDITEM 1\n  {\r   NAME M\xE4"
                         "dchen  \r\n\r\n     }\n// Stra\xDF"
                         "e\r\n  eof  \r\nSECTION WORLDITEM 50\r\n");
    block->Count = 1;
    block->Recs[0] = {5, 1, 1, 1, 1};
    append(ItemFileStyle::Uox3, 0, 0);
    EXPECT_EQ(log[0], "  Highest number: 1");
    EXPECT_EQ(ReadWholeFile(path), "SECTION WORLDITEM 1\r\n{\r\n\tNAME M\xE4"
                                   "dchen\r\n}\r\n\r\n// Stra\xDF"
                                   "e\r\n" +
                                       NewItemText(2, 1073741825, 5, 1, 1, 1, 1) + "EOF\r\n");
}

TEST_F(AppendItemsTest, RefusesNumbersPastTheLargestInteger) {
    for (const char* text : {"SECTION WORLDITEM 2147483647\r\n", "SERIAL 2147483647\r\n",
                             "SECTION WORLDITEM 2147483646\r\n"}) {
        WriteWholeFile(path, text);
        block->Count = 2;
        EXPECT_THROW(append(ItemFileStyle::Pol), Error) << text;
        EXPECT_EQ(ReadWholeFile(path), text);
    }
    EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().filename(), "items.wsc");
}

TEST(ScanHighestNumbers, ComparesSignedAndStopsAtEof) {
    const HighestNumbers h = ScanHighestNumbers(
        std::string_view("section worlditem 12\r\nsection worlditem -7\r\nSERIAL "
                         "$7FFFFFF0\r\nSERIAL -1\r\nEOF\r\nSECTION WORLDITEM 99"));
    EXPECT_EQ(h.Number, 12);
    EXPECT_EQ(h.Serial, 0x7FFFFFF0);
    // A longer tag name is another tag; a header keeps its prefix test.
    const HighestNumbers other = ScanHighestNumbers(
        std::string_view("SERIAL2 0x7FFFFFFF\r\nSERIAL_OLD 9\r\nSECTION WORLDITEM7\r\n"));
    EXPECT_EQ(other.Number, 7);
    EXPECT_EQ(other.Serial, 0x40000000);
    EXPECT_THROW(ScanHighestNumbers(std::string_view("SERIAL 5x")), ConvertError);
}

struct Scanned {
    std::vector<std::string> log;
    ItemSelection selection;
};

Scanned Select(const std::string& text, SelectionMode mode, const AutoSelectIDs& ids = {}) {
    Scanned s;
    s.selection =
        SelectItems(text, mode, ids, [&](const std::string& line) { s.log.push_back(line); });
    return s;
}

std::string Section(int number, const std::string& tags) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\n" + tags + "}\r\n";
}

TEST(SelectItems, TakesWorldItemsByTypeOrAutoList) {
    AutoSelectIDs ids;
    ids.set(3821);
    const struct {
        std::string tags;
        bool type255, autoMode;
    } cases[] = {
        {"ID 1\r\nX 19\r\nY 47\r\nCONT -1\r\nTYPE 255\r\n", true, true},
        {"X 19\r\nY 47\r\nCONT 5\r\nTYPE 255\r\n", false, false},
        {"X 19\r\nY 47\r\nTYPE 255\r\n", false, false}, // CONT 0 by default
        {"  id   0x0EED \r\nNAME #\r\nCONT -1\r\nTYPE 0\r\n", false, true},
        {"ID 3821\r\nNAME Rock\r\nCONT -1\r\nTYPE 0\r\n", false, false},
        {"ID 3822\r\nNAME #\r\nCONT -1\r\nTYPE 0\r\n", false, false},
        {"ID 3821\r\nname #\r\ncont -1\r\ntype 3\r\n", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tags);
        EXPECT_EQ(Select(Section(4, c.tags), SelectionMode::Type255, ids).selection.Items.size(),
                  c.type255 ? 1u : 0u);
        EXPECT_EQ(Select(Section(4, c.tags), SelectionMode::Auto, ids).selection.Items.size(),
                  c.autoMode ? 1u : 0u);
        EXPECT_TRUE(
            Select(Section(4, c.tags), static_cast<SelectionMode>(2), ids).selection.Items.empty());
    }
    // Item numbers past 65535 are items like any other, 65535 included.
    const Scanned s = Select(Section(65535, "CONT -1\r\nTYPE 255\r\n") +
                                 Section(7, "X 6200\r\nY 47\r\nCONT -1\r\nTYPE 255\r\n") +
                                 Section(2147483647, "CONT -1\r\nTYPE 255\r\n"),
                             SelectionMode::Type255);
    EXPECT_EQ(s.log, (std::vector<std::string>{"Selecting item for export: 65535",
                                               "Selecting item for export: 7",
                                               "Selecting item for export: 2147483647"}));
    ASSERT_EQ(s.selection.Items.size(), 3u);
    EXPECT_EQ(s.selection.Items[1].Header, 1);
    EXPECT_EQ(s.selection.Items[1].BlockX, 775);
    EXPECT_EQ(s.selection.Items[1].BlockY, 5);
}

// Exported files carry tags whose names begin with another tag's name: NAME2 beside NAME,
// XOFFSET beside X. A tag name followed by a letter, digit or "_" is another tag, which the scan
// ignores and the extraction drops with the item.
const char* const kLookalikeTags = "NAME #\r\nNAME2 Rock\r\nID 1709\r\nIDENT 5\r\nX 1439\r\n"
                                   "XOFFSET 3\r\nY 1613\r\nY_2 x\r\nZ 20\r\nZ9 -\r\n"
                                   "COLOR 4\r\nCOLOR2 9\r\nCONT -1\r\nCONTAINER 5\r\n"
                                   "TYPE 0\r\nTYPES 255\r\n";

TEST(SelectItems, LongerTagNamesAreOtherTags) {
    AutoSelectIDs ids;
    ids.set(1709);
    const Scanned s = Select(Section(0, kLookalikeTags), SelectionMode::Auto, ids);
    ASSERT_EQ(s.selection.Items.size(), 1u);
    EXPECT_EQ(s.selection.Items[0].BlockX, 1439 / 8);
    EXPECT_EQ(s.selection.Items[0].BlockY, 1613 / 8);
    EXPECT_TRUE(
        Select(Section(0, kLookalikeTags), SelectionMode::Type255, ids).selection.Items.empty());
}

TEST(SelectItems, InvalidTagMessagesNameTheSection) {
    const struct {
        std::string text, message;
    } cases[] = {
        {Section(12, "ID 70000\r\n"), "Invalid tag after \"SECTION WORLDITEM 12\""},
        {"SECTION CHARACTER 1\r\n{\r\nX 70000\r\n}\r\n", "Invalid tag in a character section!"},
        {Section(-5, "CONT -1\r\n"), "Invalid tag after \"SECTION WORLDITEM -5\""},
        {Section(3, "X=3\r\n"), "'=3' ist kein gültiger Integerwert"},
        // The scan reads lines upper-cased and quotes what it read.
        {Section(3, "Z twenty\r\n"), "'TWENTY' ist kein gültiger Integerwert"},
        {Section(3, "Z 1.5\r\n"), "'1.5' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        try {
            Select(c.text, SelectionMode::Type255);
            ADD_FAILURE() << c.text;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
    EXPECT_NO_THROW(Select(Section(70000, "CONT 5\r\nZ 3000\r\n"), SelectionMode::Type255));
}

TEST(LoadAutoSelect, ReadsTheFirstFiveCharactersAsSpacedHex) {
    test::TempDir dir;
    AutoSelectIDs ids;
    ids.set(1);
    WriteWholeFile(dir.file("a.txt"), "# rocks\r\n\r\n  0E ED rock\n0a28 lantern\r");
    LoadAutoSelect(dir.file("a.txt"), ids);
    EXPECT_EQ(ids.count(), 2u);
    EXPECT_TRUE(ids[3821] && ids[0x0A28]);
    WriteWholeFile(dir.file("b.txt"), "0EED\r\n");
    EXPECT_THROW(LoadAutoSelect(dir.file("b.txt"), ids), RangeError);
    WriteWholeFile(dir.file("c.txt"), "0G ED gold\r\n");
    EXPECT_THROW(LoadAutoSelect(dir.file("c.txt"), ids), ConvertError);
    EXPECT_THROW(LoadAutoSelect(dir.file("none.txt"), ids), IoError);
    // The template shipped beside the program explains itself and selects nothing.
    const std::string shipped =
        (std::filesystem::path(LW_SOURCE_DIR) / "src/items/AutoSelect.txt").string();
    LoadAutoSelect(shipped, ids);
    EXPECT_EQ(ids.count(), 0u);
}

// Extracts the selected items of one block and writes what remains.
struct Extracted {
    std::vector<TStaticRec> records;
    std::string remaining;
};

Extracted Extract(const std::string& text, int blockX, int blockY) {
    test::TempDir dir;
    File file = File::Create(dir.file("out"));
    TextWriter out(file);
    RemainingItemsWriter remaining(out);
    const ItemSelection selection = SelectItems(
        text, SelectionMode::Type255, {}, [](const auto&) {}, remaining);
    remaining.finish();
    out.flush();
    file.close();
    BlockItemExtraction extraction(text, selection);
    auto block = std::make_unique<TStaticBlock>();
    extraction.extract(blockX, blockY, *block);
    return {{block->Recs, block->Recs + block->Count}, ReadWholeFile(dir.file("out"))};
}

TEST(BlockItemExtraction, TakesOnlyTheSelectedSectionsAndKeepsEverythingElse) {
    const std::string text =
        Section(1, "  id   0x0EED \r\nX 19\r\nY 47\r\nZ -5\r\nCOLOR 7\r\nCONT -1\r\nTYPE 255\r\n") +
        "// after the item\r\nSECTION CHARACTER 2\r\n{\r\nNAME Bob\r\n}\r\n" +
        Section(1, "ID 5\r\nX 3\r\nY 4\r\nZ 500\r\nCONT 1073741825\r\nTYPE 255\r\n");
    const Extracted e = Extract(text, 2, 5);
    ASSERT_EQ(e.records.size(), 1u);
    const TStaticRec& r = e.records[0];
    EXPECT_EQ(+r.ID, 3821);
    EXPECT_EQ(r.X, 3);
    EXPECT_EQ(r.Y, 7);
    EXPECT_EQ(r.Z, -5);
    EXPECT_EQ(+r.Color, 7);
    EXPECT_EQ(e.remaining,
              "// after the item\r\nSECTION CHARACTER 2\r\n{\r\n\tNAME Bob\r\n}\r\n\r\n"
              "SECTION WORLDITEM 1\r\n{\r\n\tID 5\r\n\tX 3\r\n\tY 4\r\n\tZ 500\r\n"
              "\tCONT 1073741825\r\n\tTYPE 255\r\n}\r\n\r\n");
}

TEST(BlockItemExtraction, LongerTagNamesAreDroppedWithTheItem) {
    const Extracted e =
        Extract(Section(0, std::string(kLookalikeTags) + "TYPE 255\r\n"), 1439 / 8, 1613 / 8);
    ASSERT_EQ(e.records.size(), 1u);
    const TStaticRec& r = e.records[0];
    EXPECT_EQ(+r.ID, 1709);
    EXPECT_EQ(r.X, 1439 % 8);
    EXPECT_EQ(r.Y, 1613 % 8);
    EXPECT_EQ(r.Z, 20);
    EXPECT_EQ(+r.Color, 4);
    EXPECT_EQ(e.remaining, "");
}

TEST(BlockItemExtraction, RangeErrorsNameTheExtractedItem) {
    const std::string text = Section(1, "X 19\r\nY 47\r\nCONT -1\r\nTYPE 255\r\n") +
                             Section(2, "Z 300\r\nX 27\r\nY 47\r\nCONT -1\r\nTYPE 255\r\n");
    EXPECT_NO_THROW(Extract(text, 2, 5));
    try {
        Extract(text, 3, 5);
        ADD_FAILURE();
    } catch (const InvalidTag& e) {
        EXPECT_STREQ(e.what(), "Invalid tag after \"SECTION WORLDITEM 2\"");
    }
}

TEST(RequireItemText, RefusesWorldFilesByNameInAnyLetterCase) {
    test::TempDir dir;
    for (const char* name : {"map0.mul", "STAIDX0.MUL", "Statics0.Mul"}) {
        const OperationFiles files({{"patch file", dir.file(name), FileUse::Write}},
                                   [](const std::string&) {});
        try {
            RequireItemText(files, "patch file");
            ADD_FAILURE() << name;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), "The patch file " + files.path("patch file") +
                                    " is a world file, not a text file.");
        }
    }
    const OperationFiles plain({{"item file", dir.file("items.wsc"), FileUse::Write}},
                               [](const std::string&) {});
    EXPECT_NO_THROW(RequireItemText(plain, "item file"));
}

} // namespace
} // namespace lw
