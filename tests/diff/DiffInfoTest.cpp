// The look at a diff: what it holds and changes, before and after beside the originals, its
// checksum trailer and other bytes after its last part, damaged diffs, and the picture of the
// changed blocks.
#include "diff/DiffInfo.h"

#include "DiffScenario.h"
#include "diff/ApplyDiff.h"
#include "diff/Checksums.h"
#include "diff/DiffMessages.h"
#include "diff/DiffPicture.h"
#include "diff/DiffTrailer.h"
#include "diff/GenerateDiff.h"
#include "util/ContentDigest.h"
#include "util/File.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace lw {
namespace {

class DiffInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::BuildEveryKindOfBlock(w);
        NullDiffProgress progress;
        GenerateDiff(w.original, w.modified, w.diffPath, {}, progress);
    }
    DiffInfo info(bool withOriginals = false) const {
        NullProgress progress;
        return ReadDiffInfo(w.diffPath, withOriginals ? std::optional(w.original) : std::nullopt,
                            progress);
    }
    static bool HasLine(const DiffInfo& info, const std::string& line) {
        const auto lines = DiffInfoLines(info);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    test::DiffWorlds w;
};

TEST_F(DiffInfoTest, WhatTheDiffHoldsAndChanges) {
    const DiffInfo d = info();
    EXPECT_EQ(d.Damage, "");
    EXPECT_TRUE(d.HasStatics);
    EXPECT_TRUE(d.HasMap);
    // (1, 0), (1, 1) emptied to a real offset, and (2, 0) new ((0, 2) kept its entry); every
    // block whose modified entry has offset -1 is "emptied".
    EXPECT_EQ(d.StaticsChanged, 3);
    EXPECT_EQ(d.StaticsEmptied, kBlockCount - 7);
    EXPECT_EQ(d.MapChanged, 2);
    EXPECT_EQ(d.TrailerBytes, kDiffTrailerSize);
    EXPECT_TRUE(d.Sealed);
    ASSERT_TRUE(d.Bounds);
    EXPECT_EQ(d.Bounds->FirstX, 0);
    EXPECT_EQ(d.Bounds->FirstY, 0);
    EXPECT_EQ(d.Bounds->LastX, 767);
    EXPECT_EQ(d.Bounds->LastY, 511);
    EXPECT_EQ(d.Changes[BlockNumber(1, 0)], kStaticsChange);
    EXPECT_EQ(d.Changes[BlockNumber(0, 5)], kMapChange);
    EXPECT_EQ(d.Changes[BlockNumber(1, 2)], 0) << "not known to change without the originals";

    const auto lines = DiffInfoLines(d);
    const DiffHeader h = test::ReadDiffHeader(w.diffPath);
    const std::string whole = test::ReadWholeFile(w.diffPath);
    const std::string sealedDigest =
        DigestText(DigestOf(std::string_view(whole).substr(0, whole.size() - kDiffTrailerSize)));
    const std::vector<std::string> expected{
        "diff file: world.lw2, " + std::to_string(FileSizeOf(w.diffPath)) + " bytes",
        "version: 2",
        "parts: statics and map",
        "original CRC value: " + ChecksumText(h.OriginalIndexChecksum),
        "original statics size: " + std::to_string(FileSizeOf(w.original.statics)) + " bytes",
        "modified CRC value: " + ChecksumText(h.ModifiedIndexChecksum),
        "modified statics size: " + std::to_string(FileSizeOf(w.modified.statics)) + " bytes",
        "statics: 3 changed blocks (35 bytes of records), " + std::to_string(kBlockCount - 7) +
            " blocks empty in the modified world",
        "map: 2 changed blocks",
        "trailer: XXH64 checksum " + sealedDigest + ", matches the diff",
        "changes: blocks (0, 0) to (767, 511), tiles (0, 0) to (6143, 4095)",
        "note: without the originals, the blocks the diff empties are not known to change and "
        "not counted"};
    EXPECT_EQ(lines, expected);
}

TEST_F(DiffInfoTest, BesideTheOriginalsEachChangedBlockBeforeAndAfter) {
    const DiffInfo d = info(true);
    EXPECT_TRUE(d.Fits);
    EXPECT_EQ(MisfitMessage(d), "");
    const std::vector<std::pair<int, std::pair<int, int>>> expected{{BlockNumber(1, 0), {2, 2}},
                                                                    {BlockNumber(1, 1), {1, 0}},
                                                                    {BlockNumber(1, 2), {1, 0}},
                                                                    {BlockNumber(2, 0), {0, 3}}};
    std::vector<std::pair<int, std::pair<int, int>>> changes;
    for (const StaticsChange& c : d.StaticsChanges)
        changes.push_back({c.Block, {c.Before, c.After}});
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(d.Changes[BlockNumber(1, 2)], kStaticsChange);
    EXPECT_TRUE(HasLine(d, "fits the originals: yes"));
    EXPECT_TRUE(HasLine(d, "block (1, 2): statics 1 before, 0 after"));
    EXPECT_TRUE(HasLine(d, "block (2, 0): statics 0 before, 3 after"));

    // Another original index: the application's own refusal.
    w.setEntry(w.original, 9, 9, {0, 7, 0});
    const DiffInfo other = info(true);
    EXPECT_FALSE(other.Fits);
    EXPECT_EQ(MisfitMessage(other),
              CrcErrorMessage(other.OriginalIndexChecksum,
                              test::ReadDiffHeader(w.diffPath).OriginalIndexChecksum));
    EXPECT_TRUE(HasLine(other, "fits the originals: no"));
}

// What follows the last part is looked at as the application looks at it: a checksum trailer
// that must match, or bytes an earlier writer left, which nothing reads.
TEST_F(DiffInfoTest, BytesAfterTheLastPartAreDamageOnlyWhereTheTrailerDoesNotHold) {
    const std::string sealed = test::ReadWholeFile(w.diffPath);
    const std::string unsealed = sealed.substr(0, sealed.size() - kDiffTrailerSize);
    std::string changedMapByte = sealed;
    changedMapByte[test::ReadDiffHeader(w.diffPath).MapIndexOffset - 1] ^= 0x10;
    const std::string junk(24, '\x7f');
    const struct {
        const char* name;
        std::string bytes;
        std::string damage; // empty: none, and the diff applies
    } kCases[] = {
        {"an earlier writer's bytes", unsealed + junk, ""},
        {"bytes after the trailer", sealed + junk,
         "The diff file is damaged: 24 bytes follow its checksum trailer. Nothing was changed."},
        {"cut inside the trailer", sealed.substr(0, sealed.size() - 5),
         "The diff file is damaged: its checksum trailer is cut short. Nothing was changed."},
        {"a byte of the map changed", changedMapByte,
         "The diff file is damaged: its content does not match the checksum it was written "
         "with, so it was changed on its way; get the diff file again. Nothing was changed."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        test::WriteWholeFile(w.diffPath, c.bytes);
        const std::string target = test::ReadWholeFile(w.target.map);
        const DiffInfo d = info();
        EXPECT_EQ(d.Damage, c.damage);
        NullDiffProgress progress;
        if (c.damage.empty()) {
            EXPECT_EQ(d.TrailerBytes, junk.size());
            EXPECT_FALSE(d.Sealed);
            EXPECT_TRUE(HasLine(d, "trailer: none; 24 bytes after the last part, not read"));
            EXPECT_TRUE(ApplyDiff(w.original, w.target, w.diffPath, progress).applied);
            continue;
        }
        EXPECT_EQ(DiffInfoLines(d).back(), "damaged: " + c.damage);
        try {
            ApplyDiff(w.original, w.target, w.diffPath, progress);
            ADD_FAILURE() << "applied";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.damage);
        }
        EXPECT_TRUE(test::ReadWholeFile(w.target.map) == target);
    }
}

TEST_F(DiffInfoTest, ADamagedDiffSaysWhatIsWrong) {
    const std::string whole = test::ReadWholeFile(w.diffPath);
    const struct {
        const char* name;
        std::string bytes;
        bool header;
        std::string damage; // how the message starts
    } kCases[] = {
        {"cut short", whole.substr(0, whole.size() - 100), true,
         "The diff file is damaged: its map index"},
        {"another version", std::string("\4\0\0\0", 4) + whole.substr(4), true,
         "The file is no Version 2 or 3 LW-Diff file: its header gives Version 4."},
        {"no header", whole.substr(0, 10), false, "The file is no LW-Diff file: at 10 bytes"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        test::WriteWholeFile(w.diffPath, c.bytes);
        const DiffInfo d = info(true);
        EXPECT_EQ(d.Damage.substr(0, c.damage.size()), c.damage) << d.Damage;
        EXPECT_EQ(d.Header.has_value(), c.header);
        EXPECT_FALSE(d.Bounds);
        EXPECT_EQ(MisfitMessage(d), "");
        const auto lines = DiffInfoLines(d);
        EXPECT_EQ(lines.back(), "damaged: " + d.Damage);
        EXPECT_EQ(lines.size(), c.header ? 3u : 2u);
    }
}

TEST_F(DiffInfoTest, ThePictureMarksTheChangedBlocksOnAGrid) {
    const RgbImage picture = DiffPicture(info(true));
    ASSERT_EQ(picture.Width, 1536);
    ASSERT_EQ(picture.Height, 1024);
    const auto block = [&](int x, int y) { return picture.at(x * 2 + 1, y * 2 + 1); };
    EXPECT_EQ(block(1, 0), kStaticsChangeColour);
    EXPECT_EQ(block(1, 2), kStaticsChangeColour);
    EXPECT_EQ(block(0, 5), kMapChangeColour);
    EXPECT_EQ(block(767, 511), kMapChangeColour);
    EXPECT_EQ(block(5, 5), picture.at(200, 200)) << "the grid's ground";
    EXPECT_NE(picture.at(0, 200), picture.at(200, 200)) << "a grid line";
}

} // namespace
} // namespace lw
