#include "diff/Checksums.h"

#include "DiffFixture.h"
#include "diff/DiffMessages.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace lw {
namespace {

using test::ReadWholeFile;

std::uint32_t XorOfWords(const std::string& bytes) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t word;
        std::memcpy(&word, bytes.data() + i, 4);
        sum ^= word;
    }
    return sum;
}

TEST(IndexChecksum, IsTheXorOfTheFirstPartOfTheFileWhateverTheOrder) {
    auto zero = std::make_unique<StaticIndexTable>();
    EXPECT_EQ(IndexChecksum(*zero), 0u);
    EXPECT_EQ(ChecksumText(IndexChecksum(*zero)), "00 00 00 00");

    test::DiffWorlds w;
    test::PutStaticBlock(w.original.staidx, w.original.statics, 1, 2, test::Records({1, 2}));
    w.setEntry(w.original, 9, 9, {0x12345678, 0x0BADF00D, 0x0DC29C5A});
    // A longer file (a wider map): the checksum stays the one of the first 4,718,592 bytes.
    const std::string firstPart = ReadWholeFile(w.original.staidx);
    test::WriteWholeFile(w.original.staidx, firstPart + std::string(24, '\x7F'));
    const StaticIndexTable table = test::ReadIndexFile(w.original.staidx);
    EXPECT_EQ(IndexChecksum(table), XorOfWords(firstPart));
    EXPECT_NE(IndexChecksum(table), 0u);

    StaticIndexTable swapped = table;
    std::swap(swapped.at(1, 2), swapped.at(9, 9));
    EXPECT_EQ(IndexChecksum(swapped), IndexChecksum(table));
}

TEST(MapChecksum, XorsTheBlocksAndReportsEveryBlock) {
    test::DiffWorlds w;
    w.putMapBlock(w.original, 0, 0, '\x5A');
    w.putMapBlock(w.original, 767, 511, '\x0F');
    test::DiffEventLog progress, expected;
    EXPECT_EQ(MapChecksum(w.original.map, progress), XorOfWords(ReadWholeFile(w.original.map)));
    expected.mapChecksum();
    EXPECT_EQ(progress.events, expected.events);

    File::OpenReadWrite(w.original.map).truncate(kMapFileSize - 1);
    try {
        MapChecksum(w.original.map, progress);
        FAIL() << "a short map file is an error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), kIoReadPastEnd);
    }
    EXPECT_EQ(FileFaults::OpenHandles(), 0);
}

TEST(DiffMessages, GiveTheTextsOfTheBoxes) {
    EXPECT_EQ(CrcValueMessage(0x0DC29C5A),
              "The original statics file has a CRC value of 0D C2 9C 5A.");
    EXPECT_EQ(CrcErrorMessage(0xD753AF9C, 0x0DC29C5A),
              "The CRC value of your orginal statics file (D7 53 AF 9C) does not match the one "
              "used to generate this LWD file (0D C2 9C 5A). To apply this LWD you need to get "
              "the correct original files!");
}

TEST(DiffMessages, OnlyLw2NamesCanBeApplied) {
    const std::pair<const char*, bool> cases[] = {
        {"world.lw2", true},      {"/a/b/WORLD.LW2", true}, {"world.Lw2", true},
        {"world.lwd", false},     {"world.LWD", false},     {"world", false},
        {"dir.lw2/world", false}, {"world.lw2.bak", false}, {"", false},
    };
    for (const auto& [name, applicable] : cases)
        EXPECT_EQ(HasDiffExtension(name), applicable) << name;
}

} // namespace
} // namespace lw
