#include "fillclear/NamedTiles.h"

#include "util/Errors.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(NamedTiles, LookupIsCaseInsensitiveOnTheWholeText) {
    EXPECT_EQ(FindNamedTile("random GRASS"), 6);
    EXPECT_EQ(FindNamedTile("Random grass "), -1);
    EXPECT_EQ(FindNamedTile("Random"), -1);
    EXPECT_EQ(FindNamedTile("Random water"), 13);
}

TEST(NamedTiles, PicksFollowTheGeneratorFromSeedZero) {
    std::uint32_t seed = 0;
    std::vector<int> picks;
    for (int i = 0; i < 8; ++i)
        picks.push_back(PickNamedTile(seed, 6));
    EXPECT_EQ(picks, (std::vector<int>{3, 3, 6, 3, 4, 5, 4, 3}));
    EXPECT_EQ(seed, 694906232u);
}

TEST(NamedTiles, PicksStayInTheirRun) {
    std::uint32_t seed = 12345;
    for (int i = 0; i < 500; ++i) {
        const int cave = PickNamedTile(seed, 0), stars = PickNamedTile(seed, 12);
        EXPECT_TRUE(cave >= 581 && cave <= 585) << cave;
        EXPECT_TRUE(stars >= 506 && stars <= 511) << stars;
    }
}

TEST(NamedTiles, UnknownGroupsFail) {
    std::uint32_t seed = 0;
    EXPECT_THROW(PickNamedTile(seed, 14), RangeError);
    EXPECT_THROW(PickNamedTile(seed, -1), RangeError);
    try {
        PickNamedTileByName(seed, "Random rock");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid tile name: Random rock");
    }
}

} // namespace
} // namespace lw
