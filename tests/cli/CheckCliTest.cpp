// check end to end: a sound world, each finding on a world damaged in that one way, a file that
// cannot be read, and the same report as JSON.
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "world/Blocks.h"
#include "world/WorldSize.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace lw {
namespace {

using Args = std::vector<std::string>;

// A sparse world with two blocks of statics and an item file, sound as it is.
struct SmallWorld {
    test::TempDir dir;
    std::string staidx = dir.file("staidx0.mul"), statics = dir.file("statics0.mul"),
                map = dir.file("map0.mul"), items = dir.file("items.wsc");

    SmallWorld() {
        test::MakeEmptyStatics(staidx, statics);
        test::MakeSparseMap(map);
        test::PutStaticBlock(staidx, statics, 1, 2, {{1, 0, 0, 0, 0}, {2, 7, 7, 0, 0}});
        test::PutStaticBlock(staidx, statics, 4, 4, {{3, 1, 1, 1, 1}});
        test::WriteWholeFile(items, Item(1, 1073741825, 19, 47));
    }
    static std::string Item(int number, long long serial, int x, int y) {
        return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nSERIAL " +
               std::to_string(serial) + "\r\nID 0x0EED\r\nX " + std::to_string(x) + "\r\nY " +
               std::to_string(y) + "\r\nZ 0\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
    }
    void setEntry(int blockX, int blockY, StaticPointer entry) const {
        File index = File::OpenReadWrite(staidx);
        index.seek(IndexEntryOffset(blockX, blockY));
        index.write(&entry, sizeof entry);
        index.close();
    }
    // A new run at the end of statics0.mul, of any length (a block list holds at most 2048).
    void putBlock(int blockX, int blockY, int count, TStaticRec rec = {9, 1, 1, 0, 0}) const {
        const std::vector<TStaticRec> records(static_cast<std::size_t>(count), rec);
        const std::uint64_t end = FileSizeOf(statics);
        test::WriteWholeFile(statics, test::ReadWholeFile(statics) +
                                          std::string(reinterpret_cast<const char*>(records.data()),
                                                      records.size() * sizeof(TStaticRec)));
        setEntry(blockX, blockY,
                 {static_cast<std::int32_t>(end),
                  static_cast<std::uint32_t>(records.size() * sizeof(TStaticRec)), 0});
    }
    Args check() const {
        return {"check", "--staidx", staidx, "--statics", statics, "--map", map, "--items", items};
    }
};

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(LW_CLI_PATH, args);
}

bool HasLine(const test::ProgramResult& r, const std::string& line) {
    const auto lines = r.outLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CheckCliTest, TheDemoWorldIsSound) {
    test::TempDir demo;
    ASSERT_EQ(Cli({"demo-world", demo.path()}).exitCode, 0);
    const auto r =
        Cli({"check", "--staidx", demo.file("staidx0.mul"), "--statics", demo.file("statics0.mul"),
             "--map", demo.file("map0.mul"), "--items", demo.file("items.wsc")});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const auto lines = r.outLines();
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[0], "Checked as the 6144 x 4096 world (393216 blocks)");
    EXPECT_EQ(lines[1], "staidx0.mul: 4718592 bytes");
    EXPECT_EQ(lines[3], "map0.mul: 77070336 bytes");
    EXPECT_EQ(lines[4].substr(0, 11), "items.wsc: ");
    EXPECT_EQ(lines[5], "The world is sound.");
    EXPECT_EQ(r.err, "");
}

TEST(CheckCliTest, EachFindingOnAWorldDamagedThatWay) {
    const struct Case {
        const char* name;
        std::function<void(const SmallWorld&)> damage;
        int exitCode;
        std::string line; // printed among the findings; ${items} is the item file's path
        std::string result;
    } kCases[] = {
        {"index size",
         [](const SmallWorld& w) {
             test::WriteWholeFile(w.staidx, test::ReadWholeFile(w.staidx) + "abc");
         },
         1,
         "fault: staidx0.mul is 4718595 bytes long, which fits no world size (the index of the "
         "6144 x 4096 world is 4718592 bytes); checked as that world",
         "The check found 1 fault."},
        {"sizes that disagree",
         [](const SmallWorld& w) {
             File map = File::OpenReadWrite(w.map);
             map.truncate(WorldSize{288, 200}.mapLength()); // 2304 x 1600
             map.close();
         },
         1,
         "fault: staidx0.mul is the index of the 6144 x 4096 world, but map0.mul the map of the "
         "2304 x 1600 world",
         "The check found 2 faults."},
        {"map past the end",
         [](const SmallWorld& w) {
             File map = File::OpenReadWrite(w.map);
             map.truncate(1000 * kMapBlockSize + 50);
             map.close();
         },
         1,
         "fault: 392216 blocks of the world, from block (1, 488) on, lie past the end of "
         "map0.mul (196050 bytes; the map of the 6144 x 4096 world is 77070336)",
         "The check found 2 faults."},
        {"entry outside the statics file",
         [](const SmallWorld& w) {
             w.setEntry(2, 3, {17, 14, 0});
         },
         1,
         "fault: block (2, 3): its index entry (offset 17, length 14) points outside "
         "statics0.mul (21 bytes)",
         "The check found 1 fault."},
        {"length no multiple of 7",
         [](const SmallWorld& w) {
             w.setEntry(2, 3, {0, 15, 0});
         },
         1,
         "fault: block (2, 3): its index entry (offset 0, length 15) gives a length that is no "
         "multiple of 7",
         "The check found 1 fault."},
        {"more than a block holds", [](const SmallWorld& w) { w.putBlock(5, 6, 2049); }, 1,
         "fault: block (5, 6): 2049 statics, more than the 2048 a block holds: listing, melt and "
         "freeze refuse the block",
         "The check found 1 fault."},
        {"more than the client reads", [](const SmallWorld& w) { w.putBlock(5, 6, 1025); }, 1,
         "fault: block (5, 6): 1025 statics; the most used game client reads only the first 1024 "
         "of a block and drops the rest",
         "The check found 1 fault."},
        {"odd records",
         [](const SmallWorld& w) {
             w.putBlock(5, 6, 3, {9, 2, 8, 0, 0});
         },
         1,
         "fault: block (5, 6): 3 of its 3 statics have an in-block X or Y above 7, the first of "
         "them number 1 with X 2, Y 8",
         "The check found 1 fault."},
        {"dead bytes",
         [](const SmallWorld& w) {
             w.putBlock(1, 2, 1); // its old run of two records is left behind
             test::WriteWholeFile(w.statics, test::ReadWholeFile(w.statics) + "tail");
         },
         0,
         "note: statics0.mul holds 18 dead bytes in 2 stretches that no index entry references; "
         "compact reclaims them",
         "The world is sound."},
        {"a section a freeze refuses",
         [](const SmallWorld& w) {
             test::WriteWholeFile(w.items, SmallWorld::Item(1, 1073741825, 19, 47) +
                                               "SECTION WORLDITEM 2\r\n{\r\n  ID 70000\r\n}\r\n");
         },
         1,
         "fault: items.wsc line 13: a freeze refuses the file here: Invalid tag after "
         "\"SECTION WORLDITEM 2\"",
         "The check found 1 fault."},
        {"a section a melt refuses",
         [](const SmallWorld& w) {
             test::WriteWholeFile(w.items, "// comment\nSECTION CHARACTER 4\n{\nSERIAL abc\n}\n" +
                                               SmallWorld::Item(1, 1073741825, 19, 47));
         },
         1,
         "fault: items.wsc line 4: a melt refuses the file here: 'ABC' ist kein gültiger "
         "Integerwert",
         "The check found 1 fault."},
        {"more items for one block than it holds",
         [](const SmallWorld& w) {
             std::string items;
             for (int i = 1; i <= 2049; ++i)
                 items += SmallWorld::Item(i, 1073741824 + i, 19, 47);
             test::WriteWholeFile(w.items, items);
         },
         1,
         "fault: items.wsc line 20481: a freeze refuses the file here: Invalid tag after "
         "\"SECTION WORLDITEM 2049\" (the 2049th item of block (2, 5), which holds at most 2048)",
         "The check found 1 fault."},
        {"an item outside the world",
         [](const SmallWorld& w) {
             test::WriteWholeFile(w.items, SmallWorld::Item(1, 1073741825, 19, 47) +
                                               SmallWorld::Item(7, 1073741826, 6200, 100));
         },
         1,
         "fault: items.wsc line 11: the TYPE 255 item 7 lies in block (775, 12), outside the "
         "6144 x 4096 world: a freeze refuses the file (\"Invalid item in patch file! (Item#: "
         "7)\")",
         "The check found 1 fault."},
        {"a serial given twice",
         [](const SmallWorld& w) {
             test::WriteWholeFile(w.items, SmallWorld::Item(1, 1073741825, 19, 47) +
                                               SmallWorld::Item(2, 1073741825, 20, 47));
         },
         1,
         "fault: items.wsc line 13: serial 1073741825 (40 00 00 01) is also the serial at line 3",
         "The check found 1 fault."},
        {"an item file that is not text",
         [](const SmallWorld& w) { test::WriteWholeFile(w.items, std::string("ID\0", 3)); }, 1,
         "fault: The item file ${items} holds a NUL byte: it is not a text file.",
         "The check found 1 fault."},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const SmallWorld w;
        c.damage(w);
        std::string line = c.line;
        if (const auto at = line.find("${items}"); at != std::string::npos)
            line.replace(at, 8, w.items);
        const auto r = Cli(w.check());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
        EXPECT_TRUE(HasLine(r, line)) << r.out;
        if (c.exitCode == 0) {
            EXPECT_EQ(r.outLines().back(), c.result);
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.lastErrLine(), c.result);
        }
    }
}

TEST(CheckCliTest, AFileThatCannotBeReadIsStatusTwo) {
    const SmallWorld w;
    Args args = w.check();
    args[4] = w.dir.file("missing.mul");
    const auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("check: --statics " + args[4] + ": "), std::string::npos) << r.err;
    EXPECT_EQ(r.lastErrLine(), "Datei nicht gefunden");

    args.push_back("--json");
    const auto json = Cli(args);
    EXPECT_EQ(json.exitCode, 2);
    EXPECT_EQ(json.out, "{\n  \"error\": \"Datei nicht gefunden\",\n  \"log\": []\n}\n");
}

// A path as a JSON string holds it (Windows paths have backslashes).
std::string JsonText(const std::string& path) {
    std::string text;
    for (const char c : path)
        text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return text;
}

TEST(CheckCliTest, JsonHoldsTheSameReport) {
    const SmallWorld w;
    w.putBlock(5, 6, 2, {9, 2, 8, 0, 0});
    // An item file is 8-bit text: the byte C4 is the Latin-1 letter it stands for.
    test::WriteWholeFile(w.items, "SECTION WORLDITEM 2\r\n{\r\nID \xC4\r\n}\r\n");
    Args args = w.check();
    args.push_back("--json");
    const auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.lastErrLine(), "The check found 2 faults.");
    for (const std::string& part : {
             std::string("\"sound\": false,\n  \"faults\": 2,"),
             std::string("\"world\": {\"width\": 6144, \"height\": 4096, \"blocks\": 393216}"),
             std::string("\"statics\": {\"path\": \"" + JsonText(w.statics) +
                         "\", \"bytes\": 35, \"statics\": 5, \"blocksWithStatics\": 3, "
                         "\"deadBytes\": 0, \"deadStretches\": 0}"),
             std::string("{\"kind\": \"odd-records\", \"fault\": true, \"file\": \"" +
                         JsonText(w.statics) +
                         "\", \"block\": 2566, \"blockX\": 5, \"blockY\": 6, \"text\": \"block "
                         "(5, 6): 2 of its 2 statics have"),
             std::string("{\"kind\": \"refused-section\", \"fault\": true, \"file\": \"" +
                         JsonText(w.items) +
                         "\", \"line\": 3, \"text\": \"items.wsc line 3: a freeze refuses the file "
                         "here: '\\u00c4' ist kein gültiger Integerwert\"}"),
             std::string("\"odd-records\": 1,"),
         })
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
}

} // namespace
} // namespace lw
