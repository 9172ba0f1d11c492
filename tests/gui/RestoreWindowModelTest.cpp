// The restore window's rules: one row per operation however many of the folders it wrote, rows
// of other operations that share a number kept apart, damaged points shown but not restorable,
// newest first.
#include "gui/models/RestoreWindowModel.h"

#include <gtest/gtest.h>

namespace lw::test {
namespace {

StoredPoint Point(std::uint64_t number, const std::string& time, const std::string& identity,
                  std::uint64_t bytes = 100) {
    RestoreEntry entry;
    entry.number = number;
    entry.time = time;
    entry.operation = "melt";
    entry.commandLine = "desktop program, main window";
    entry.identity = identity;
    entry.files = {{"statics index", "staidx0.mul", KeptKind::Replaced, 92160, {}, 0}};
    return {number, "/p", entry, "", bytes};
}

StoredPoint Damaged(std::uint64_t number) {
    return {number, "/p", std::nullopt, "its entry does not read", 0};
}

TEST(RestoreWindowModel, OneRowPerOperationNewestFirst) {
    const std::vector<FolderPoints> listed{
        {"/world",
         {Point(1, "2026-12-01 10:00:00", "a"), Point(2, "2026-12-03 10:00:00", "b"), Damaged(3)}},
        // The melt "b" wrote the item file's folder too; "c" is another operation numbered 1.
        {"/server", {Point(1, "2026-12-02 10:00:00", "c"), Point(2, "2026-12-03 10:00:00", "b")}},
    };
    const std::vector<RestoreChoice> choices = RestoreChoicesOf(listed);
    ASSERT_EQ(choices.size(), 4u);
    EXPECT_EQ(choices[0].number, 2u);
    EXPECT_EQ(choices[0].folders(), (std::vector<std::string>{"/world", "/server"}));
    EXPECT_EQ(choices[0].bytes(), 200u);
    EXPECT_EQ(choices[0].fileLines(),
              (std::vector<std::string>{
                  "/world  statics index  staidx0.mul  92160 bytes before, none after  (replaced)",
                  "/server  statics index  staidx0.mul  92160 bytes before, none after  "
                  "(replaced)"}));
    EXPECT_EQ(choices[1].folders(), std::vector<std::string>{"/server"});
    EXPECT_EQ(choices[1].heading(),
              "1  2026-12-02 10:00:00 UTC  melt  desktop program, main window");
    EXPECT_EQ(choices[2].folders(), std::vector<std::string>{"/world"});
    EXPECT_EQ(choices[2].fileLines().size(), 1u);
    EXPECT_TRUE(choices[2].fileLines()[0].starts_with("statics index"));
    // A damaged point has no time: it goes last, and cannot be put back.
    EXPECT_FALSE(choices[3].restorable());
    EXPECT_EQ(choices[3].heading(), "3  damaged: its entry does not read");
    EXPECT_TRUE(choices[0].restorable());
}

TEST(RestoreWindowModel, SizesReadAsAPersonWouldSayThem) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"},       {1023, "1023 bytes"},  {1024, "1.0 KiB"},
        {7176712, "6.8 MiB"}, {3u << 30, "3.0 GiB"}, {std::uint64_t{5000} << 30, "5000.0 GiB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(KeptSizeText(bytes), text) << bytes;
}

TEST(RestoreWindowModel, AFolderReachedTwiceIsListedOnce) {
    EXPECT_EQ(FoldersOfPaths({"/uo/staidx0.mul", "/uo/statics0.mul", "", "/shard/statics.cfg"}),
              (std::vector<std::string>{"/uo", "/shard"}));
}

} // namespace
} // namespace lw::test
