// Compaction keeps every block's statics, every Extra word and the index's tail, puts the runs in
// block order without gaps, and refuses what it cannot keep before writing anything.
#include "world/Compaction.h"

#include "support/FolderSnapshot.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"

#include <cstring>
#include <gtest/gtest.h>

namespace lw {
namespace {

struct RecordingProgress : Progress {
    std::vector<int> values;
    void report(int percent) override { values.push_back(percent); }
};

std::vector<StaticPointer> Entries(const std::string& index) {
    std::vector<StaticPointer> entries(index.size() / kIndexEntrySize);
    std::memcpy(entries.data(), index.data(), entries.size() * kIndexEntrySize);
    return entries;
}

// What each entry shows a reader: its Extra and the bytes it points to.
std::vector<std::string> WhatEntriesHold(const std::string& staidx, const std::string& statics) {
    const std::string index = test::ReadWholeFile(staidx), runs = test::ReadWholeFile(statics);
    std::vector<std::string> held;
    for (const StaticPointer& e : Entries(index)) {
        std::string what = std::to_string(e.Extra) + ":";
        if (e.Offset == kNoStatics)
            what += "none " + std::to_string(e.Length);
        else if (e.Length > 0)
            what += runs.substr(static_cast<std::uint32_t>(e.Offset), e.Length);
        held.push_back(what);
    }
    return held;
}

class CompactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx, statics);
        test::PutStaticBlock(staidx, statics, 0, 0, {{1, 0, 0, 0, 0}, {2, 1, 1, 1, 1}});
        // A record no tool of ours writes (X 9) stays as it is.
        test::PutStaticBlock(staidx, statics, 1, 5, {{3, 9, 2, -5, 7}, {4, 7, 7, 127, 0}});
        // Block (0, 0) moves: its first run becomes dead space.
        test::PutStaticBlock(staidx, statics, 0, 0, {{5, 2, 2, 2, 2}});
        std::string index = test::ReadWholeFile(staidx);
        auto entries = Entries(index);
        const StaticPointer odd = entries[BlockNumber(1, 5)];
        entries[BlockNumber(0, 0)].Extra = 0xDEADBEEF;
        entries[BlockNumber(3, 3)] = {odd.Offset, odd.Length, 77}; // shares block (1, 5)'s run
        entries[BlockNumber(2, 0)] = {0, 15, 3}; // a length readers refuse: its bytes are kept
        entries[BlockNumber(4, 4)] = {5, 0, 6};  // empty, pointing into the file
        entries[BlockNumber(5, 5)] = {kNoStatics, 21, 8};
        std::memcpy(index.data(), entries.data(), index.size());
        // The tail: two whole entries of a wider map (one with records) and a partial one.
        const StaticPointer wider[] = {{odd.Offset, 7, 11}, {kNoStatics, 0, 12}};
        index.append(reinterpret_cast<const char*>(wider), sizeof wider);
        index.append("\x01\x02\x03\x04\x05", 5);
        test::WriteWholeFile(staidx, index);
        // Dead bytes at the end too.
        test::WriteWholeFile(statics, test::ReadWholeFile(statics) + std::string(9, 'x'));
    }

    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul");
    std::string statics = dir.file("statics0.mul");
};

TEST_F(CompactionTest, KeepsWhatEveryEntryHoldsAndPutsTheRunsInBlockOrder) {
    const std::vector<std::string> before = WhatEntriesHold(staidx, statics);
    const std::string oldIndex = test::ReadWholeFile(staidx);
    const std::uint64_t oldSize = FileSizeOf(statics);
    RecordingProgress progress;
    const CompactionReport report = CompactStatics(staidx, statics, progress);

    EXPECT_TRUE(report.Changed);
    EXPECT_EQ(WhatEntriesHold(staidx, statics), before);
    const std::string index = test::ReadWholeFile(staidx);
    ASSERT_EQ(index.size(), oldIndex.size());
    EXPECT_EQ(index.substr(index.size() - 5), "\x01\x02\x03\x04\x05");
    // Runs follow each other in block order from 0; a shared run stays one run.
    const auto entries = Entries(index);
    EXPECT_EQ(entries[BlockNumber(0, 0)].Offset, 0);
    EXPECT_EQ(entries[BlockNumber(1, 5)].Offset, 7);
    EXPECT_EQ(entries[BlockNumber(2, 0)].Offset, 7 + 14);
    EXPECT_EQ(entries[BlockNumber(3, 3)].Offset, 7);
    EXPECT_EQ(entries[BlockNumber(4, 4)].Offset, 7 + 14 + 15) << "where the next run starts";
    EXPECT_EQ(entries[BlockNumber(4, 4)].Length, 0u);
    EXPECT_EQ(entries[kBlockCount].Offset, 7 + 14 + 15);
    EXPECT_EQ(std::memcmp(&entries[BlockNumber(5, 5)], &Entries(oldIndex)[BlockNumber(5, 5)],
                          sizeof(StaticPointer)),
              0);
    const std::uint64_t compact = 7 + 14 + 15 + 7;
    EXPECT_EQ(FileSizeOf(statics), compact);
    EXPECT_EQ(report.OldStaticsSize, oldSize);
    EXPECT_EQ(report.NewStaticsSize, compact);
    EXPECT_EQ(report.reclaimed(), static_cast<std::int64_t>(oldSize - compact));
    EXPECT_EQ(CompactionLines(report),
              (std::vector<std::string>{"statics0.mul: " + std::to_string(oldSize) +
                                            " bytes before, 43 after, 4 runs in block order",
                                        "Bytes reclaimed: " + std::to_string(oldSize - compact)}));
    ASSERT_FALSE(progress.values.empty());
    EXPECT_EQ(progress.values.front(), 0);
    EXPECT_EQ(progress.values.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end()));
    EXPECT_EQ(progress.values[progress.values.size() - 2], 99);

    // Compact files are left alone.
    const auto compacted = test::Snapshot(dir.path());
    NullProgress quiet;
    const CompactionReport again = CompactStatics(staidx, statics, quiet);
    EXPECT_FALSE(again.Changed);
    EXPECT_EQ(again.reclaimed(), 0);
    EXPECT_EQ(CompactionLines(again).front(), "statics0.mul is compact already: every run in "
                                              "block order, no dead bytes. Nothing was changed.");
    test::ExpectSameFiles(test::Snapshot(dir.path()), compacted);
}

TEST_F(CompactionTest, RefusesWhatItCannotKeepBeforeWritingAnything) {
    const std::string index = test::ReadWholeFile(staidx);
    const auto size = static_cast<std::int32_t>(FileSizeOf(statics));
    std::string outside = index;
    const StaticPointer entry{size - 3, 7, 0};
    std::memcpy(outside.data() + IndexEntryOffset(6, 1), &entry, sizeof entry);
    const struct {
        const char* name;
        std::string index;
        std::string message;
    } kCases[] = {
        {"an entry outside the statics file", outside,
         "The index entry of block (6, 1) (offset " + std::to_string(size - 3) +
             ", length 7) points outside statics0.mul (" + std::to_string(size) +
             " bytes), so its statics cannot be kept. Nothing was changed."},
        // Its blocks from (767, 0) on would lose their statics.
        {"a cut-off index", index.substr(0, IndexEntryOffset(767, 0)),
         "staidx0.mul is 4712448 bytes long, shorter than the index of any world it can belong "
         "to (the 6144 x 4096 world's is 4718592 bytes): the statics of the blocks it lacks "
         "would be lost. Nothing was changed."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        test::WriteWholeFile(staidx, c.index);
        const auto before = test::Snapshot(dir.path());
        NullProgress progress;
        try {
            CompactStatics(staidx, statics, progress);
            ADD_FAILURE() << "compacted";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    }
}

TEST_F(CompactionTest, TheLoadedIndexTakesTheTableWritten) {
    ProgramState state;
    NullProgress progress;
    LoadStaticIndex(state, staidx, progress);
    CompactionReport report = CompactStatics(staidx, statics, progress);
    EXPECT_FALSE(TakeCompactedIndex(state, dir.file("other.mul"), report));
    ASSERT_TRUE(TakeCompactedIndex(state, staidx, report));
    EXPECT_TRUE(state.StaticIndex == test::ReadIndexFile(staidx));
    EXPECT_NO_THROW(RequireIndexUnchanged(state, staidx));
}

// Worlds of other sizes: blocks are named and counted by that world's rows, an index is whole at
// that world's length, and the loaded index takes a table of that world.
TEST(CompactionOfOtherWorlds, TakeTheirWorldsRowsLengthAndTable) {
    const struct {
        WorldSize world;
        int facet;
        int blockX, blockY;
        std::string smallest; // the world named when its index is cut off
    } kWorlds[] = {
        {{181, 181}, 4, 180, 3, "the 1448 x 1448 world's is 393132 bytes"},
        {{896, 512}, 1, 890, 5, "the 6144 x 4096 world's is 4718592 bytes"},
    };
    for (const auto& w : kWorlds) {
        SCOPED_TRACE(w.facet);
        test::TempDir dir;
        const std::string n = std::to_string(w.facet);
        const std::string staidx = dir.file("staidx" + n + ".mul"),
                          statics = dir.file("statics" + n + ".mul");
        test::MakeEmptyStatics(staidx, statics, w.world);
        test::PutStaticBlock(staidx, statics, w.blockX, w.blockY, {{1, 0, 0, 0, 0}}, w.world);
        test::PutStaticBlock(staidx, statics, w.blockX, w.blockY, {{2, 1, 1, 1, 1}}, w.world);
        ProgramState state;
        NullProgress progress;
        LoadStaticIndex(state, staidx, progress);
        CompactionReport report = CompactStatics(staidx, statics, progress);
        EXPECT_EQ(report.reclaimed(), 7);
        ASSERT_TRUE(TakeCompactedIndex(state, staidx, report));
        EXPECT_EQ(state.StaticIndex.world(), w.world);
        EXPECT_TRUE(state.StaticIndex == test::ReadIndexFile(staidx, w.world));
        EXPECT_EQ(test::ReadBlockRecords(staidx, statics, w.blockX, w.blockY, w.world).size(), 1u);

        const std::string index = test::ReadWholeFile(staidx);
        std::string outside = index;
        const StaticPointer entry{0, 70, 0};
        std::memcpy(outside.data() + w.world.indexEntryOffset(w.blockX, w.blockY), &entry,
                    sizeof entry);
        const std::string block =
            "block (" + std::to_string(w.blockX) + ", " + std::to_string(w.blockY) + ")";
        for (const auto& [bytes, message] :
             {std::pair{outside, "The index entry of " + block + " (offset 0, length 70)"},
              std::pair{index.substr(0, 12 * 1000), w.smallest}}) {
            test::WriteWholeFile(staidx, bytes);
            try {
                CompactStatics(staidx, statics, progress);
                ADD_FAILURE() << "compacted";
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
            }
            EXPECT_TRUE(test::ReadWholeFile(staidx) == bytes);
        }
    }
}

} // namespace
} // namespace lw
