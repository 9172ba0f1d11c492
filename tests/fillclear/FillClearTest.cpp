// Fill and clear on a small sparse world: the bytes each pass writes, the removal order, the
// rectangle's odd shapes, the program-wide index, and refusals that leave every file alone.
#include "fillclear/FillClear.h"

#include "fillclear/NamedTiles.h"
#include "support/FolderSnapshot.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "world/Blocks.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using test::ReadWholeFile;

TStaticRec Rec(std::uint16_t id, std::uint8_t x, std::uint8_t y) {
    return {id, x, y, 5, 0};
}

std::vector<std::uint16_t> Ids(const std::vector<TStaticRec>& records) {
    std::vector<std::uint16_t> ids;
    for (const TStaticRec& r : records)
        ids.push_back(std::uint16_t{r.ID});
    return ids;
}

std::string Bytes(const void* data, std::size_t size) {
    return {static_cast<const char*>(data), size};
}

class FillClearTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx(), statics());
        test::MakeSparseMap(map());
    }

    std::string staidx() const { return dir.file("staidx0.mul"); }
    std::string statics() const { return dir.file("statics0.mul"); }
    std::string map() const { return dir.file("map0.mul"); }

    FillClearRequest request(int left, int top, int right, int bottom) const {
        FillClearRequest r;
        r.StaIdxPath = staidx();
        r.StaticsPath = statics();
        r.MapPath = map();
        r.Left = left;
        r.Top = top;
        r.Right = right;
        r.Bottom = bottom;
        r.Tile = {-1, 0x0003};
        r.Altitude = -7;
        return r;
    }

    // A map block whose every byte says where it is, so that a changed byte shows.
    static TMapBlock Marked(int blockX, int blockY) {
        TMapBlock block;
        for (std::size_t i = 0; i < sizeof block; ++i)
            reinterpret_cast<unsigned char*>(&block)[i] =
                static_cast<unsigned char>(blockX * 7 + blockY * 3 + static_cast<int>(i));
        return block;
    }
    void putEntry(int blockX, int blockY, StaticPointer entry) {
        File index = File::OpenReadWrite(staidx());
        index.seek(IndexEntryOffset(blockX, blockY));
        index.write(&entry, sizeof entry);
        index.close();
    }
    StaticPointer entry(int blockX, int blockY) const {
        return test::ReadIndexFile(staidx()).at(blockX, blockY);
    }
    std::vector<TStaticRec> records(int blockX, int blockY) const {
        return test::ReadBlockRecords(staidx(), statics(), blockX, blockY);
    }

    test::TempDir dir;
    ProgramState state;
    NullProgress quiet;
};

TEST_F(FillClearTest, SingleTileRectangleChangesOnlyThatTile) {
    // Tile (10, 20) is cell x 2, y 4 of block (1, 2).
    test::PutStaticBlock(staidx(), statics(), 1, 2,
                         {Rec(1, 2, 4), Rec(2, 3, 4), Rec(3, 2, 4), Rec(4, 2, 5)});
    StaticPointer e = entry(1, 2);
    e.Extra = 77;
    putEntry(1, 2, e);
    WriteMapBlock(map(), 1, 2, Marked(1, 2));
    const std::string staticsBefore = ReadWholeFile(statics());
    const std::string mapBefore = ReadWholeFile(map());
    auto indexBefore = std::make_unique<StaticIndexTable>(test::ReadIndexFile(staidx()));

    FillClear(state, request(10, 20, 10, 20), quiet);

    // Record 1 is replaced by record 4, and record 3 (then the last) simply goes.
    const std::vector<TStaticRec> kept{Rec(4, 2, 5), Rec(2, 3, 4)};
    const std::string statics2 = ReadWholeFile(statics());
    EXPECT_EQ(statics2, staticsBefore + Bytes(kept.data(), 14));
    const StaticPointer written = entry(1, 2);
    EXPECT_EQ(written.Offset, static_cast<std::int32_t>(staticsBefore.size()));
    EXPECT_EQ(written.Length, 14u);
    EXPECT_EQ(written.Extra, 77u);
    indexBefore->at(1, 2) = written;
    EXPECT_TRUE(test::ReadIndexFile(staidx()) == *indexBefore);

    std::string mapExpected = mapBefore;
    const TMapCell cell{0x0003, -7};
    std::memcpy(mapExpected.data() + MapCellOffset(10, 20), &cell, sizeof cell);
    EXPECT_TRUE(ReadWholeFile(map()) == mapExpected);
}

TEST_F(FillClearTest, InsideRecordsAreReplacedByTheLast) {
    // A B C D with A and C inside ends as D B; a block beside it that loses nothing and an empty
    // one are written anew all the same.
    test::PutStaticBlock(staidx(), statics(), 0, 0,
                         {Rec('A', 1, 1), Rec('B', 5, 5), Rec('C', 1, 2), Rec('D', 6, 6)});
    test::PutStaticBlock(staidx(), statics(), 0, 1, {Rec('E', 7, 7)});
    putEntry(0, 2, {kNoStatics, 0, 9});
    const std::uint64_t sizeBefore = FileSizeOf(statics());
    FillClear(state, request(0, 0, 3, 19), quiet);

    EXPECT_EQ(Ids(records(0, 0)), (std::vector<std::uint16_t>{'D', 'B'}));
    EXPECT_EQ(Ids(records(0, 1)), (std::vector<std::uint16_t>{'E'}));
    EXPECT_EQ(entry(0, 1).Offset, static_cast<std::int32_t>(sizeBefore + 14));
    const StaticPointer emptied = entry(0, 2);
    EXPECT_EQ(emptied.Offset, static_cast<std::int32_t>(sizeBefore + 21));
    EXPECT_EQ(emptied.Length, 0u);
    EXPECT_EQ(emptied.Extra, 9u);
    EXPECT_EQ(FileSizeOf(statics()), sizeBefore + 21);
}

TEST_F(FillClearTest, WholeWorldEmptiesEveryEntryAndFillsEveryCellWithGroupTiles) {
    test::PutStaticBlock(staidx(), statics(), 2, 5, {Rec(1, 3, 7)});
    WriteMapBlock(map(), 0, 0, Marked(0, 0));
    WriteMapBlock(map(), 767, 511, Marked(767, 511));
    {
        File file = File::OpenReadWrite(map());
        file.seek(kMapFileSize);
        file.write("tail", 4);
    }
    const std::string staticsBefore = ReadWholeFile(statics());
    state.RandomSeed = 42;
    FillClearRequest r = request(0, 0, 6144, 4096);
    r.Tile = {FindNamedTile("Random water"), 0};

    FillClear(state, r, quiet);

    EXPECT_EQ(ReadWholeFile(statics()), staticsBefore);
    std::vector<StaticPointer> cleared(kBlockCount, StaticPointer{kNoStatics, 0xFFFFFFFFu, 0});
    EXPECT_EQ(ReadWholeFile(staidx()), Bytes(cleared.data(), kIndexFileSize));

    const std::string written = ReadWholeFile(map());
    ASSERT_EQ(written.size(), kMapFileSize + 4);
    EXPECT_EQ(written.substr(kMapFileSize), "tail");
    std::uint32_t seed = 42;
    bool allWater = true;
    for (int n = 0; n < kBlockCount; ++n) {
        TMapBlock block;
        std::memcpy(&block, written.data() + n * kMapBlockSize, sizeof block);
        for (const TMapCell& cell : block.Cells)
            allWater = allWater && cell.Tile >= 168 && cell.Tile <= 171 && cell.Altitude == -7;
        if (n == 0) {
            // Cells are visited x outer, y inner: the picks run down the first column.
            EXPECT_EQ(block.Header, Marked(0, 0).Header);
            for (int x = 0; x < 8; ++x)
                for (int y = 0; y < 8; ++y)
                    EXPECT_EQ(+block.Cells[CellIndex(x, y)].Tile, PickNamedTile(seed, 13));
        }
    }
    EXPECT_TRUE(allWater);
    TMapBlock last;
    std::memcpy(&last, written.data() + MapBlockOffset(767, 511), sizeof last);
    EXPECT_EQ(last.Header, Marked(767, 511).Header);
    EXPECT_NE(state.RandomSeed, 42u);
}

TEST_F(FillClearTest, LeftBeyondRightHoldsNoTileButRewritesTheBlocksBothBordersFallInto) {
    test::PutStaticBlock(staidx(), statics(), 1, 0, {Rec(1, 4, 4)});
    test::PutStaticBlock(staidx(), statics(), 2, 0, {Rec(2, 4, 4)});
    WriteMapBlock(map(), 1, 0, Marked(1, 0));
    const std::string mapBefore = ReadWholeFile(map());
    const std::uint64_t sizeBefore = FileSizeOf(statics());
    FillClearRequest r = request(13, 0, 10, 15);
    EXPECT_FALSE(HoldsWorldTile(r));

    FillClear(state, r, quiet);

    EXPECT_EQ(Ids(records(1, 0)), std::vector<std::uint16_t>{1});
    EXPECT_EQ(entry(1, 0).Offset, static_cast<std::int32_t>(sizeBefore));
    EXPECT_EQ(entry(1, 1).Offset, static_cast<std::int32_t>(sizeBefore + 7));
    EXPECT_EQ(entry(1, 1).Length, 0u);
    EXPECT_EQ(entry(2, 0).Offset, static_cast<std::int32_t>(sizeBefore - 7));
    EXPECT_EQ(FileSizeOf(statics()), sizeBefore + 7);
    EXPECT_TRUE(ReadWholeFile(map()) == mapBefore);
}

TEST_F(FillClearTest, AltitudeIsAskedAnewForEachCellInVisitOrder) {
    FillClearRequest r = request(0, 0, 1, 1);
    std::int8_t next = 0;
    r.AltitudeSource = [&] { return ++next; };
    r.ClearStatics = false;
    FillClear(state, r, quiet);
    const TMapBlock block = ReadMapBlock(map(), 0, 0);
    EXPECT_EQ(block.Cells[CellIndex(0, 0)].Altitude, 1);
    EXPECT_EQ(block.Cells[CellIndex(0, 1)].Altitude, 2);
    EXPECT_EQ(block.Cells[CellIndex(1, 0)].Altitude, 3);
    EXPECT_EQ(block.Cells[CellIndex(1, 1)].Altitude, 4);
    EXPECT_EQ(block.Cells[CellIndex(2, 0)].Altitude, 0);
}

TEST_F(FillClearTest, ProgressRunsZeroToHundredPerPass) {
    struct Recorder : Progress {
        std::vector<int> values;
        void report(int percent) override { values.push_back(percent); }
    } progress;
    FillClear(state, request(0, 0, 100, 100), progress);
    ASSERT_EQ(progress.values.size(), 2u * kBlockColumns);
    for (const std::size_t start : {std::size_t{0}, std::size_t{kBlockColumns}}) {
        EXPECT_EQ(progress.values[start], 0);
        EXPECT_EQ(progress.values[start + 1], 0);
        EXPECT_EQ(progress.values[start + 8], 1);
        EXPECT_EQ(progress.values[start + kBlockColumns - 1], 100);
    }
}

TEST_F(FillClearTest, TheLoadedIndexTakesTheEntriesWrittenToItsOwnFile) {
    test::PutStaticBlock(staidx(), statics(), 0, 0, {Rec(1, 0, 0)});
    LoadStaticIndex(state, dir.path() + "/./staidx0.mul", quiet);
    FillClear(state, request(0, 0, 7, 7), quiet);
    EXPECT_EQ(state.StaticIndex.at(0, 0).Offset, kNoStatics);
    EXPECT_TRUE(state.StaticIndex == test::ReadIndexFile(staidx()));

    // An index loaded from another file stays as it is.
    test::TempDir other;
    test::MakeEmptyStatics(other.file("staidx0.mul"), other.file("statics0.mul"));
    LoadStaticIndex(state, other.file("staidx0.mul"), quiet);
    FillClear(state, request(8, 0, 15, 7), quiet);
    EXPECT_TRUE(state.StaticIndex == test::ReadIndexFile(other.file("staidx0.mul")));
    EXPECT_EQ(state.StaticIndex.at(1, 0).Offset, kNoStatics);
    EXPECT_EQ(state.StaticIndex.at(1, 0).Length, 0u);
}

TEST_F(FillClearTest, RefusalsChangeNothing) {
    test::PutStaticBlock(staidx(), statics(), 0, 0, {Rec(1, 0, 0)});
    const auto before = test::Snapshot(dir.path());
    const auto expectRefused = [&](const FillClearRequest& r, const std::string& message) {
        try {
            FillClear(state, r, quiet);
            ADD_FAILURE() << "not refused: " << message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    };
    FillClearRequest sameFile = request(0, 0, 3, 3);
    sameFile.MapPath = dir.path() + "/./staidx0.mul";
    expectRefused(sameFile,
                  "StaIdx0.mul, Statics0.mul and Map0.mul must be three different files!");
    expectRefused(request(0, 0, 65536, 3), "Fehler bei Bereichsprüfung");

    // A map too short for the world fails reading it; the statics already appended go again.
    {
        File file = File::OpenReadWrite(map());
        file.truncate(kMapFileSize - 1);
        file.close();
    }
    const auto shortMap = test::Snapshot(dir.path());
    try {
        FillClear(state, request(0, 0, 3, 3), quiet);
        ADD_FAILURE();
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), kIoReadPastEnd);
    }
    test::ExpectSameFiles(test::Snapshot(dir.path()), shortMap);
}

} // namespace
} // namespace lw
