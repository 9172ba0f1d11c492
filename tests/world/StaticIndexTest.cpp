#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/ProgramState.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::TempDir;

struct RecordingProgress : Progress {
    std::vector<int> values;
    int yields = 0;
    void report(int percent) override { values.push_back(percent); }
    void yield() override { ++yields; }
};

std::string IndexBytes(std::uint32_t salt) {
    std::string bytes(kIndexFileSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + salt) % 251);
    return bytes;
}

TEST(StaticIndex, StartsAllZeroAndEveryEntryIsAnEmptyBlock) {
    auto state = std::make_unique<ProgramState>();
    EXPECT_FALSE(state->StaticIndexLoaded);
    const StaticPointer& e = state->StaticIndex.at(767, 511);
    EXPECT_EQ(e.Offset, 0);
    EXPECT_EQ(e.Length, 0u);
    EXPECT_TRUE(IsEmptyBlock(e));
}

TEST(StaticIndex, ReadReportsEachColumnAndSetsTheFlag) {
    TempDir dir;
    const std::string path = dir.file("staidx0.mul");
    test::WriteWholeFile(path, IndexBytes(1) + "tail");
    auto state = std::make_unique<ProgramState>();
    RecordingProgress progress;
    LoadStaticIndex(*state, path, progress);
    EXPECT_TRUE(state->StaticIndexLoaded);
    EXPECT_EQ(std::memcmp(state->StaticIndex.data(), IndexBytes(1).data(), kIndexFileSize), 0);

    ASSERT_EQ(progress.values.size(), 770u);
    EXPECT_EQ(progress.values.front(), 0);
    EXPECT_EQ(progress.values[1], 0);    // after column 0
    EXPECT_EQ(progress.values[9], 1);    // after column 8: 800 div 768
    EXPECT_EQ(progress.values[768], 99); // after column 767
    EXPECT_EQ(progress.values.back(), 100);
    EXPECT_EQ(progress.yields, 768);
}

TEST(StaticIndex, FailedReadLeavesTheFlagClear) {
    TempDir dir;
    const std::string path = dir.file("staidx0.mul");
    test::WriteWholeFile(path, IndexBytes(1).substr(0, 1000000));
    auto state = std::make_unique<ProgramState>();
    NullProgress progress;
    try {
        LoadStaticIndex(*state, path, progress);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), 100);
    }
    EXPECT_FALSE(state->StaticIndexLoaded);
    EXPECT_EQ(FileFaults::OpenHandles(), 0);
}

TEST(StaticIndex, WriteReplacesTheTableAndKeepsAWiderMapsTail) {
    TempDir dir;
    const std::string path = dir.file("staidx0.mul");
    const std::string tail(12 * 512 * 3, 'T');
    test::WriteWholeFile(path, IndexBytes(1) + tail);
    auto table = std::make_unique<StaticIndexTable>();
    std::memcpy(table->data(), IndexBytes(2).data(), kIndexFileSize);

    RecordingProgress progress;
    WriteStaticIndex(path, *table, progress);
    EXPECT_EQ(ReadWholeFile(path), IndexBytes(2) + tail);
    ASSERT_EQ(progress.values.size(), 768u);
    EXPECT_EQ(progress.values.front(), 90);
    EXPECT_EQ(progress.values[77], 91); // 90 + 770 div 768
    EXPECT_EQ(progress.values.back(), 99);
}

TEST(StaticIndex, WriteCreatesAMissingFile) {
    TempDir dir;
    auto table = std::make_unique<StaticIndexTable>();
    NullProgress progress;
    WriteStaticIndex(dir.file("staidx0.mul"), *table, progress);
    EXPECT_EQ(FileSizeOf(dir.file("staidx0.mul")), kIndexFileSize);
}

TEST(StaticIndex, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.file("staidx0.mul");
    test::WriteWholeFile(path, IndexBytes(1));
    auto table = std::make_unique<StaticIndexTable>();
    NullProgress progress;
    // The first, a middle and the last piece of the table.
    for (int nth : {1, 6, kBlockColumns / kIndexColumnsPerPiece}) {
        FileFaults::FailNthWrite(nth);
        EXPECT_THROW(WriteStaticIndex(path, *table, progress), IoError);
        FileFaults::Reset();
        EXPECT_EQ(ReadWholeFile(path), IndexBytes(1)) << "failed write " << nth;
    }
    EXPECT_EQ(FileFaults::OpenHandles(), 0);
}

} // namespace
} // namespace lw
