// Diffs of worlds other than the classic one: version 3, with the world's block columns and rows
// in the header and index sections of that world's length, generated from and applied to maps
// in either form; and the refusal, before any write, of a diff whose world is not the files'.
#include "DiffFixture.h"
#include "diff/ApplyDiff.h"
#include "diff/Checksums.h"
#include "diff/DiffInfo.h"
#include "diff/DiffPicture.h"
#include "diff/DiffTrailer.h"
#include "diff/GenerateDiff.h"
#include "support/ImageFiles.h"
#include "support/UopFiles.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/Blocks.h"
#include "world/MapConversion.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadWholeFile;

struct Facet {
    WorldSize world;
    int facet;
};

// An original and a modified set of a world, the original map in a container; the modified set
// with one changed static block and the last map block changed.
class SizedDiffWorlds {
public:
    explicit SizedDiffWorlds(Facet f) : facet_(f) {
        original = set("original", true);
        modified = set("modified", false);
        target = set("target", true);
        test::PutStaticBlock(modified.staidx, modified.statics, f.world.BlockColumns - 1, 3,
                             test::Records({1, 2, 3}), f.world);
        TMapBlock block;
        std::memset(&block, 7, sizeof block);
        WriteMapBlock(modified.map, f.world, f.world.BlockColumns - 1, f.world.BlockRows - 1,
                      block);
    }
    std::string diffPath() const { return dir.file("world.lw2"); }
    std::string plainMap(const WorldFileSet& set) const {
        const std::string plain = dir.file("plain/map" + std::to_string(facet_.facet) + ".mul");
        std::filesystem::create_directories(dir.file("plain"));
        ConvertMap(set.map, plain, false);
        return ReadWholeFile(plain);
    }

    test::TempDir dir;
    WorldFileSet original, modified, target;

private:
    WorldFileSet set(const std::string& name, bool container) const {
        std::filesystem::create_directories(dir.file(name));
        const std::string n = std::to_string(facet_.facet);
        const WorldFileSet files{
            dir.file(name + "/staidx" + n + ".mul"), dir.file(name + "/statics" + n + ".mul"),
            dir.file(name + "/map" + n + (container ? "LegacyMUL.uop" : ".mul"))};
        test::MakeEmptyStatics(files.staidx, files.statics, facet_.world);
        const std::string plain = dir.file(name + "/plain.mul");
        test::MakeSparseMap(container ? plain : files.map, facet_.world);
        if (container) {
            test::MakeUopMap(plain, files.map, {.facet = facet_.facet});
            std::filesystem::remove(plain);
        }
        return files;
    }
    Facet facet_;
};

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    std::uint32_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

TEST(DiffWorldSizesTest, AVersion3DiffCarriesItsWorldAndAppliesToIt) {
    for (const Facet f : {Facet{{896, 512}, 1}, Facet{{181, 181}, 4}}) {
        SCOPED_TRACE(f.world.text());
        SizedDiffWorlds w(f);
        NullDiffProgress quiet;
        const GeneratedDiff generated =
            GenerateDiff(w.original, w.modified, w.diffPath(), {}, quiet);
        const std::string diff = ReadWholeFile(w.diffPath());
        EXPECT_EQ(Word(diff, 0), 3u);
        EXPECT_EQ(Word(diff, 32), static_cast<std::uint32_t>(f.world.BlockColumns));
        EXPECT_EQ(Word(diff, 36), static_cast<std::uint32_t>(f.world.BlockRows));
        EXPECT_EQ(std::string(diff.data() + 40, 1024 - 40), std::string(1024 - 40, '\0'));
        // One changed block of three records and one map block, then both sections and the
        // checksum trailer.
        EXPECT_EQ(diff.size(), 1024 + 21 + StaticsDiffIndexSize(f.world) + 196 +
                                   MapDiffIndexSize(f.world) + kDiffTrailerSize);
        EXPECT_EQ(diff.substr(diff.size() - kDiffTrailerSize, 13), "LW2SUM XXH64 ");
        EXPECT_EQ(generated.originalIndexChecksum,
                  IndexChecksum(test::ReadIndexFile(w.original.staidx, f.world)));

        // The same diff with one byte of its map block changed on its way is refused before
        // anything is written.
        std::string damaged = diff;
        damaged[1024 + 21 + StaticsDiffIndexSize(f.world) + 100] ^= 0x40;
        const std::string damagedPath = w.dir.file("damaged.lw2");
        test::WriteWholeFile(damagedPath, damaged);
        const auto before =
            test::FolderHashes(std::filesystem::path(w.target.map).parent_path().string());
        try {
            ApplyDiff(w.original, w.target, damagedPath, quiet);
            ADD_FAILURE() << "a damaged diff was applied";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("does not match the checksum"), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(test::FolderHashes(std::filesystem::path(w.target.map).parent_path().string()),
                  before);

        const AppliedDiff applied = ApplyDiff(w.original, w.target, w.diffPath(), quiet);
        ASSERT_TRUE(applied.applied) << applied.message;
        EXPECT_EQ(applied.writtenIndex->world(), f.world);
        EXPECT_TRUE(w.plainMap(w.target) == ReadWholeFile(w.modified.map));
        EXPECT_EQ(test::ReadBlockRecords(w.target.staidx, w.target.statics,
                                         f.world.BlockColumns - 1, 3, f.world)
                      .size(),
                  3u);
        EXPECT_EQ(FileSizeOf(w.target.staidx), f.world.indexLength());
    }
}

TEST(DiffWorldSizesTest, ADiffOfAnotherWorldIsRefusedBeforeAnythingIsWritten) {
    SizedDiffWorlds wide(Facet{{896, 512}, 0});
    test::DiffWorlds classic;
    NullDiffProgress quiet;
    GenerateDiff(wide.original, wide.modified, wide.diffPath(), {}, quiet);
    GenerateDiff(classic.original, classic.modified, classic.diffPath, {}, quiet);
    const struct {
        const char* what;
        const WorldFileSet& original;
        const WorldFileSet& target;
        std::string diff;
    } cases[] = {
        {"the wider world's diff on classic files", classic.original, classic.target,
         wide.diffPath()},
        {"the classic diff on the wider world's files", wide.original, wide.target,
         classic.diffPath},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto before =
            test::FolderHashes(std::filesystem::path(c.target.map).parent_path().string());
        try {
            ApplyDiff(c.original, c.target, c.diff, quiet);
            ADD_FAILURE() << "not refused";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("The diff describes a world of "),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(test::FolderHashes(std::filesystem::path(c.target.map).parent_path().string()),
                  before);
    }
    // Sets of two sizes make no diff.
    EXPECT_THROW(GenerateDiff(classic.original, wide.modified, classic.diffPath, {}, quiet), Error);

    // A version 3 header whose size is no facet's is a damaged file.
    std::string bytes = ReadWholeFile(wide.diffPath());
    const std::uint32_t columns = 900;
    std::memcpy(bytes.data() + 32, &columns, sizeof columns);
    test::WriteWholeFile(wide.diffPath(), bytes);
    try {
        ApplyDiff(wide.original, wide.target, wide.diffPath(), quiet);
        ADD_FAILURE() << "not refused";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The diff file is damaged: its header gives a world of 900 x 512 "
                               "blocks, the size of no facet. Nothing was changed.");
    }
}

// The look at a version 3 diff counts, bounds and draws the blocks of the diff's world, measures
// the original map (in its container) against that world, and refuses originals of another one
// as the application does.
TEST(DiffWorldSizesTest, DiffInfoAndItsPictureAreOfTheDiffsWorld) {
    for (const Facet f : {Facet{{896, 512}, 0}, Facet{{181, 181}, 4}}) {
        SCOPED_TRACE(f.world.text());
        SizedDiffWorlds w(f);
        NullDiffProgress quiet;
        GenerateDiff(w.original, w.modified, w.diffPath(), {}, quiet);
        NullProgress progress;
        const DiffInfo info = ReadDiffInfo(w.diffPath(), w.original, progress);
        EXPECT_EQ(info.Damage, "");
        EXPECT_EQ(info.World, f.world);
        EXPECT_TRUE(info.Fits) << MisfitMessage(info);
        EXPECT_EQ(info.OriginalMapSize, f.world.mapLength());
        EXPECT_EQ(info.Changes.size(), static_cast<std::size_t>(f.world.blockCount()));
        const int lastX = f.world.BlockColumns - 1, lastY = f.world.BlockRows - 1;
        ASSERT_EQ(info.StaticsChanges.size(), 1u);
        EXPECT_EQ(info.StaticsChanges[0].Block, f.world.blockNumber(lastX, 3));
        EXPECT_EQ(info.StaticsChanges[0].After, 3);
        ASSERT_TRUE(info.Bounds);
        EXPECT_EQ(std::pair(info.Bounds->FirstX, info.Bounds->FirstY), std::pair(lastX, 3));
        EXPECT_EQ(std::pair(info.Bounds->LastX, info.Bounds->LastY), std::pair(lastX, lastY));
        const auto lines = DiffInfoLines(info);
        const std::string x = std::to_string(lastX);
        for (const std::string& line :
             {"block (" + x + ", 3): statics 0 before, 3 after",
              "changes: blocks (" + x + ", 3) to (" + x + ", " + std::to_string(lastY) +
                  "), tiles (" + std::to_string(lastX * 8) + ", 24) to (" +
                  std::to_string(f.world.width() - 1) + ", " +
                  std::to_string(f.world.height() - 1) + ")"})
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;

        const RgbImage grid = DiffPicture(info);
        EXPECT_EQ(grid.Width, f.world.BlockColumns * 2);
        EXPECT_EQ(grid.Height, f.world.BlockRows * 2);
        EXPECT_EQ(grid.at(lastX * 2, lastY * 2), kMapChangeColour);
        EXPECT_EQ(grid.at(lastX * 2, 3 * 2), kStaticsChangeColour);
        test::ImagePair none; // every id without a picture: the overview is black
        none.setEntry(kImageIdCount - 1, {-1, -1, 0});
        test::WriteImageFolder(w.dir.path(), none, none);
        const RgbImage drawn = DiffPicture(info, w.original.map, w.dir.path());
        EXPECT_EQ(drawn.Width, grid.Width);
        EXPECT_EQ(drawn.Height, grid.Height);
        EXPECT_EQ(drawn.at(lastX * 2, lastY * 2), kMapChangeColour);
        EXPECT_EQ(drawn.at(0, 0), (Rgb{0, 0, 0})) << "the overview's black, not the grid";
    }

    // The wider world's diff beside classic originals.
    SizedDiffWorlds wide(Facet{{896, 512}, 0});
    test::DiffWorlds classic;
    NullDiffProgress quiet;
    GenerateDiff(wide.original, wide.modified, wide.diffPath(), {}, quiet);
    NullProgress progress;
    const DiffInfo info = ReadDiffInfo(wide.diffPath(), classic.original, progress);
    EXPECT_FALSE(info.Fits);
    EXPECT_EQ(info.WorldMisfit.rfind("The diff describes a world of 7168 x 4096 tiles, but ", 0),
              0u)
        << info.WorldMisfit;
    EXPECT_EQ(MisfitMessage(info), info.WorldMisfit);
    const auto lines = DiffInfoLines(info);
    EXPECT_EQ(lines.back(), "originals: " + info.WorldMisfit);
    EXPECT_EQ(lines[lines.size() - 2], "fits the originals: no");
}

} // namespace
} // namespace lw
