// The facets' world sizes as file lengths tell them, the facet names of the world files, and the
// block arithmetic of worlds other than the classic one.
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "world/WorldFileNames.h"
#include "world/WorldSizes.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

constexpr WorldSize kWide{896, 512};

TEST(WorldSizeTest, BlocksOfAWiderWorldFollowTheSameOrder) {
    EXPECT_EQ(kWide.text(), "7168 x 4096");
    EXPECT_EQ(kWide.mapLength(), 89'915'392u);
    EXPECT_EQ(kWide.indexLength(), 5'505'024u);
    // Rows stay 512, so the classic world is the first 768 columns of the wider one.
    EXPECT_EQ(kWide.mapCellOffset(6143, 4095), kClassicWorld.mapCellOffset(6143, 4095));
    EXPECT_EQ(kWide.blockNumber(895, 511), 458'751);
    EXPECT_EQ(kWide.mapCellOffset(7167, 4095), kWide.mapLength() - 3);
    const WorldSize small{181, 181};
    EXPECT_EQ(small.mapLength(), 6'421'156u);
    EXPECT_EQ(small.blockNumber(1, 0), 181);
    EXPECT_EQ(small.indexEntryOffset(180, 180), small.indexLength() - 12);
    EXPECT_FALSE(small.holdsBlock(181, 0));
    EXPECT_FALSE(small.holdsTile(0, 1448));
}

TEST(WorldSizeTest, TheLengthAndTheFacetTellTheSize) {
    const struct {
        int facet;
        std::uint64_t mapLength;
        WorldSize expected;
    } cases[] = {
        {0, 77'070'336, kClassicWorld},
        {1, 89'915'392, kWide},
        {0, 89'915'392, kWide},
        {0, 77'070'336 + 196 * 100, kClassicWorld}, // a longer classic map keeps its tail
        {0, 1000, kClassicWorld},                   // and a shorter one ends where it ends
        {2, 11'289'600, {288, 200}},
        {3, 16'056'320, {320, 256}},
        {5, 16'056'320, {160, 512}}, // as long as facet 3's: the number tells them apart
        {4, 6'421'156, {181, 181}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WorldOfMapLength(c.facet, c.mapLength, "m"), c.expected)
            << c.facet << " " << c.mapLength;
        EXPECT_EQ(WorldOfIndexLength(c.facet, c.mapLength / 196 * 12, "i"), c.expected)
            << c.facet << " " << c.mapLength;
    }
    try {
        WorldOfIndexLength(2, 691'212, "/w/staidx2.mul");
        ADD_FAILURE() << "not refused";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The statics index /w/staidx2.mul holds 691,212 bytes, which fits "
                               "no world of facet 2 (691,200 bytes for 2304 x 1600). Nothing was "
                               "changed.");
    }
    EXPECT_THROW(WorldOfMapLength(4, 6'421'156 + 196, "map4.mul"), Error);

    EXPECT_NO_THROW(RequireIndexOfWorld(kClassicWorld, 5'505'024, "i")); // the classic rules
    EXPECT_NO_THROW(RequireIndexOfWorld(kWide, 5'505'024, "i"));
    try {
        RequireIndexOfWorld(kWide, 4'718'592, "/w/staidx0.mul");
        ADD_FAILURE() << "not refused";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The statics index /w/staidx0.mul holds 4,718,592 bytes, but the "
                               "7168 x 4096 world of its map needs 5,505,024 (12 bytes for each "
                               "of its 458,752 blocks). Nothing was changed.");
    }
    EXPECT_EQ(KnownWorldSize(181, 181), (WorldSize{181, 181}));
    EXPECT_FALSE(KnownWorldSize(181, 512));
}

TEST(WorldFileNamesTest, EachFacetHasItsNamesInAnyLetterCase) {
    using K = WorldFileKind;
    const struct {
        K kind;
        const char* path;
        std::optional<int> facet;
    } cases[] = {
        {K::StaticsIndex, "/a/StaIdx3.MUL", 3},
        {K::Statics, "statics5.mul", 5},
        {K::Map, "x/MAP0.mul", 0},
        {K::Map, "map2LegacyMUL.uop", 2},
        {K::Map, "MAP1LEGACYMUL.UOP", 1},
        {K::Map, "map6.mul", std::nullopt},
        {K::Map, "map12.mul", std::nullopt},
        {K::Map, "staidx0.mul", std::nullopt},
        {K::StaticsIndex, "staidx0.mul.bak", std::nullopt},
        {K::Map, "map0legacymul.mul", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FacetOfWorldFile(c.kind, c.path), c.facet) << c.path;
    EXPECT_EQ(WorldFileName(K::Map, 3, true), "map3LegacyMUL.uop");
    EXPECT_EQ(WorldFileName(K::StaticsIndex, 3), "staidx3.mul");
    EXPECT_TRUE(HasWorldFileName("a/Statics4.mul"));
    EXPECT_TRUE(IsMapContainerName("a/Map4LegacyMUL.UOP"));

    EXPECT_EQ(FacetOfFiles({"w/staidx2.mul", "w/statics2.mul", "other.mul"}), 2);
    EXPECT_EQ(FacetOfFiles({"a.mul", "b.mul"}), 0);
    EXPECT_THROW(FacetOfFiles({"w/staidx2.mul", "w/map0.mul"}), Error);
}

TEST(WorldFileNamesTest, TheFieldsOfAWindowAreOneFacets) {
    using K = WorldFileKind;
    const test::TempDir dir;
    for (const char* name : {"staidx0.mul", "statics0.mul", "staidx2.mul", "statics2.mul",
                             "map2LegacyMUL.uop", "map0.mul"})
        test::WriteWholeFile(dir.file(name), "");
    const auto valid = [&](std::vector<std::pair<K, std::string>> fields) {
        std::vector<WorldFileField> paths;
        for (auto& [kind, name] : fields)
            paths.push_back({kind, name.empty() ? "" : dir.file(name)});
        return ValidWorldFileFields(paths);
    };
    using V = std::vector<bool>;
    EXPECT_EQ(valid({{K::StaticsIndex, "staidx2.mul"},
                     {K::Statics, "statics2.mul"},
                     {K::Map, "map2LegacyMUL.uop"}}),
              (V{true, true, true}));
    // Facet 2 beside facet 0: neither; beside an empty field, which counts as facet 0: not
    // either, while the classic names stay valid beside it.
    EXPECT_EQ(valid({{K::StaticsIndex, "staidx2.mul"}, {K::Statics, "statics0.mul"}}),
              (V{false, false}));
    EXPECT_EQ(valid({{K::StaticsIndex, "staidx2.mul"}, {K::Statics, ""}}), (V{false, false}));
    EXPECT_EQ(valid({{K::StaticsIndex, "staidx0.mul"}, {K::Statics, ""}}), (V{true, false}));
    // A wrong name, or a name of another kind, stays wrong.
    EXPECT_EQ(valid({{K::Map, "staidx0.mul"}}), (V{false}));
    EXPECT_EQ(valid({{K::Map, "map3.mul"}}), (V{false})); // no such file
}

} // namespace
} // namespace lw
