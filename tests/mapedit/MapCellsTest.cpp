#include "mapedit/MapCells.h"

#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

class MapCellsTest : public ::testing::Test {
protected:
    void SetUp() override { test::MakeSparseMap(map); }
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    std::string bytesAt(std::uint64_t offset, std::size_t n) {
        File f = File::OpenRead(map);
        f.seek(offset);
        std::string bytes(n, '\0');
        f.readExact(bytes.data(), n);
        return bytes;
    }
    test::TempDir dir;
    std::string map = dir.file("map0.mul");
};

TEST_F(MapCellsTest, CellsLieWhereTheBlockLayoutPutsThem) {
    const struct {
        int x, y;
        std::uint64_t offset;
    } cases[] = {{0, 0, 4}, {9, 17, 100775}, {10, 20, 100850}, {6143, 4095, 77070333}};
    std::int8_t altitude = -5;
    for (const auto& c : cases) {
        const TMapCell cell{static_cast<std::uint16_t>(0x1200 + c.x % 256), altitude--};
        WriteMapCell(map, c.x, c.y, cell);
        EXPECT_EQ(bytesAt(c.offset, 3), std::string(reinterpret_cast<const char*>(&cell), 3))
            << c.x << "," << c.y;
        const TMapCell back = ReadMapCell(map, c.x, c.y);
        EXPECT_EQ(+back.Tile, +cell.Tile);
        EXPECT_EQ(back.Altitude, cell.Altitude);
    }
    EXPECT_EQ(FileSizeOf(map), kMapFileSize);
    EXPECT_THROW(ReadMapCell(map, 6144, 0), RangeError);
    EXPECT_THROW(WriteMapCell(map, 0, -1, {}), RangeError);
}

TEST_F(MapCellsTest, AreaReadGivesWhatSingleReadsGive) {
    // A rectangle across block rows and columns, with the world's last column in it.
    for (int y = 5; y < 22; ++y)
        for (int x = 6130; x < 6144; ++x)
            WriteMapCell(map, x, y,
                         {static_cast<std::uint16_t>(x * 31 + y), static_cast<std::int8_t>(y - x)});
    const auto area = ReadMapCellArea(map, 6131, 6, 13, 15);
    ASSERT_EQ(area.size(), 13u * 15u);
    for (int y = 6; y < 21; ++y)
        for (int x = 6131; x < 6144; ++x) {
            const TMapCell& cell = area[static_cast<std::size_t>((y - 6) * 13 + (x - 6131))];
            const TMapCell single = ReadMapCell(map, x, y);
            EXPECT_EQ(+cell.Tile, +single.Tile);
            EXPECT_EQ(cell.Altitude, single.Altitude);
        }
    EXPECT_TRUE(ReadMapCellArea(map, 0, 0, 0, 0).empty());
    EXPECT_THROW(ReadMapCellArea(map, 6131, 6, 14, 1), RangeError);
}

TEST_F(MapCellsTest, FailedWriteLeavesTheFileAsItWas) {
    WriteMapCell(map, 10, 20, {0x0203, 7});
    const std::string before = bytesAt(100850 - 10, 23);

    FileFaults::FailNthWrite(1);
    EXPECT_THROW(WriteMapCell(map, 10, 20, {0xFFFF, -1}), IoError);
    FileFaults::Reset();
    EXPECT_EQ(bytesAt(100850 - 10, 23), before);

    // A map too short to hold the cell stays as short as it was.
    const std::string shortMap = dir.file("short.mul");
    test::WriteWholeFile(shortMap, std::string(100, 'a'));
    EXPECT_THROW(WriteMapCell(shortMap, 10, 20, {1, 1}), IoError);
    EXPECT_EQ(test::ReadWholeFile(shortMap), std::string(100, 'a'));
    EXPECT_THROW(ReadMapCellArea(shortMap, 0, 0, 8, 8), IoError);
}

TEST_F(MapCellsTest, TheWiderWorldIsPaintedAtX7000AsPlainMapAndAsContainer) {
    constexpr WorldSize wide{896, 512};
    const test::MapInBothForms maps = test::MakeMapInBothForms(dir.file("wide"), wide);
    const std::string &plain = maps.plain, &container = maps.container;
    const test::UopFixture& fixture = maps.fixture;
    for (const std::string& path : {plain, container}) {
        SCOPED_TRACE(path);
        WriteMapCell(path, 7000, 1000, {0x0EED, -5});
        WriteMapCell(path, 7167, 4095, {0x0003, 7});
        EXPECT_EQ(+ReadMapCell(path, 7000, 1000).Tile, 0x0EED);
        EXPECT_EQ(ReadMapCell(path, 7167, 4095).Altitude, 7);
        EXPECT_THROW(ReadMapCell(path, 7168, 0), RangeError);
        EXPECT_THROW(WriteMapCell(path, 0, 4096, {}), RangeError);
        const auto area = ReadMapCellArea(path, 6995, 998, 173, 4);
        EXPECT_EQ(+area[static_cast<std::size_t>(2 * 173 + 5)].Tile, 0x0EED);
    }
    File file = File::OpenRead(plain);
    file.seek(wide.mapCellOffset(7000, 1000));
    TMapCell cell{};
    file.readExact(&cell, sizeof cell);
    file.close();
    EXPECT_EQ(cell.Altitude, -5);
    EXPECT_EQ(FileSizeOf(plain), wide.mapLength());
    // Only the two cells and the data hashes of their pieces changed in the container.
    EXPECT_TRUE(test::OutsideMapData(container, fixture) == maps.outside);
    for (const std::size_t k :
         {wide.mapCellOffset(7000, 1000) / 802816, fixture.pieceData.size() - 1})
        EXPECT_EQ(test::RecordedHash(container, fixture, k),
                  test::AdlerOfPiece(container, fixture, k));
}

} // namespace
} // namespace lw
