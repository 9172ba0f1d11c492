// Maps in UOP containers: read as the .mul they hold, written with only map bytes changing and
// every data hash left valid, and refused before any write when they cannot be written back.
#include "world/UopMap.h"

#include "fillclear/FillClear.h"
#include "mapedit/MapCells.h"
#include "support/TempDir.h"
#include "support/UopFiles.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/MapConversion.h"
#include "world/MapFile.h"
#include "world/UopContainer.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace lw {
namespace {

using test::PieceHash;
using test::ReadWholeFile;
using test::UopLayoutChoice;

constexpr WorldSize kSmallFacet{181, 181}; // 1448 x 1448: 8 pieces, the last of 4089 blocks

class UopMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(3);
        std::string map(kSmallFacet.mapLength(), '\0');
        for (char& byte : map)
            byte = static_cast<char>(random());
        test::WriteWholeFile(mul, map);
    }
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    // The map a container holds, through the plain form.
    std::string held(const std::string& container) {
        const std::string plain = dir.file("held/map4.mul");
        std::filesystem::create_directories(dir.file("held"));
        ConvertMap(container, plain, false);
        return ReadWholeFile(plain);
    }
    FillClearRequest fill(const std::string& map) const {
        FillClearRequest r;
        r.MapPath = map;
        r.ClearStatics = false;
        r.Left = 300;
        r.Top = 1000;
        r.Right = 1447;
        r.Bottom = 1100;
        r.Tile = {-1, 0x0203};
        r.Altitude = -7;
        return r;
    }

    test::TempDir dir;
    std::string mul = dir.file("map4.mul"), uop = dir.file("map4LegacyMUL.uop");
};

TEST(UopHashes, AreTheFieldsOwn) {
    // lookup3's own test value, and the name of the first piece of facet 0's map.
    EXPECT_EQ(UopNameHash("Four score and seven years ago"), 0xCE7226E617770551ull);
    EXPECT_EQ(UopMapPieceName(0, 0), "build/map0legacymul/00000000.dat");
    EXPECT_EQ(UopNameHash(UopMapPieceName(0, 0)), 0xDBB7AFA433A3764Bull);
    EXPECT_EQ(UopDataHash("Wikipedia", 9), 0x11E60398u);

    std::string bytes(20000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 37 + i / 251);
    const std::uint32_t whole = UopDataHash(bytes.data(), bytes.size());
    for (const std::size_t split : {std::size_t{1}, std::size_t{15}, std::size_t{5552},
                                    std::size_t{5553}, std::size_t{19999}}) {
        const std::uint32_t first = UopDataHash(bytes.data(), split);
        EXPECT_EQ(UopDataHash(bytes.data() + split, bytes.size() - split, first), whole) << split;
        EXPECT_EQ(UopDataHashOfJoined(first,
                                      UopDataHash(bytes.data() + split, bytes.size() - split),
                                      bytes.size() - split),
                  whole)
            << split;
    }
}

TEST_F(UopMapTest, AContainerGivesExactlyTheBytesOfItsMap) {
    const UopLayoutChoice layouts[] = {
        {.facet = 4},
        {.facet = 4, .piecesReversed = true, .recordsPerTable = 3},
        {.facet = 4, .version = 4, .headerLength = 8, .hash = PieceHash::Zero},
    };
    const std::string expected = ReadWholeFile(mul);
    for (const UopLayoutChoice& layout : layouts) {
        SCOPED_TRACE(layout.recordsPerTable);
        test::MakeUopMap(mul, uop, layout);
        MapFile map = MapFile::OpenRead(uop);
        EXPECT_EQ(map.length(), expected.size());
        EXPECT_EQ(map.world(), kSmallFacet);
        EXPECT_EQ(map.facet(), 4);
        // Reads across pieces, and a read past the end.
        std::string part(802816 + 1000, '\0');
        map.read(802816 - 500, part.data(), part.size());
        EXPECT_EQ(part, expected.substr(802816 - 500, part.size()));
        EXPECT_EQ(map.readSome(expected.size() - 10, part.data(), part.size()), 10u);
        EXPECT_THROW(map.read(expected.size() - 10, part.data(), 11), IoError);
        map.close();
        EXPECT_TRUE(held(uop) == expected);
    }
}

TEST_F(UopMapTest, ConvertingToAContainerAndBackGivesTheSameBytes) {
    ConvertMap(mul, uop, true);
    EXPECT_EQ(FileSizeOf(uop), 0x200 + 12 + 1000 * 34 + kSmallFacet.mapLength());
    MapFile map = MapFile::OpenRead(uop);
    EXPECT_EQ(map.facet(), 4); // the entries are named for facet 4
    map.close();
    EXPECT_TRUE(held(uop) == ReadWholeFile(mul));
    EXPECT_THROW(ConvertMap(mul, dir.file("map4.mul.out"), true), Error);      // no container name
    EXPECT_THROW(ConvertMap(uop, dir.file("map4.uop.mul.uop"), false), Error); // no plain name
    EXPECT_THROW(ConvertMap(mul, dir.file("map2LegacyMUL.uop"), true), Error); // another facet
}

TEST_F(UopMapTest, WritesChangeOnlyMapBytesAndKeepEveryDataHashValid) {
    const struct {
        PieceHash hash;
        std::uint32_t headerLength;
    } forms[] = {{PieceHash::Adler, 0},
                 {PieceHash::AdlerWithHeader, 12},
                 {PieceHash::Zero, 0},
                 {PieceHash::Other, 4}};
    const std::string original = ReadWholeFile(mul);
    for (const auto& form : forms) {
        SCOPED_TRACE(static_cast<int>(form.hash));
        test::WriteWholeFile(mul, original);
        const test::UopFixture fixture = test::MakeUopMap(mul, uop,
                                                          {.facet = 4,
                                                           .piecesReversed = true,
                                                           .recordsPerTable = 5,
                                                           .headerLength = form.headerLength,
                                                           .hash = form.hash});
        const std::string outside = test::OutsideMapData(uop, fixture);
        std::vector<std::uint32_t> untouched;
        for (std::size_t k = 0; k < fixture.pieceData.size(); ++k)
            untouched.push_back(test::RecordedHash(uop, fixture, k));

        // A paint in place in the last piece, and a fill of the whole map beside it.
        WriteMapCell(mul, 1447, 1447, {0x0EED, 5});
        WriteMapCell(uop, 1447, 1447, {0x0EED, 5});
        ProgramState state;
        NullProgress quiet;
        FillClear(state, fill(mul), quiet);
        FillClear(state, fill(uop), quiet);

        EXPECT_TRUE(held(uop) == ReadWholeFile(mul));
        EXPECT_TRUE(test::OutsideMapData(uop, fixture) == outside);
        for (std::size_t k = 0; k < fixture.pieceData.size(); ++k) {
            const std::uint32_t recorded = test::RecordedHash(uop, fixture, k);
            const std::uint32_t adler = test::AdlerOfPiece(uop, fixture, k);
            if (form.hash == PieceHash::Adler)
                EXPECT_EQ(recorded, adler) << k;
            else if (form.hash == PieceHash::AdlerWithHeader)
                EXPECT_EQ(recorded,
                          UopDataHashOfJoined(UopDataHash(std::string(12, '\xAB').data(), 12),
                                              adler, fixture.pieceLength[k]))
                    << k;
            else
                EXPECT_EQ(recorded, untouched[k]) << k;
        }
    }
}

TEST_F(UopMapTest, WhatCannotBeWrittenBackExactlyIsRefusedBeforeAnyWrite) {
    const auto cut = [&](std::uint64_t size) {
        File file = File::OpenReadWrite(uop);
        file.truncate(size);
        file.close();
    };
    const auto put64 = [&](std::uint64_t at, std::uint64_t value) {
        File file = File::OpenReadWrite(uop);
        file.seek(at);
        file.write(&value, sizeof value);
        file.close();
    };
    const struct {
        const char* what;
        UopLayoutChoice layout;
        std::function<void(const test::UopFixture&)> damage;
        const char* message;
    } cases[] = {
        {"a compressed piece", {.facet = 4, .compressedPiece = 2}, {}, "compressed"},
        {"an unknown version", {.facet = 4, .version = 6}, {}, "version 6"},
        {"a cut file",
         {.facet = 4},
         [&](const test::UopFixture& f) { cut(f.pieceData[7] + 10); },
         "lies outside the file"},
        {"a table past the end",
         {.facet = 4},
         [&](const test::UopFixture&) { put64(12, 1u << 30); },
         "lies outside the file"},
        {"tables in a circle",
         {.facet = 4, .recordsPerTable = 4},
         [&](const test::UopFixture&) { put64(0x200 + 12 + 4 * 34 + 4, 0x200); },
         "circle"},
        {"a missing piece",
         {.facet = 4, .extraEntry = false},
         [&](const test::UopFixture& f) { put64(f.hashFields[3] - 28, 0); },
         "piece 3 of its map is missing"},
        {"no container",
         {.facet = 4},
         [&](const test::UopFixture&) { put64(0, 0); },
         "no UOP container"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const test::UopFixture fixture = test::MakeUopMap(mul, uop, c.layout);
        if (c.damage)
            c.damage(fixture);
        const std::string before = ReadWholeFile(uop);
        ProgramState state;
        NullProgress quiet;
        for (const auto& write :
             std::vector<std::function<void()>>{[&] { FillClear(state, fill(uop), quiet); },
                                                [&] {
                                                    WriteMapCell(uop, 0, 0, {1, 1});
                                                }}) {
            try {
                write();
                ADD_FAILURE() << "not refused";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
                EXPECT_NE(std::string(e.what()).find("Nothing was changed."), std::string::npos);
            }
            EXPECT_TRUE(ReadWholeFile(uop) == before);
        }
    }
}

} // namespace
} // namespace lw
