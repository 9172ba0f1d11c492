// Statics as a server emulator's export command writes them: TYPE 0 items named "#" beside the
// emulator's own tags (NAME2 among them), numbered from 0, hex serials, CR LF line ends. An
// "auto" freeze takes every one of them, and the statics, the listing and the patch file hold
// them all.
#include "OperationRun.h"
#include "items/ItemLines.h"
#include "items/SelectItems.h"
#include "support/WorldFiles.h"
#include "world/BlockListing.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;

struct Exported {
    int id, x, y, z, color;
};

std::string ExportedItem(int number, const Exported& item) {
    char serial[16];
    std::snprintf(serial, sizeof serial, "0x%08X", 0x40000000 + number);
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nSERIAL " + serial +
           "\r\nNAME #\r\nNAME2 #\r\nID " + std::to_string(item.id) + "\r\nX " +
           std::to_string(item.x) + "\r\nY " + std::to_string(item.y) + "\r\nZ " +
           std::to_string(item.z) + "\r\nCOLOR " + std::to_string(item.color) +
           "\r\nCONT -1\r\nTYPE 0\r\nAMOUNT 1\r\nWEIGHT 255\r\nOWNER -1\r\nSPAWN -1\r\nVALUE "
           "1\r\n}\r\n";
}

TEST(ExportedStatics, AnAutoFreezeTakesEveryExportedItem) {
    constexpr int kItems = 3000;
    constexpr int kFirstBlockX = 179, kFirstBlockY = 201; // six blocks: three by two
    const int ids[] = {0x06AD, 0x0EED, 0x136A};
    test::TempDir dir;
    test::ItemWorld w{dir.path()};
    test::MakeEmptyStatics(w.staidx(), w.statics());

    std::vector<Exported> items;
    std::string file;
    for (int i = 0; i < kItems; ++i) {
        const int block = i % 6, tile = (i / 6) % 64;
        const Exported item{ids[i % 3], (kFirstBlockX + block / 2) * 8 + tile % 8,
                            (kFirstBlockY + block % 2) * 8 + tile / 8, i % 41 - 20, i % 5 * 37};
        items.push_back(item);
        file += ExportedItem(i, item);
    }
    WriteWholeFile(w.items(), file);
    FreezeRequest request = w.freeze(ItemFileStyle::Pol, SelectionMode::Auto, true);
    request.autoSelectFile = dir.file("AutoSelect.txt");
    WriteWholeFile(request.autoSelectFile,
                   "# what the export holds\r\n06 AD\r\n0E ED\r\n13 6A\r\n");

    const test::Outcome out =
        test::RunOperation(w.staidx(), [&](ProgramState& s, const LogSink& log, Progress& p) {
            FreezeWorld(s, request, log, p);
        });
    ASSERT_EQ(out.error, "");
    int selected = 0;
    for (const std::string& line : out.log)
        selected += line.starts_with("Selecting item for export: ");
    EXPECT_EQ(selected, kItems);
    EXPECT_EQ(out.log.back(), "Freezing completed!");
    EXPECT_EQ(ReadWholeFile(w.items()).size(), 0u) << "items left in the item file";

    // The listing of the six blocks: block by block (X outer), each block's items in file order.
    std::vector<std::string> expected;
    for (int block = 0; block < 6; ++block) {
        const int bx = kFirstBlockX + block / 2, by = kFirstBlockY + block % 2;
        for (int i = 0; i < kItems; ++i) {
            const Exported& item = items[static_cast<std::size_t>(i)];
            if (item.x / 8 != bx || item.y / 8 != by)
                continue;
            const TStaticRec rec{
                static_cast<std::uint16_t>(item.id), static_cast<std::uint8_t>(item.x % 8),
                static_cast<std::uint8_t>(item.y % 8), static_cast<std::int8_t>(item.z),
                static_cast<std::uint16_t>(item.color)};
            expected.push_back(StaticListLine(static_cast<int>(expected.size()) + 1, bx, by, rec));
        }
    }
    std::vector<std::string> listed;
    ListStaticBlocks(
        w.statics(), test::ReadIndexFile(w.staidx()),
        ParseBlockRange({std::to_string(kFirstBlockX * 8), std::to_string(kFirstBlockX * 8 + 23),
                         std::to_string(kFirstBlockY * 8), std::to_string(kFirstBlockY * 8 + 15)}),
        [&](const std::string& line) { listed.push_back(line); });
    ASSERT_EQ(listed.size(), expected.size());
    EXPECT_EQ(listed, expected);

    // The patch file: every item, as frozen items, the first of them in the first block.
    const std::string patch = ReadWholeFile(w.patch());
    EXPECT_EQ(
        SelectItems(patch, SelectionMode::Type255, {}, [](const std::string&) {}).Items.size(),
        static_cast<std::size_t>(kItems));
    EXPECT_TRUE(patch.starts_with("SECTION WORLDITEM 2\r\n{\r\n\tSERIAL 1073741825\r\n\tNAME "
                                  "#\r\n\tID 1709\r\n\tX 1432\r\n\tY 1608\r\n\tZ -20\r\n\tCOLOR "
                                  "0\r\n\tCONT -1\r\n\tTYPE 255\r\n}\r\n\r\n"))
        << patch.substr(0, 200);
}

} // namespace
} // namespace lw
