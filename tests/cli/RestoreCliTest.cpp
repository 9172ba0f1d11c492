// restore end to end on the demo world: every writing command keeps a restore point, undone
// newest first the files come back byte for byte, a restore is undone like any operation, and the
// limits and refusals hold.
#include "support/FolderSnapshot.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace lw {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

test::ProgramResult Cli(const Args& args) {
    return test::RunProgram(LW_CLI_PATH, args);
}

// The world's files, the restore points aside.
Files WorldFiles(const std::string& folder) {
    Files files = test::Snapshot(folder);
    files.erase(".loamwright");
    return files;
}

class RestoreCliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Cli({"demo-world", dir.path()}).exitCode, 0); }
    std::string f(const std::string& name) const { return dir.file(name); }
    void run(Args args) {
        const auto r = Cli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    test::TempDir dir;
};

TEST_F(RestoreCliTest, EveryCommandIsUndoneNewestFirst) {
    // A copy of the world before a fill/clear, for a diff that gives the same fill/clear.
    test::TempDir original;
    for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"})
        fs::copy_file(f(name), original.file(name));
    const Args world{"--staidx", f("staidx0.mul"), "--statics", f("statics0.mul")};
    const auto with = [&](Args args, const Args& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::vector<Args> commands{
        with({"melt"}, with(world, {"--items", f("items.wsc"), "1464", "1535", "1568", "1639"})),
        with({"freeze"}, with(world, {"--items", f("items.wsc")})),
        with({"fill-clear"},
             with(world, {"--map", f("map0.mul"), "--left", "1003", "--right", "1500", "--top",
                          "1005", "--bottom", "1500", "--tile", "00 03"})),
        with({"compact"}, world),
        {"convert", "--to", "uop", f("map0.mul"), f("map0LegacyMUL.uop")},
    };
    std::vector<Files> states{WorldFiles(dir.path())};
    for (const Args& command : commands) {
        run(command);
        states.push_back(WorldFiles(dir.path()));
        EXPECT_NE(states.back(), states[states.size() - 2]) << command[0] << " changed nothing";
    }
    const auto listed = Cli({"restore", "--list", dir.path()});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    for (const char* command : {"melt", "freeze", "fill-clear", "compact", "convert"})
        EXPECT_NE(listed.out.find(std::string(" UTC  ") + command + "  loamwright-cli " + command),
                  std::string::npos)
            << listed.out;

    // Point 5 is the conversion's; each restore keeps a point of its own, so the next one to
    // undo is two below.
    for (std::size_t i = commands.size(), point = commands.size(); i-- > 0; --point) {
        SCOPED_TRACE(commands[i][0]);
        run({"restore", std::to_string(point), dir.path()});
        test::ExpectSameFiles(WorldFiles(dir.path()), states[i]);
    }
    // And the last restore undone gives the melt back.
    run({"restore", "10", dir.path()});
    test::ExpectSameFiles(WorldFiles(dir.path()), states[1]);

    run({"fill-clear", "--staidx", original.file("staidx0.mul"), "--statics",
         original.file("statics0.mul"), "--map", original.file("map0.mul"), "--restore-points", "0",
         "--tile", "00 03", "--left", "10", "--right", "20", "--top", "10", "--bottom", "20"});
    EXPECT_FALSE(fs::exists(original.file(".loamwright"))) << "0 points: none kept";
}

TEST_F(RestoreCliTest, DiffApplyIsUndoneAndTheLimitsHold) {
    test::TempDir target, modified;
    for (const char* name : {"staidx0.mul", "statics0.mul", "map0.mul"}) {
        fs::copy_file(f(name), target.file(name));
        fs::copy_file(f(name), modified.file(name));
    }
    run({"fill-clear", "--staidx", modified.file("staidx0.mul"), "--statics",
         modified.file("statics0.mul"), "--map", modified.file("map0.mul"), "--tile", "00 03",
         "--left", "10", "--right", "200", "--top", "10", "--bottom", "200", "--restore-points",
         "0"});
    const auto set = [](const test::TempDir& d, const std::string& prefix) {
        return Args{"--" + prefix + "staidx", d.file("staidx0.mul"), "--" + prefix + "statics",
                    d.file("statics0.mul"),   "--" + prefix + "map", d.file("map0.mul")};
    };
    Args generate{"diff-generate", "--out", modified.file("w.lw2")};
    for (const Args& part : {set(dir, "original-"), set(modified, "")})
        generate.insert(generate.end(), part.begin(), part.end());
    run(generate);
    const auto apply = [&](const Args& limits) {
        Args args{"diff-apply", "--diff", modified.file("w.lw2")};
        for (const Args& part : {set(dir, "original-"), set(target, ""), limits})
            args.insert(args.end(), part.begin(), part.end());
        run(args);
    };
    const Files before = WorldFiles(target.path());
    apply({});
    EXPECT_NE(WorldFiles(target.path()), before);
    run({"restore", "1", target.path()});
    test::ExpectSameFiles(WorldFiles(target.path()), before);

    // Points 1 (the diff) and 2 (the restore) go first once a folder keeps two.
    apply({"--restore-points", "2", "--restore-size", "1G"});
    apply({"--restore-points", "2", "--restore-size", "1G"});
    const auto listed = Cli({"restore", "--list", target.path()}).out;
    for (const char* gone : {"\n  1  ", "\n  2  "})
        EXPECT_EQ(listed.find(gone), std::string::npos) << listed;
    for (const char* kept : {"\n  3  ", "\n  4  "})
        EXPECT_NE(listed.find(kept), std::string::npos) << listed;
}

TEST_F(RestoreCliTest, RefusalsNameTheCauseAndChangeNothing) {
    run({"melt", "--staidx", f("staidx0.mul"), "--statics", f("statics0.mul"), "--items",
         f("items.wsc"), "1464", "1535", "1568", "1639"});
    test::WriteWholeFile(f("items.wsc"), test::ReadWholeFile(f("items.wsc")) + "\r\n");
    const Files files = WorldFiles(dir.path());
    struct Case {
        Args args;
        std::string says;
    };
    const Case cases[] = {
        {{"restore", "1", dir.path()}, f("items.wsc") + " was changed since restore point 1"},
        {{"restore", "7", dir.path()}, "There is no restore point 7 in " + dir.path()},
        {{"restore", "1", f("missing")}, f("missing")},
    };
    for (const Case& c : cases) {
        const auto r = Cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[1];
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        test::ExpectSameFiles(WorldFiles(dir.path()), files);
    }
    EXPECT_EQ(Cli({"restore", "x", dir.path()}).exitCode, 2);
    EXPECT_EQ(Cli({"melt", "--restore-size", "2X"}).exitCode, 2);
}

} // namespace
} // namespace lw
