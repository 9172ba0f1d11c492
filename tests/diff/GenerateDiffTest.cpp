#include "diff/GenerateDiff.h"

#include "DiffFixture.h"
#include "DiffScenario.h"
#include "diff/Checksums.h"
#include "diff/DiffTrailer.h"
#include "util/Errors.h"
#include "util/File.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadDiffHeader;
using test::ReadMapDiffEntry;
using test::ReadStaticsDiffEntry;

constexpr std::uint32_t kAbsent = kDiffAbsent;

class GenerateDiffTest : public ::testing::Test {
protected:
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    GeneratedDiff generate(DiffParts parts = {}) {
        return GenerateDiff(w.original, w.modified, w.diffPath, parts, progress);
    }
    std::string diffBytes(std::uint64_t position, std::size_t length) {
        return test::ReadWholeFile(w.diffPath).substr(position, length);
    }

    test::DiffWorlds w;
    NullDiffProgress progress;
};

void ExpectEntry(const StaticsDiffEntry& entry, std::uint32_t offset, std::uint32_t length,
                 const char* block) {
    EXPECT_EQ(entry.Offset, offset) << block;
    EXPECT_EQ(entry.Length, length) << block;
}

TEST_F(GenerateDiffTest, WritesEveryKindOfBlockInTheOrderOfTheFile) {
    test::BuildEveryKindOfBlock(w);
    const GeneratedDiff result = generate();

    const DiffHeader h = ReadDiffHeader(w.diffPath);
    const std::uint32_t originalChecksum = IndexChecksum(test::ReadIndexFile(w.original.staidx));
    EXPECT_EQ(h.Version, 2u);
    EXPECT_EQ(h.OriginalIndexChecksum, originalChecksum);
    EXPECT_EQ(h.ModifiedIndexChecksum, IndexChecksum(test::ReadIndexFile(w.modified.staidx)));
    EXPECT_EQ(h.OriginalStaticsSize, FileSizeOf(w.original.statics));
    EXPECT_EQ(h.ModifiedStaticsSize, FileSizeOf(w.modified.statics));
    NullProgress quiet;
    EXPECT_EQ(h.ModifiedMapChecksum, MapChecksum(w.modified.map, quiet));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h.Reserved), 992), std::string(992, '\0'));
    EXPECT_EQ(result.caption, "CRC value");
    EXPECT_EQ(result.message, "The original statics file has a CRC value of " +
                                  ChecksumText(originalChecksum) + ".");

    // Changed static blocks right after the header, in block order, then their index.
    const auto entry = [&](int x, int y) {
        return ReadStaticsDiffEntry(w.diffPath, BlockNumber(x, y));
    };
    ExpectEntry(entry(0, 0), kAbsent, 0, "empty in both");
    ExpectEntry(entry(0, 1), kAbsent, kAbsent, "moved");
    ExpectEntry(entry(0, 2), kAbsent, kAbsent, "same entry, other records");
    ExpectEntry(entry(0, 3), kAbsent, kAbsent, "only Extra differs");
    ExpectEntry(entry(1, 0), 1024, 14, "changed");
    ExpectEntry(entry(1, 1), 1038, 0, "real offset, length 0");
    ExpectEntry(entry(1, 2), kAbsent, 0, "emptied");
    ExpectEntry(entry(2, 0), 1038, 21, "new");
    ExpectEntry(entry(3, 0), kAbsent, kAbsent, "length 0 in both");
    ExpectEntry(entry(300, 300), kAbsent, 0, "untouched empty block");
    EXPECT_EQ(diffBytes(1024, 35), test::Bytes(test::Records({40, 42, 70, 71, 72})));
    EXPECT_EQ(h.StaticsIndexOffset, 1059u);

    // Changed map blocks after the statics index, then their index at the end.
    const std::uint32_t mapData = 1059 + 3'145'728;
    EXPECT_EQ(ReadMapDiffEntry(w.diffPath, BlockNumber(0, 5)), mapData);
    EXPECT_EQ(ReadMapDiffEntry(w.diffPath, BlockNumber(767, 511)), mapData + 196);
    EXPECT_EQ(ReadMapDiffEntry(w.diffPath, BlockNumber(0, 4)), kAbsent);
    EXPECT_EQ(diffBytes(mapData, 392), std::string(196, 'a') + std::string(196, 'b'));
    EXPECT_EQ(h.MapIndexOffset, mapData + 392);
    EXPECT_EQ(FileSizeOf(w.diffPath), h.MapIndexOffset + 1'572'864ull + kDiffTrailerSize);
}

TEST_F(GenerateDiffTest, IdenticalSetsGiveOnlyTheIndexes) {
    test::PutStaticBlock(w.original.staidx, w.original.statics, 4, 4, test::Records({1}));
    // The original set serves as both sides here.
    GenerateDiff(w.original, w.original, w.diffPath, {}, progress);
    EXPECT_EQ(FileSizeOf(w.diffPath), 4'719'616u + kDiffTrailerSize);
    ExpectEntry(ReadStaticsDiffEntry(w.diffPath, BlockNumber(4, 4)), kAbsent, kAbsent, "kept");
    ExpectEntry(ReadStaticsDiffEntry(w.diffPath, BlockNumber(4, 5)), kAbsent, 0, "empty");
    EXPECT_EQ(ReadMapDiffEntry(w.diffPath, BlockNumber(4, 4)), kAbsent);
}

TEST_F(GenerateDiffTest, EachPartAlone) {
    test::BuildEveryKindOfBlock(w);

    const GeneratedDiff mapOnly = generate({.statics = false, .map = true});
    DiffHeader h = ReadDiffHeader(w.diffPath);
    EXPECT_EQ(h.StaticsIndexOffset, kAbsent);
    EXPECT_EQ(diffBytes(8, 16), std::string(16, '\0'));
    EXPECT_EQ(ReadMapDiffEntry(w.diffPath, BlockNumber(0, 5)), 1024u);
    EXPECT_EQ(h.MapIndexOffset, 1024u + 392);
    EXPECT_EQ(mapOnly.message, "The original statics file has a CRC value of 00 00 00 00.");

    generate({.statics = true, .map = false});
    h = ReadDiffHeader(w.diffPath);
    EXPECT_EQ(h.MapIndexOffset, kAbsent);
    EXPECT_EQ(h.ModifiedMapChecksum, 0u);
    EXPECT_EQ(FileSizeOf(w.diffPath), h.StaticsIndexOffset + 3'145'728ull + kDiffTrailerSize);

    EXPECT_THROW(generate({.statics = false, .map = false}), Error);
}

TEST_F(GenerateDiffTest, ReportsEveryStepAndYieldsAtAPace) {
    test::BuildEveryKindOfBlock(w);
    test::DiffEventLog recorded, expected;
    const auto start = std::chrono::steady_clock::now();
    GenerateDiff(w.original, w.modified, w.diffPath, {}, recorded);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    expected.stage("Generating Diff (Statics)");
    expected.indexRead();
    expected.indexRead();
    expected.columns();
    expected.stage("Generating Diff (Statics index)");
    expected.columns();
    expected.mapChecksum();
    expected.stage("Generating Diff (Map)");
    expected.columns();
    expected.stage("Generating Diff (Map index)");
    expected.columns();
    EXPECT_EQ(recorded.events, expected.events);
    EXPECT_LE(recorded.yields, elapsed / std::chrono::milliseconds(5) + 1);
}

TEST_F(GenerateDiffTest, RefusesToWriteOverAnInput) {
    std::filesystem::create_hard_link(w.modified.map, w.dir.file("other-name.lw2"));
    const auto before = test::FolderHashes(w.dir.path());
    for (const std::string& out :
         {w.original.staidx, w.modified.statics, w.original.map, w.dir.file("other-name.lw2")})
        EXPECT_THROW(GenerateDiff(w.original, w.modified, out, {}, progress), Error) << out;
    EXPECT_EQ(test::FolderHashes(w.dir.path()), before);
}

TEST_F(GenerateDiffTest, AFailedGenerationLeavesNoDiffBehind) {
    test::BuildEveryKindOfBlock(w);
    test::WriteWholeFile(w.diffPath, "an earlier diff");
    const auto fail = [&](const std::function<void()>& arrange, const std::string& message) {
        arrange();
        const auto before = test::FolderHashes(w.dir.path());
        try {
            generate();
            ADD_FAILURE() << "no failure for " << message;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), message);
        }
        FileFaults::Reset();
        EXPECT_EQ(test::FolderHashes(w.dir.path()), before) << message;
    };
    fail([] { FileFaults::FailNthWrite(3); }, IoError::textFor(kIoDiskFull));
    fail([] { FileFaults::FailNthSync(1); }, IoError::textFor(kIoDiskFull));
    fail([] { FileFaults::FailNthRename(1); }, IoError::textFor(kIoAccessDenied));

    const StaticPointer changed = w.entry(w.modified, 1, 0);
    fail(
        [&] {
            w.setEntry(w.modified, 1, 0, {0, 15, 0});
        },
        "StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    fail(
        [&] {
            w.setEntry(w.modified, 1, 0, {changed.Offset, 700, 0});
        },
        IoError::textFor(kIoReadPastEnd));
    w.setEntry(w.modified, 1, 0, changed);
    fail([&] { File::OpenReadWrite(w.original.map).truncate(kMapFileSize - 196); },
         IoError::textFor(kIoReadPastEnd));
}

} // namespace
} // namespace lw
