#include "diff/ApplyDiff.h"

#include "DiffFixture.h"
#include "DiffScenario.h"
#include "diff/Checksums.h"
#include "diff/DiffMessages.h"
#include "diff/DiffTrailer.h"
#include "diff/GenerateDiff.h"
#include "util/Errors.h"
#include "util/File.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace lw {
namespace {

using test::FileHash;

constexpr std::uint32_t kAbsent = kDiffAbsent;

class ApplyDiffTest : public ::testing::Test {
protected:
    void TearDown() override {
        FileFaults::Reset();
        EXPECT_EQ(FileFaults::OpenHandles(), 0);
    }
    void generate(DiffParts parts = {}) {
        NullDiffProgress quiet;
        GenerateDiff(w.original, w.modified, w.diffPath, parts, quiet);
    }
    AppliedDiff apply(const std::string& diffPath) {
        return ApplyDiff(w.original, w.target, diffPath, progress);
    }
    AppliedDiff apply() { return apply(w.diffPath); }

    test::DiffWorlds w;
    NullDiffProgress progress;
};

void ExpectEntry(const StaticPointer& e, std::int32_t offset, std::uint32_t length,
                 std::uint32_t extra, const char* block) {
    EXPECT_EQ(e.Offset, offset) << block;
    EXPECT_EQ(e.Length, length) << block;
    EXPECT_EQ(e.Extra, extra) << block;
}

TEST_F(ApplyDiffTest, RoundTripReproducesTheModifiedWorld) {
    test::BuildEditedWorld(w);
    generate();
    test::DiffEventLog recorded, expected;
    const auto start = std::chrono::steady_clock::now();
    AppliedDiff result = ApplyDiff(w.original, w.target, w.diffPath, recorded);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    ASSERT_TRUE(result.applied);
    EXPECT_EQ(FileHash(w.target.map), FileHash(w.modified.map));
    EXPECT_TRUE(test::EveryBlock(w.target) == test::EveryBlock(w.modified));
    EXPECT_TRUE(test::CompactInBlockOrder(w.target));
    ASSERT_TRUE(result.writtenIndex);
    EXPECT_TRUE(*result.writtenIndex == test::ReadIndexFile(w.target.staidx));

    expected.indexRead();
    expected.stage("Applying Diff (Reading statics index)");
    expected.columns();
    expected.stage("Applying Diff (Creating statics)");
    expected.columns();
    expected.indexWrite();
    expected.stage("Applying Diff (Reading map index)");
    expected.columns();
    expected.stage("Applying Diff (Creating map)");
    expected.columns();
    EXPECT_EQ(recorded.events, expected.events);
    EXPECT_LE(recorded.yields, elapsed / std::chrono::milliseconds(5) + 1);
}

TEST_F(ApplyDiffTest, BuildsEachKindOfEntry) {
    test::BuildEveryKindOfBlock(w);
    w.setEntry(w.original, 3, 1, {200, 0, 7});
    w.setEntry(w.modified, 3, 1, {200, 0, 7});
    generate({.statics = true, .map = false});
    // A player's index that differs where the diff keeps the block, under the same checksum.
    w.setEntry(w.original, 3, 1, {kNoStatics, 14, 6});
    DiffHeader header = test::ReadDiffHeader(w.diffPath);
    header.OriginalIndexChecksum = IndexChecksum(test::ReadIndexFile(w.original.staidx));
    File diff = File::OpenReadWrite(w.diffPath);
    diff.write(&header, sizeof header);
    diff.truncate(diff.size() - kDiffTrailerSize); // as an earlier writer made it, unsealed
    diff.close();
    const std::size_t map = FileHash(w.target.map);

    ASSERT_TRUE(apply().applied);
    const auto records = [&](int x, int y) {
        return test::Bytes(test::ReadBlockRecords(w.target.staidx, w.target.statics, x, y));
    };
    EXPECT_EQ(records(0, 1), test::Bytes(test::Records({20})));
    EXPECT_EQ(records(0, 2), test::Bytes(test::Records({10, 11}))) << "kept from the original";
    EXPECT_EQ(records(0, 3), test::Bytes(test::Records({10, 11})));
    EXPECT_EQ(records(1, 0), test::Bytes(test::Records({40, 42})));
    EXPECT_EQ(records(2, 0), test::Bytes(test::Records({70, 71, 72})));
    const auto entry = [&](int x, int y) { return w.entry(w.target, x, y); };
    EXPECT_EQ(entry(0, 3).Extra, 1u);
    EXPECT_EQ(entry(1, 0).Extra, kAbsent);
    ExpectEntry(entry(0, 0), kNoStatics, kAbsent, 0, "empty");
    ExpectEntry(entry(1, 1), entry(2, 0).Offset, 0, kAbsent, "changed to length 0");
    ExpectEntry(entry(1, 2), kNoStatics, kAbsent, 9, "emptied");
    ExpectEntry(entry(3, 0), kNoStatics, kAbsent, 5, "kept, length 0");
    ExpectEntry(entry(3, 1), static_cast<std::int32_t>(FileSizeOf(w.target.statics)), 0, 6,
                "kept, no offset but a length");
    EXPECT_TRUE(test::CompactInBlockOrder(w.target));
    EXPECT_EQ(FileHash(w.target.map), map) << "a statics diff leaves the map alone";
}

TEST_F(ApplyDiffTest, AMapDiffNeedsNoChecksumAndLeavesTheStaticsAlone) {
    test::BuildEveryKindOfBlock(w);
    generate({.statics = false, .map = true});
    w.setEntry(w.original, 7, 7, {1, 2, 3});
    const std::size_t staidx = FileHash(w.target.staidx), statics = FileHash(w.target.statics);

    const AppliedDiff result = apply();
    EXPECT_TRUE(result.applied);
    EXPECT_FALSE(result.writtenIndex);
    EXPECT_EQ(FileHash(w.target.map), FileHash(w.modified.map));
    EXPECT_EQ(FileHash(w.target.staidx), staidx);
    EXPECT_EQ(FileHash(w.target.statics), statics);
}

TEST_F(ApplyDiffTest, AChecksumMismatchChangesNothing) {
    test::BuildEveryKindOfBlock(w);
    generate();
    const std::uint32_t stored = test::ReadDiffHeader(w.diffPath).OriginalIndexChecksum;
    w.setEntry(w.original, 5, 5, {0, 7, 0});
    const auto before = test::FolderHashes(w.dir.path());

    const AppliedDiff result = apply();
    EXPECT_FALSE(result.applied);
    EXPECT_EQ(result.caption, "CRC error!");
    EXPECT_EQ(result.message,
              CrcErrorMessage(IndexChecksum(test::ReadIndexFile(w.original.staidx)), stored));
    EXPECT_FALSE(result.writtenIndex);
    EXPECT_EQ(test::FolderHashes(w.dir.path()), before);
}

void Put32(std::string& bytes, std::uint64_t position, std::uint32_t value) {
    std::memcpy(bytes.data() + position, &value, 4);
}

TEST_F(ApplyDiffTest, HostileDiffFilesChangeNothing) {
    test::BuildEveryKindOfBlock(w);
    generate();
    const std::string valid = test::ReadWholeFile(w.diffPath);
    const DiffHeader h = test::ReadDiffHeader(w.diffPath);
    const std::uint32_t size = static_cast<std::uint32_t>(valid.size());
    const std::uint64_t staticsEntry10 = h.StaticsIndexOffset + BlockNumber(1, 0) * 8ull;
    const std::uint64_t mapEntry05 = h.MapIndexOffset + BlockNumber(0, 5) * 4ull;
    const struct {
        const char* name;
        std::function<void(std::string&)> mutate;
        const char* says;
    } cases[] = {
        {"empty", [](std::string& b) { b.clear(); }, "shorter than a diff header"},
        {"truncated header", [](std::string& b) { b.resize(1000); }, "shorter than a diff header"},
        {"truncated", [](std::string& b) { b.resize(b.size() - kDiffTrailerSize - 1); },
         "its map index"},
        {"wrong version", [](std::string& b) { Put32(b, 0, 1); }, "Version 1"},
        {"statics index past the end", [&](std::string& b) { Put32(b, 4, size - 100); },
         "its statics index"},
        {"statics index over the header", [](std::string& b) { Put32(b, 4, 16); },
         "its statics index"},
        {"map index over the statics index",
         [&](std::string& b) { Put32(b, 24, h.StaticsIndexOffset); }, "its map index"},
        {"map index far away", [](std::string& b) { Put32(b, 24, 0xFFFFFFF0); }, "its map index"},
        {"neither part",
         [](std::string& b) {
             Put32(b, 4, kAbsent);
             Put32(b, 24, kAbsent);
         },
         "neither statics nor map"},
        {"huge length",
         [&](std::string& b) {
             Put32(b, staticsEntry10, 1024);
             Put32(b, staticsEntry10 + 4, 2049 * 7);
         },
         "holds 2049 records"},
        {"length past the statics data",
         [&](std::string& b) { Put32(b, staticsEntry10 + 4, 2048 * 7); },
         "lies outside the statics data"},
        {"offset past the end", [&](std::string& b) { Put32(b, staticsEntry10, 0xFFFFFF00); },
         "lies outside the statics data"},
        {"length without offset", [&](std::string& b) { Put32(b, staticsEntry10, kAbsent); },
         "has no position"},
        {"map block past the end", [&](std::string& b) { Put32(b, mapEntry05, size - 100); },
         "map entry of block 5 (0, 5)"},
        {"map block in the statics index",
         [&](std::string& b) { Put32(b, mapEntry05, h.StaticsIndexOffset); },
         "lies outside the map data"},
    };
    const std::string hostile = w.dir.file("hostile.lw2");
    const auto before = test::FolderHashes(w.dir.path());
    for (const auto& c : cases) {
        std::string bytes = valid;
        c.mutate(bytes);
        test::WriteWholeFile(hostile, bytes);
        try {
            apply(hostile);
            ADD_FAILURE() << c.name << " was applied";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
                << c.name << ": " << e.what();
        }
        auto after = test::FolderHashes(w.dir.path());
        after.erase("hostile.lw2");
        EXPECT_EQ(after, before) << c.name;
    }
}

TEST_F(ApplyDiffTest, RefusesTheOriginalStaticsOrAFolderAsTarget) {
    generate();
    std::filesystem::create_hard_link(w.original.statics, w.dir.file("linked.mul"));
    std::filesystem::create_directory(w.dir.file("folder.mul"));
    const auto before = test::FolderHashes(w.dir.path());
    for (const std::string& statics : {w.original.statics, w.dir.file("linked.mul")}) {
        WorldFileSet target = w.target;
        target.statics = statics;
        EXPECT_THROW(ApplyDiff(w.original, target, w.diffPath, progress), Error) << statics;
    }
    WorldFileSet target = w.target;
    target.staidx = w.dir.file("folder.mul");
    EXPECT_THROW(ApplyDiff(w.original, target, w.diffPath, progress), IoError);
    EXPECT_EQ(test::FolderHashes(w.dir.path()), before);
    EXPECT_TRUE(std::filesystem::is_directory(w.dir.file("folder.mul")));
}

TEST_F(ApplyDiffTest, AMissingTargetMapChangesNothing) {
    generate();
    std::filesystem::remove(w.target.map);
    const auto before = test::FolderHashes(w.dir.path());
    try {
        apply();
        ADD_FAILURE() << "applied without a target map";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), kIoFileNotFound);
    }
    EXPECT_EQ(test::FolderHashes(w.dir.path()), before);
}

TEST_F(ApplyDiffTest, AWiderOriginalIndexKeepsItsFurtherBlocks) {
    test::BuildEveryKindOfBlock(w);
    // Two entries past this world's blocks, one with records, and a partial entry.
    StaticPointer further[2] = {{static_cast<std::int32_t>(FileSizeOf(w.original.statics)), 14, 4},
                                {kNoStatics, 0, 3}};
    test::WriteWholeFile(w.original.statics, test::ReadWholeFile(w.original.statics) +
                                                 test::Bytes(test::Records({80, 81})));
    test::WriteWholeFile(w.original.staidx,
                         test::ReadWholeFile(w.original.staidx) +
                             std::string(reinterpret_cast<const char*>(further), sizeof further) +
                             "xyzzy");
    generate({.statics = true, .map = false});

    ASSERT_TRUE(apply().applied);
    const std::string index = test::ReadWholeFile(w.target.staidx);
    ASSERT_EQ(index.size(), kIndexFileSize + 24 + 5);
    StaticPointer carried[2];
    std::memcpy(carried, index.data() + kIndexFileSize, sizeof carried);
    const std::uint64_t statics = FileSizeOf(w.target.statics);
    ExpectEntry(carried[0], static_cast<std::int32_t>(statics - 14), 14, 4, "further block");
    ExpectEntry(carried[1], kNoStatics, kAbsent, 3, "further empty block");
    EXPECT_EQ(index.substr(kIndexFileSize + 24), "xyzzy");
    EXPECT_EQ(test::ReadWholeFile(w.target.statics).substr(statics - 14),
              test::Bytes(test::Records({80, 81})));
}

// Files that not even root may open for writing, as on an installation disc (on Windows, the
// read-only attribute); undone at the end.
class Unwritable {
public:
    explicit Unwritable(std::vector<std::string> paths) : paths_(std::move(paths)) {
        for (const auto& path : paths_)
            if (!set(path, true))
                return;
        done_ = true;
    }
    ~Unwritable() {
        for (const auto& path : paths_)
            set(path, false);
    }
    bool done() const { return done_; }

private:
    static bool set(const std::string& path, bool immutable) {
#ifdef _WIN32
        std::error_code failed;
        std::filesystem::permissions(test::FsPath(path), std::filesystem::perms::all,
                                     immutable ? std::filesystem::perm_options::remove
                                               : std::filesystem::perm_options::add,
                                     failed);
        return !failed;
#else
        const int fd = ::open(path.c_str(), O_RDONLY);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
#endif
    }
    std::vector<std::string> paths_;
    bool done_ = false;
};

TEST_F(ApplyDiffTest, OriginalsOnReadOnlyMediaAreOnlyRead) {
    test::BuildEveryKindOfBlock(w);
    Unwritable media({w.original.staidx, w.original.statics, w.original.map, w.modified.staidx,
                      w.modified.statics, w.modified.map});
    if (!media.done())
        GTEST_SKIP() << "this file system cannot make files unwritable";
    generate();
    ASSERT_TRUE(apply().applied);
    EXPECT_EQ(FileHash(w.target.map), FileHash(w.modified.map));
}

TEST_F(ApplyDiffTest, TheLoadedIndexTakesTheTableWrittenToItsFile) {
    generate({.statics = true, .map = false});
    auto state = std::make_unique<ProgramState>();
    AppliedDiff result = apply();
    state->StaticIndexPath = w.target.staidx;
    EXPECT_FALSE(TakeWrittenIndex(*state, w.target.staidx, result)) << "nothing loaded yet";
    state->StaticIndexLoaded = true;
    state->StaticIndexPath = w.original.staidx;
    EXPECT_FALSE(TakeWrittenIndex(*state, w.target.staidx, result));
    state->StaticIndexPath = w.dir.path() + "/original/../target/staidx0.mul";
    EXPECT_TRUE(TakeWrittenIndex(*state, w.target.staidx, result));
    EXPECT_TRUE(state->StaticIndex == test::ReadIndexFile(w.target.staidx));
}

} // namespace
} // namespace lw
