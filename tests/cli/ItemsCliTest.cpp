// melt and freeze through loamwright-cli: stdout holds the log, failures end stderr, files change
// as the core operations change them.
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ReadWholeFile;
using test::RunProgram;
using test::WriteWholeFile;
using Lines = std::vector<std::string>;

const char* const kItem = "SECTION WORLDITEM 4\r\n{\r\nID 3821\r\nX 19\r\nY 47\r\nZ -5\r\n"
                          "CONT -1\r\nTYPE 255\r\n}\r\n";

class ItemsCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(staidx, statics);
        test::PutStaticBlock(staidx, statics, 2, 5, {{0x0EED, 3, 7, -5, 0}});
    }
    test::ProgramResult cli(const std::string& command, std::vector<std::string> more) {
        std::vector<std::string> args{command, "--staidx", staidx, "--statics",
                                      statics, "--items",  items};
        args.insert(args.end(), more.begin(), more.end());
        return RunProgram(LW_CLI_PATH, args);
    }

    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                items = dir.file("items.wsc");
};

TEST_F(ItemsCliTest, MeltPrintsTheMeltLog) {
    const auto r = cli("melt", {"--uox3", "16", "$17", "40", "47"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.outLines(),
              (Lines{"Melting in progress... Loamwright may look crashed, do not interrupt!",
                     "Extracting from Statics... XBlock: 2 YBlock: 5   Appending to WSC...",
                     "Writing StaIdx file...", "Done!", "Melting completed!"}));
    const std::string text = ReadWholeFile(items);
    EXPECT_TRUE(text.starts_with("SECTION WORLDITEM 2\r\n")) << text;
    EXPECT_TRUE(text.ends_with("\r\nEOF\r\n"));
    EXPECT_EQ(test::ReadIndexFile(staidx).at(2, 5).Offset, -1);
}

TEST_F(ItemsCliTest, FreezePrintsTheFreezeLogAndAppendsToThePatchFile) {
    WriteWholeFile(items, kItem);
    WriteWholeFile(dir.file("auto.txt"), "# none\r\n");
    WriteWholeFile(dir.file("out.pat"), "SECTION WORLDITEM 40\r\n{\r\n}\r\n");
    const auto r = cli("freeze", {"--auto", dir.file("auto.txt"), "--pat", dir.file("out.pat")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.outLines(),
              (Lines{"Freezing in progress... Loamwright may look crashed, do not interrupt!",
                     "Selecting item for export: 4",
                     "Extracting from WSC... XBlock: 2 YBlock: 5   Appending to Statics...",
                     "Appending to PAT-File... XBlock: 2 YBlock: 5", "  Highest number: 40",
                     "  Highest serial: 40 00 00 00", "Writing staidx file...", "Done!",
                     "Freezing completed!"}));
    EXPECT_EQ(ReadWholeFile(items), "");
    EXPECT_NE(ReadWholeFile(dir.file("out.pat")).find("SECTION WORLDITEM 41\r\n"),
              std::string::npos);
    EXPECT_EQ(test::ReadBlockRecords(staidx, statics, 2, 5).size(), 2u);
}

TEST_F(ItemsCliTest, FailuresLeaveTheFilesAndEndStderrWithTheMessage) {
    WriteWholeFile(items, std::string(kItem) + "SECTION WORLDITEM 5\r\n{\r\nX 6200\r\nCONT "
                                               "-1\r\nTYPE 255\r\n}\r\n");
    const std::string index = ReadWholeFile(staidx);
    const struct {
        std::string command;
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {"freeze", {}, "Invalid item in patch file! (Item#: 5)"},
        {"freeze", {"--pat", items}, "The WSC and the PAT file cannot be the same!"},
        {"freeze", {"--auto", dir.file("none.txt")}, "Datei nicht gefunden"},
        {"melt", {"0", "0", "0", "70000"}, "Fehler bei Bereichsprüfung"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.command, c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.lastErrLine(), c.message);
    }
    EXPECT_EQ(ReadWholeFile(staidx), index);
    EXPECT_EQ(cli("melt", {"0", "0", "0"}).exitCode, 2);
    EXPECT_EQ(RunProgram(LW_CLI_PATH, {"freeze", "--staidx", staidx}).exitCode, 2);
}

TEST_F(ItemsCliTest, DemoWorldFreezesAndMeltsBack) {
    const std::string demo = dir.file("demo");
    ASSERT_EQ(RunProgram(LW_CLI_PATH, {"demo-world", demo}).exitCode, 0);
    for (const char* style : {"--uox3", ""}) {
        const std::string file = demo + (*style ? "/items.wsc" : "/statics.cfg");
        std::vector<std::string> world{"--staidx",  demo + "/staidx0.mul",
                                       "--statics", demo + "/statics0.mul",
                                       "--items",   file};
        if (*style)
            world.push_back(style);
        std::vector<std::string> freeze{"freeze", "--auto", demo + "/AutoSelect.txt"};
        freeze.insert(freeze.end(), world.begin(), world.end());
        const auto frozen = RunProgram(LW_CLI_PATH, freeze);
        ASSERT_EQ(frozen.exitCode, 0) << frozen.err;
        EXPECT_EQ(frozen.outLines()[1], "Selecting item for export: 1");
        // The gold in a container stays an item.
        EXPECT_NE(ReadWholeFile(file).find("NAME gold"), std::string::npos);
        std::vector<std::string> melt{"melt"};
        melt.insert(melt.end(), world.begin(), world.end());
        for (const char* field : {"1464", "1535", "1568", "1639"})
            melt.push_back(field);
        const auto melted = RunProgram(LW_CLI_PATH, melt);
        ASSERT_EQ(melted.exitCode, 0) << melted.err;
        EXPECT_EQ(melted.outLines().back(), "Melting completed!");
    }
}

// A whole world melted writes item numbers far past 65535; freezing that file gives every static
// back where it stood.
TEST(WholeWorldTest, MeltAndFreezeOfEveryBlockGiveTheSameListing) {
    test::TempDir dir;
    const std::string demo = dir.file("demo");
    ASSERT_EQ(RunProgram(LW_CLI_PATH, {"demo-world", demo}).exitCode, 0);
    const std::vector<std::string> world{"--staidx", demo + "/staidx0.mul", "--statics",
                                         demo + "/statics0.mul"};
    const auto listing = [&] {
        std::vector<std::string> args{"list-block"};
        args.insert(args.end(), world.begin(), world.end());
        for (const char* field : {"0", "6143", "0", "4095"})
            args.push_back(field);
        const auto listed = RunProgram(LW_CLI_PATH, args);
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        return listed.out;
    };
    const std::string before = listing();
    const std::string items = dir.file("world.cfg");
    std::vector<std::string> melt{"melt", "--items", items};
    melt.insert(melt.end(), world.begin(), world.end());
    for (const char* field : {"0", "6143", "0", "4095"})
        melt.push_back(field);
    const auto melted = RunProgram(LW_CLI_PATH, melt);
    ASSERT_EQ(melted.exitCode, 0) << melted.err;
    ASSERT_NE(ReadWholeFile(items).find("SECTION WORLDITEM 65536\r\n"), std::string::npos);

    std::vector<std::string> freeze{"freeze", "--items", items};
    freeze.insert(freeze.end(), world.begin(), world.end());
    const auto frozen = RunProgram(LW_CLI_PATH, freeze);
    ASSERT_EQ(frozen.exitCode, 0) << frozen.lastErrLine();
    EXPECT_EQ(frozen.outLines().back(), "Freezing completed!");
    EXPECT_TRUE(listing() == before) << "the listing changed";
}

} // namespace
} // namespace lw
