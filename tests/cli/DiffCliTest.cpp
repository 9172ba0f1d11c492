#include "diff/Checksums.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/Blocks.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadWholeFile;

class DiffCliTest : public ::testing::Test {
protected:
    struct Set {
        std::string staidx, statics, map;
    };
    Set makeSet(const std::string& name) {
        std::filesystem::create_directory(dir.file(name));
        Set set{dir.file(name + "/staidx0.mul"), dir.file(name + "/statics0.mul"),
                dir.file(name + "/map0.mul")};
        test::MakeEmptyStatics(set.staidx, set.statics);
        test::MakeSparseMap(set.map);
        return set;
    }
    void SetUp() override {
        test::PutStaticBlock(original.staidx, original.statics, 2, 5, {{0x0EED, 3, 7, -5, 0}});
        // A new run: equal index entries would count as an unchanged block.
        test::PutStaticBlock(modified.staidx, modified.statics, 1, 1, {{0x0001, 0, 0, 0, 0}});
        test::PutStaticBlock(modified.staidx, modified.statics, 2, 5, {{0x0EEE, 3, 7, -5, 0}});
        TMapBlock block;
        std::memset(&block, 'm', sizeof block);
        WriteMapBlock(modified.map, 100, 100, block);
    }
    std::vector<std::string> withFiles(std::vector<std::string> args, const Set& other) {
        const std::vector<std::string> files{
            "--original-staidx", original.staidx,  "--original-statics",
            original.statics,    "--original-map", original.map,
            "--staidx",          other.staidx,     "--statics",
            other.statics,       "--map",          other.map};
        args.insert(args.end(), files.begin(), files.end());
        return args;
    }
    test::ProgramResult cli(std::vector<std::string> args) {
        return test::RunProgram(LW_CLI_PATH, args);
    }
    test::ProgramResult generate(std::vector<std::string> extra = {}) {
        auto args = withFiles({"diff-generate", "--out", diff}, modified);
        args.insert(args.end(), extra.begin(), extra.end());
        return cli(args);
    }
    test::ProgramResult apply(const std::string& diffPath) {
        return cli(withFiles({"diff-apply", "--diff", diffPath}, target));
    }

    test::TempDir dir;
    Set original = makeSet("original"), modified = makeSet("modified"), target = makeSet("target");
    std::string diff = dir.file("world.lw2");
};

TEST_F(DiffCliTest, IndexCrcPrintsFourSpacedPairs) {
    const auto r = cli({"index-crc", "--staidx", original.staidx});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.outLines(), std::vector<std::string>{
                                ChecksumText(IndexChecksum(test::ReadIndexFile(original.staidx)))});
    EXPECT_EQ(r.out.size(), std::string("0D C2 9C 5A\n").size());
}

TEST_F(DiffCliTest, GenerateThenApplyGivesTheModifiedWorld) {
    const auto generated = generate();
    EXPECT_EQ(generated.exitCode, 0) << generated.err;
    const std::string crc = cli({"index-crc", "--staidx", original.staidx}).outLines().at(0);
    EXPECT_EQ(
        generated.outLines(),
        std::vector<std::string>{"The original statics file has a CRC value of " + crc + "."});

    const auto applied = apply(diff);
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(applied.out, "");
    EXPECT_TRUE(ReadWholeFile(target.map) == ReadWholeFile(modified.map));
    EXPECT_EQ(+test::ReadBlockRecords(target.staidx, target.statics, 2, 5).at(0).ID, 0x0EEE);
}

TEST_F(DiffCliTest, MapOnlyDiffShowsZeroCrc) {
    const auto r = generate({"--no-statics"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "The original statics file has a CRC value of 00 00 00 00.\n");
    EXPECT_EQ(generate({"--no-statics", "--no-map"}).exitCode, 2);
}

TEST_F(DiffCliTest, RefusalsEndWithTheirTextAndStatusOne) {
    const std::string unusable = dir.file("world.diff");
    const auto misnamed = cli(withFiles({"diff-generate", "--out", unusable}, modified));
    EXPECT_EQ(misnamed.exitCode, 1);
    EXPECT_EQ(misnamed.lastErrLine(),
              "The diff file must end in \".lw2\", or it can never be applied: " + unusable);
    EXPECT_FALSE(std::filesystem::exists(unusable));

    ASSERT_EQ(generate().exitCode, 0);
    const std::string lwd = dir.file("world.LWD");
    std::filesystem::copy_file(diff, lwd);
    const auto refused = apply(lwd);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(
        refused.lastErrLine(),
        "You can't apply this file! If you want to apply a .lwd file, please use Loamwright 5.");

    test::PutStaticBlock(original.staidx, original.statics, 9, 9, {{1, 0, 0, 0, 0}});
    const auto mismatch = apply(diff);
    EXPECT_EQ(mismatch.exitCode, 1);
    EXPECT_EQ(mismatch.out, "");
    EXPECT_EQ(mismatch.lastErrLine().rfind("The CRC value of your orginal statics file (", 0), 0u)
        << mismatch.err;
    EXPECT_TRUE(ReadWholeFile(target.map) == ReadWholeFile(original.map)) << "nothing applied";
}

} // namespace
} // namespace lw
