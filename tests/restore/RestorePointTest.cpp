// Restore points of the operations that replace world and item files: a restore gives back every
// file byte for byte, can itself be undone, keeps to the limits, and refuses what would lose a
// change made since.
#include "fillclear/FillClear.h"
#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "restore/Restore.h"
#include "support/FillClearRequests.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/ContentDigest.h"
#include "util/Errors.h"
#include "util/File.h"
#include "world/Blocks.h"
#include "world/Compaction.h"
#include "world/MapConversion.h"
#include "world/ProgramState.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace lw {
namespace {

namespace fs = std::filesystem;
constexpr WorldSize kSmall{181, 181};

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

// A small facet's index, statics and map, and an item file, in one folder or the item file in a
// folder of its own, as a server keeps it.
struct SmallWorld {
    explicit SmallWorld(bool itemsApart = false)
        : world(dir.file("world")), items(itemsApart ? dir.file("server") : world) {
        fs::create_directories(world);
        fs::create_directories(items);
        staidx = world + "/staidx4.mul";
        statics = world + "/statics4.mul";
        map = world + "/map4.mul";
        itemFile = items + "/items.wsc";
        test::MakeEmptyStatics(staidx, statics, kSmall);
        test::PutStaticBlock(staidx, statics, 2, 5, {{1, 2, 3, 4, 5}}, kSmall);
        test::PutStaticBlock(staidx, statics, 3, 6, {{6, 7, 0, -1, 0}}, kSmall);
        test::PutStaticBlock(staidx, statics, 2, 5, {{8, 1, 1, 0, 0}}, kSmall); // a dead run
        test::MakeSparseMap(map, kSmall);
        test::WriteWholeFile(itemFile, "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
    }
    std::vector<std::string> folders() const {
        return world == items ? std::vector{world} : std::vector{world, items};
    }
    test::TempDir dir;
    std::string world, items, staidx, statics, map, itemFile;
};

// The user's files of the world's folders, by path, with their size and digest: the restore
// points aside.
using Files = std::map<std::string, std::pair<std::size_t, std::uint64_t>>;
Files UserFiles(const SmallWorld& w) {
    Files files;
    for (const std::string& folder : w.folders())
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) {
                const std::string bytes = test::ReadWholeFile(entry.path().string());
                files[entry.path().string()] = {bytes.size(), DigestOf(bytes)};
            }
    return files;
}

struct Operation {
    const char* name;
    std::function<void(SmallWorld&)> run;
    std::function<void(SmallWorld&)> setup = [](SmallWorld&) {};
};

void Melt(SmallWorld& w, const char* firstX = "16") {
    ProgramState state;
    NullProgress quiet;
    LoadStaticIndex(state, w.staidx, quiet);
    MeltBlocks(state,
               {w.staidx, w.statics, w.itemFile, ItemFileStyle::Pol,
                ParseBlockRange({firstX, "31", "40", "55"})},
               DiscardLog, quiet);
}

const Operation kOperations[] = {
    {"MeltIntoANewItemFile", [](SmallWorld& w) { Melt(w); },
     [](SmallWorld& w) { fs::remove(w.itemFile); }},
    {"Freeze",
     [](SmallWorld& w) {
         ProgramState state;
         NullProgress quiet;
         LoadStaticIndex(state, w.staidx, quiet);
         FreezeRequest r;
         r.staidx = w.staidx;
         r.statics = w.statics;
         r.itemFile = w.itemFile;
         r.writePat = true;
         r.patchFile = w.items + "/freeze.pat";
         FreezeItems(state, r, {}, DiscardLog, quiet);
     }},
    {"FillClear",
     [](SmallWorld& w) {
         ProgramState state;
         NullProgress quiet;
         FillClear(state, test::SmallRectangle(w.staidx, w.statics, w.map), quiet, DiscardLog);
     }},
    {"Compaction",
     [](SmallWorld& w) {
         NullProgress quiet;
         CompactStatics(w.staidx, w.statics, quiet);
     }},
    {"ConvertOverAnExistingContainer",
     [](SmallWorld& w) { ConvertMap(w.map, w.world + "/map4LegacyMUL.uop", true, DiscardLog); }},
};

// Runs an operation keeping restore points, as the programs do.
void Keeping(const std::function<void()>& operation, RestoreLimits limits = {}) {
    RestorePointKeeper keeper({limits, "test", "test run"}, DiscardLog);
    KeeperScope scope(keeper);
    operation();
}

void Restore(std::uint64_t number, const std::vector<std::string>& folders) {
    Keeping([&] { RestoreFiles(number, folders, DiscardLog); });
}

class RestoreAfterEachOperation : public ::testing::TestWithParam<Operation> {};

TEST_P(RestoreAfterEachOperation, GivesBackEveryFileAndCanBeUndone) {
    for (const bool itemsApart : {false, true}) {
        SCOPED_TRACE(itemsApart ? "item file in a folder of its own" : "one folder");
        SmallWorld w(itemsApart);
        const Operation& operation = GetParam();
        // A container made from the map before it changed, for the conversion to replace.
        ConvertMap(w.map, w.world + "/map4LegacyMUL.uop", true, DiscardLog);
        TMapBlock block;
        std::memset(&block, 4, sizeof block);
        WriteMapBlock(w.map, kSmall, 180, 180, block);
        operation.setup(w);
        const Files before = UserFiles(w);
        Keeping([&] { operation.run(w); });
        const Files after = UserFiles(w);
        ASSERT_NE(after, before);
        ASSERT_EQ(StoredPoints(w.world).size(), 1u);
        std::vector<std::string> wrote; // the folders of the point
        for (const std::string& folder : w.folders())
            if (!StoredPoints(folder).empty())
                wrote.push_back(folder);

        Restore(1, wrote);
        EXPECT_EQ(UserFiles(w), before) << "after the restore";
        Restore(2, wrote);
        EXPECT_EQ(UserFiles(w), after) << "after undoing the restore";
        Restore(3, wrote);
        EXPECT_EQ(UserFiles(w), before) << "after undoing that";
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, RestoreAfterEachOperation, ::testing::ValuesIn(kOperations),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RestorePointTest, ListsWhatEachPointHolds) {
    SmallWorld w;
    const std::uint64_t items = FileSizeOf(w.itemFile), index = FileSizeOf(w.staidx);
    Keeping([&] { Melt(w); });
    const auto lines = RestoreListLines(ListRestorePoints({w.world}));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], w.world + ":");
    EXPECT_TRUE(lines[1].starts_with("  1  ")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with(" UTC  test  test run")) << lines[1];
    EXPECT_EQ(lines[2], "      item file  items.wsc  " + std::to_string(items) + " bytes before, " +
                            std::to_string(FileSizeOf(w.itemFile)) + " after  (replaced)");
    EXPECT_EQ(lines[3], "      statics index  staidx4.mul  " + std::to_string(index) +
                            " bytes before, " + std::to_string(index) + " after  (replaced)");
}

TEST(RestorePointTest, KeepsToTheLimitsOldestFirst) {
    struct Case {
        const char* name;
        RestoreLimits limits;
        std::vector<std::uint64_t> left;
    };
    const std::uint64_t index = 181 * 181 * 12;
    const Case cases[] = {
        {"three points", {3, std::uint64_t{1} << 30}, {3, 4, 5}},
        {"room for two", {10, 2 * index + 1000}, {4, 5}},
        {"none", {0, std::uint64_t{1} << 30}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallWorld w;
        for (const char* firstX : {"16", "24", "32", "40", "48"})
            Keeping([&] { Melt(w, firstX); }, c.limits);
        std::vector<std::uint64_t> left;
        for (const StoredPoint& point : StoredPoints(w.world))
            left.push_back(point.number);
        EXPECT_EQ(left, c.left);
        if (c.left.empty()) {
            EXPECT_FALSE(fs::exists(w.world + "/.loamwright"));
        }
    }
}

TEST(RestorePointTest, RefusesWhatWouldLoseAChangeOrCannotBeDone) {
    SmallWorld w(true);
    Keeping([&] { Melt(w); });
    const auto refused = [&](std::uint64_t number, const std::vector<std::string>& folders,
                             const std::string& named) {
        const Files files = UserFiles(w);
        try {
            Restore(number, folders);
            ADD_FAILURE() << "restored " << number;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
        }
        EXPECT_EQ(UserFiles(w), files);
    };
    refused(2, w.folders(), "There is no restore point 2 in " + w.world);
    refused(1, {w.world}, "also wrote " + w.items);

    test::WriteWholeFile(w.itemFile, test::ReadWholeFile(w.itemFile) + Item(9, 1, 1));
    // Messages name paths in the system's own form (backslashes on Windows).
    const auto shown = [](const std::string& path) {
        return fs::path(path).make_preferred().string();
    };
    refused(1, w.folders(), shown(w.itemFile) + " was changed since restore point 1");

    test::WriteWholeFile(w.items + "/.loamwright/restore/1/entry", "Loamwright restore point 1\n");
    refused(1, w.folders(),
            "restore point entry " + shown(w.items + "/.loamwright/restore/1/entry"));
}

TEST(RestorePointTest, LeavesNothingHalfMadeBehind) {
    SmallWorld w;
    // What a run killed while it made or let go a point leaves: its next point tidies it away.
    for (const char* name : {"7.lw-new-0123456789ab", "3.lw-old-0123456789ab"}) {
        fs::create_directories(w.world + "/.loamwright/restore/" + name);
        test::WriteWholeFile(w.world + "/.loamwright/restore/" + name + "/staidx4.mul", "old");
    }
    fs::create_directories(w.world + "/.loamwright/restore/7.lw-new-mine");
    Keeping([&] { Melt(w); });
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(w.world + "/.loamwright/restore"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"1", "7.lw-new-mine"}));
}

} // namespace
} // namespace lw
