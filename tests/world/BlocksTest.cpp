#include "world/Blocks.h"

#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"

#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::TempDir;
using test::WriteWholeFile;

TEST(WorldGeometry, LocatesBlocksAndCells) {
    EXPECT_EQ(BlockNumber(767, 511), 393215);
    EXPECT_EQ(MapBlockOffset(767, 511), 77070140u);
    EXPECT_EQ(MapCellOffset(6143, 4095), 77070333u);
    EXPECT_EQ(MapCellOffset(6143, 4095) + 2, kMapFileSize - 1); // the last altitude
    EXPECT_EQ(CellIndex(10, 20), 34);
    EXPECT_EQ(MapCellOffset(10, 20), 100850u);
    EXPECT_EQ(IndexEntryOffset(1, 2), 6168u);
    EXPECT_EQ(BlockNumber(0, 1), 1);
    EXPECT_EQ(BlockNumber(1, 0), 512);
}

class BlocksTest : public ::testing::Test {
protected:
    void SetUp() override { block = std::make_unique<TStaticBlock>(); }
    void TearDown() override { EXPECT_EQ(FileFaults::OpenHandles(), 0); }

    std::string statics700() {
        const std::string path = dir.file("statics0.mul");
        std::string bytes(700, '\0');
        for (int i = 0; i < 700; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(i);
        WriteWholeFile(path, bytes);
        return path;
    }

    TempDir dir;
    std::unique_ptr<TStaticBlock> block;
};

TEST_F(BlocksTest, MapBlocksReadAndWriteInPlace) {
    const std::string map = dir.file("map0.mul");
    test::MakeSparseMap(map);
    TMapBlock written{};
    written.Header = 0xDEADBEEF;
    written.Cells[63] = {0x0EED, -5};
    WriteMapBlock(map, 767, 511, written);
    EXPECT_EQ(FileSizeOf(map), kMapFileSize);
    const TMapBlock read = ReadMapBlock(map, 767, 511);
    EXPECT_EQ(read.Header, 0xDEADBEEFu);
    EXPECT_EQ(+read.Cells[63].Tile, 0x0EED);
    EXPECT_EQ(ReadWholeFile(map).back(), static_cast<char>(-5));
}

TEST_F(BlocksTest, MapBlocksOutsideTheWorldAreZerosAndNeverTouchTheFile) {
    const std::string missing = dir.file("no-map0.mul");
    const TMapBlock read = ReadMapBlock(missing, 768, 0);
    EXPECT_EQ(read.Header, 0u);
    EXPECT_EQ(+read.Cells[0].Tile, 0);
    TMapBlock mapBlock{};
    mapBlock.Header = 1;
    WriteMapBlock(missing, 0, 512, mapBlock);
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(BlocksTest, ReadStaticBlockFollowsTheEntry) {
    const std::string statics = statics700();
    ReadStaticBlock(dir.file("missing"), {-1, 21, 0}, *block);
    EXPECT_EQ(block->Count, 0);

    ReadStaticBlock(statics, {0, 21, 0}, *block);
    ASSERT_EQ(block->Count, 3);
    EXPECT_EQ(+block->Recs[2].ID, 14 | 15 << 8);

    ReadStaticBlock(statics, {100, 14, 0}, *block);
    ASSERT_EQ(block->Count, 2);
    EXPECT_EQ(+block->Recs[0].ID, 100 | 101 << 8);
    EXPECT_EQ(block->Recs[1].Z, 111);
    EXPECT_EQ(+block->Recs[2].ID, 0) << "slots past Count are cleared";

    ReadStaticBlock(statics, {100, 0, 0}, *block);
    EXPECT_EQ(block->Count, 0);
}

TEST_F(BlocksTest, ReadStaticBlockRefusesBadLengthsBeforeReading) {
    const std::string statics = statics700();
    try {
        ReadStaticBlock(statics, {0, 20, 0}, *block);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    }
    // 2049 records, and a length whose record count would wrap a 16-bit counter.
    EXPECT_THROW(ReadStaticBlock(statics, {0, 2049 * 7, 0}, *block), Error);
    EXPECT_THROW(ReadStaticBlock(statics, {0, 65537u * 7, 0}, *block), Error);
    EXPECT_THROW(ReadStaticBlock(statics, {0, 0xFFFFFFFCu, 0}, *block), Error);
    EXPECT_EQ(block->Count, 0);
    // A run that the file does not hold wholly.
    EXPECT_THROW(ReadStaticBlock(statics, {693, 14, 0}, *block), IoError);
}

TEST_F(BlocksTest, AppendStaticBlockPutsANewRunAtTheEnd) {
    const std::string statics = statics700();
    block->Count = 2;
    block->Recs[0] = {0x0EED, 3, 7, -5, 0};
    block->Recs[1] = {0x0001, 0, 0, 0, 2};
    StaticPointer entry{-1, 0, 77};
    AppendStaticBlock(statics, entry, *block);
    EXPECT_EQ(entry.Offset, 700);
    EXPECT_EQ(entry.Length, 14u);
    EXPECT_EQ(entry.Extra, 77u);
    EXPECT_EQ(FileSizeOf(statics), 714u);

    block->Count = 0;
    AppendStaticBlock(statics, entry, *block);
    EXPECT_EQ(entry.Offset, 714);
    EXPECT_EQ(entry.Length, 0u);
    EXPECT_EQ(FileSizeOf(statics), 714u);
}

TEST_F(BlocksTest, AppendStaticBlockRefusesToGrowPastSignedOffsets) {
    const std::string statics = dir.file("statics0.mul");
    {
        File f = File::Create(statics);
        f.truncate(2147483647ull - 7); // sparse
        f.close();
    }
    block->Count = 1;
    StaticPointer entry{5, 7, 0};
    AppendStaticBlock(statics, entry, *block); // ends exactly at 2,147,483,647
    EXPECT_EQ(entry.Offset, 2147483647 - 7);
    const StaticPointer before = entry;
    EXPECT_THROW(AppendStaticBlock(statics, entry, *block), Error);
    EXPECT_EQ(FileSizeOf(statics), 2147483647u);
    EXPECT_EQ(entry.Offset, before.Offset);
}

TEST_F(BlocksTest, FailedAppendLeavesTheEntryAlone) {
    const std::string statics = statics700();
    block->Count = 1;
    StaticPointer entry{3, 7, 9};
    FileFaults::FailNthWrite(1);
    EXPECT_THROW(AppendStaticBlock(statics, entry, *block), IoError);
    FileFaults::Reset();
    EXPECT_EQ(entry.Offset, 3);
    EXPECT_EQ(entry.Length, 7u);
}

TEST_F(BlocksTest, MergeStaticBlocksFillsUpTo2048) {
    auto source = std::make_unique<TStaticBlock>();
    block->Count = 2000;
    block->Recs[1999].ID = 1;
    source->Count = 48;
    source->Recs[0].ID = 2;
    source->Recs[47].ID = 3;
    MergeStaticBlocks(*block, *source);
    EXPECT_EQ(block->Count, 2048);
    EXPECT_EQ(+block->Recs[1999].ID, 1);
    EXPECT_EQ(+block->Recs[2000].ID, 2);
    EXPECT_EQ(+block->Recs[2047].ID, 3);

    block->Count = 2000;
    source->Count = 49;
    EXPECT_THROW(MergeStaticBlocks(*block, *source), RangeError);
    EXPECT_EQ(block->Count, 2000);
}

TEST(ClassifyBlock, TellsInsidePartlyAndOutside) {
    using enum BlockCover;
    const struct {
        int left, top, right, bottom, bx, by;
        BlockCover expected;
    } cases[] = {
        {8, 8, 15, 15, 1, 1, Inside},  {8, 8, 15, 15, 0, 1, Outside},
        {8, 8, 15, 15, 2, 1, Outside}, {8, 8, 15, 15, 1, 0, Outside},
        {8, 8, 15, 15, 1, 2, Outside}, {7, 8, 16, 15, 1, 1, Inside},
        {7, 8, 16, 15, 0, 1, Partly},  {7, 8, 16, 15, 2, 1, Partly},
        {7, 8, 16, 15, 1, 0, Outside}, {0, 0, 6143, 4095, 767, 511, Inside},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyBlock(c.left, c.top, c.right, c.bottom, c.bx, c.by), c.expected)
            << c.left << "," << c.top << "," << c.right << "," << c.bottom << " block " << c.bx
            << "," << c.by;
}

} // namespace
} // namespace lw
