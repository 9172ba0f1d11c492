#include "util/SpacedHex.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(IntToSpacedHex, WritesMostSignificantByteFirst) {
    EXPECT_EQ(IntToSpacedHex(0x0DC29C5A, 4), "0D C2 9C 5A");
    EXPECT_EQ(IntToSpacedHex(0x0E12, 2), "0E 12");
    EXPECT_EQ(IntToSpacedHex(255, 2), "00 FF");
    EXPECT_EQ(IntToSpacedHex(0x1234, 1), "34");
    EXPECT_EQ(IntToSpacedHex(0, 4), "00 00 00 00");
    EXPECT_EQ(IntToSpacedHex(-1, 4), "FF FF FF FF");
    EXPECT_EQ(IntToSpacedHex(0x0DC29C5A, 7), "0D C2 9C 5A");
    EXPECT_EQ(IntToSpacedHex(5, 0), "");
}

TEST(SpacedHexToInt, ReadsPairsInAnyGrouping) {
    const struct {
        const char* text;
        std::uint32_t value;
    } cases[] = {{"00 03", 3},    {"0003", 3},       {" 0 0 0 3 ", 3}, {"03 00", 768},
                 {"0E 12", 3602}, {"0e12", 3602},    {"FFFF", 65535},  {"0 003", 3},
                 {"00  03", 3},   {"\t00 03\r\n", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(SpacedHexToInt(c.text, 2), c.value) << c.text;
    EXPECT_EQ(SpacedHexToInt("0D C2 9C 5A", 4), 0x0DC29C5Au);
    // Longer than any short-string buffer: the digits are read from the heap copy the
    // upper-casing makes, which must still be alive (the sanitizer build sees a dangling one).
    EXPECT_EQ(SpacedHexToInt("      0d   c2   9c   5a      ", 4), 0x0DC29C5Au);
}

TEST(SpacedHexToInt, RejectsMalformedText) {
    for (const char* text : {"123", "12345", "", "0G 12", "00\t03", "-003"}) {
        try {
            SpacedHexToInt(text, 2);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), "Input not SpacedHex");
        }
    }
}

TEST(SpacedHex, RoundTripsTwoAndFourBytes) {
    for (std::uint32_t v : {0u, 3u, 0x0EEDu, 0xFFFFu})
        EXPECT_EQ(SpacedHexToInt(IntToSpacedHex(v, 2), 2), v);
    for (std::uint32_t v : {0u, 0x40000000u, 0xFFFFFFFFu})
        EXPECT_EQ(SpacedHexToInt(IntToSpacedHex(v, 4), 4), v);
}

} // namespace
} // namespace lw
