// What the next run does with what an interrupted operation left: journals are untrusted input,
// folders repaired one at a time lose no item, a file saved by someone else after the kill or
// during the repair is never overwritten, and the old content is kept without hard links where
// the file system has none.
#include "util/Recovery.h"

#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "support/ChildProcess.h"
#include "support/FolderSnapshot.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "support/WorldItems.h"
#include "util/ContentDigest.h"
#include "util/JournalFile.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"
#include "util/TempNames.h"
#include "world/FileRoles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

std::string RefusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(ContentDigestTest, IsTheXxh64OfTheBytesInAnyPieces) {
    EXPECT_EQ(DigestOf(""), 0xEF46DB3751D8E999ULL);
    EXPECT_EQ(DigestOf("abc"), 0x44BC2CF5AD770999ULL);
    std::string bytes;
    for (int i = 0; i < 771; ++i)
        bytes += static_cast<char>(i < 768 ? i % 256 : "xyz"[i - 768]);
    EXPECT_EQ(DigestOf(bytes), 0xE921A1B45BD779F8ULL);
    for (const std::size_t piece : {1u, 7u, 31u, 32u, 33u, 500u}) {
        ContentDigest digest;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            digest.add(bytes.data() + at, std::min(piece, bytes.size() - at));
        EXPECT_EQ(digest.value(), DigestOf(bytes)) << piece;
    }
}

// A sound journal of one file in a folder, to break in every way.
Journal SoundJournal() {
    Journal journal;
    journal.operation = RandomHex(kOperationIdLength);
    journal.phase = JournalPhase::Back;
    journal.folders = {"/where/it/was"};
    JournalEntry entry;
    entry.target = "precious.txt";
    entry.staged = "precious.txt.lw-new-0123456789ab";
    entry.fresh = {true, 3, true, DigestOf("new"), {}};
    journal.entries.push_back(entry);
    return journal;
}

TEST(RecoveryTest, AJournalThatIsNotSoundIsNeverActedUpon) {
    const test::TempDir dir;
    const std::string precious = dir.file("precious.txt"), journal = JournalPathIn(dir.path());
    WriteWholeFile(precious, "new"); // exactly what the journals below say the operation made
    const auto with = [](const std::function<void(JournalEntry&)>& change) {
        Journal j = SoundJournal();
        change(j.entries[0]);
        return EncodeJournal(j);
    };
    std::string flipped = EncodeJournal(SoundJournal());
    flipped[flipped.size() / 2] ^= 1;
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"a file of another folder", with([](JournalEntry& e) {
             e.target = "../other/precious.txt";
             e.staged = e.target + ".lw-new-0123456789ab";
         }),
         "names a file outside its folder (\"../other/precious.txt\")"},
        {"a full path", with([](JournalEntry& e) { e.staged = "/tmp/precious.txt"; }),
         "names a file outside its folder"},
        {"a user's file as new content", with([](JournalEntry& e) { e.staged = "notes.txt"; }),
         "names files that are not the ones this program makes"},
        {"a user's file as old content", with([](JournalEntry& e) {
             e.kept = "precious.txt.lw-old-backup";
             e.old = e.fresh;
         }),
         "names files that are not the ones this program makes"},
        {"a changed byte", flipped, "is damaged or cut short"},
        {"cut short", EncodeJournal(SoundJournal()).substr(0, 60), "is damaged or cut short"},
        {"no journal at all", "PK\x03\x04 a zip file", "is no journal of this program"},
        {"an earlier version's", std::string("Loamwright replacement journal 1\0rename\0", 40),
         "was left by an earlier Loamwright version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(journal, c.bytes);
        const auto before = test::Snapshot(dir.path());
        const std::string refusal = RefusalOf([&] {
            OperationFiles({{kStaticsIndexRole, dir.file("staidx0.mul"), FileUse::Read}},
                           DiscardLog);
        });
        EXPECT_NE(refusal.find(journal), std::string::npos) << refusal;
        EXPECT_NE(refusal.find(c.says), std::string::npos) << refusal;
        EXPECT_NE(refusal.find("nothing was changed"), std::string::npos) << refusal;
        test::ExpectSameFiles(test::Snapshot(dir.path()), before);
    }
    // A folder in the journal's place is named too, as is a journal of an earlier version by its
    // own name.
    fs::remove(journal);
    fs::create_directory(journal);
    EXPECT_NE(RefusalOf([&] {
                  RecoverInterruptedOperations({dir.path()}, DiscardLog);
              }).find(journal + " is a folder where Loamwright keeps the journal"),
              std::string::npos);
    fs::remove(journal);
    const std::string earlier = dir.file("staidx0.mul.lw-journal-0123456789ab");
    WriteWholeFile(earlier, std::string("Loamwright replacement journal 1\0", 33));
    EXPECT_NE(RefusalOf([&] {
                  RecoverInterruptedOperations({dir.path()}, DiscardLog);
              }).find("The journal " + earlier + " was left by an earlier Loamwright version"),
              std::string::npos);
    EXPECT_EQ(ReadWholeFile(precious), "new");
}

// ---- An operation over three folders ----

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

// The index, the statics and the item and patch files, each pair in a folder of its own.
struct SplitWorld {
    explicit SplitWorld(const std::string& root)
        : index(root + "/index"), statics(root + "/statics"), items(root + "/items") {
        for (const std::string* folder : {&index, &statics, &items})
            fs::create_directories(*folder);
        test::MakeEmptyStatics(staidxFile(), staticsFile());
        test::PutStaticBlock(staidxFile(), staticsFile(), 2, 5, {{1, 2, 3, 4, 5}});
        test::PutStaticBlock(staidxFile(), staticsFile(), 3, 6, {{6, 7, 0, -1, 0}});
        WriteWholeFile(itemFile(), "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
    }
    std::string staidxFile() const { return index + "/staidx0.mul"; }
    std::string staticsFile() const { return statics + "/statics0.mul"; }
    std::string itemFile() const { return items + "/items.wsc"; }
    test::Items worldItems() const {
        return test::WorldItems(staidxFile(), staticsFile(), itemFile());
    }
    void melt(const LogSink& log = DiscardLog) const {
        ProgramState state;
        NullProgress progress;
        LoadStaticIndex(state, staidxFile(), progress);
        MeltRequest r{staidxFile(), staticsFile(), itemFile(), ItemFileStyle::Pol, {}};
        r.range = ParseBlockRange({"16", "31", "40", "55"});
        MeltBlocks(state, r, log, progress);
    }
    void freeze() const {
        ProgramState state;
        NullProgress progress;
        LoadStaticIndex(state, staidxFile(), progress);
        FreezeRequest r;
        r.staidx = staidxFile();
        r.statics = staticsFile();
        r.itemFile = itemFile();
        r.writePat = true;
        r.patchFile = items + "/out.pat";
        FreezeItems(state, r, {}, DiscardLog, progress);
    }
    std::string index, statics, items;
};

#ifndef _WIN32 // no fork there
TEST(RecoveryTest, FoldersRepairedTogetherOrOneByOneLoseNoItem) {
    using Step = FileFaults::Step;
    const std::pair<Step, int> kills[] = {
        {Step::KeepOldCopy, 2},   {Step::WriteJournal, 1},     {Step::WriteJournal, 2},
        {Step::CommitJournal, 1}, {Step::CommitJournal, 2},    {Step::Replace, 1},
        {Step::Replace, 2},       {Step::SyncTargets, 1},      {Step::RemoveJournal, 1},
        {Step::RemoveJournal, 2}, {Step::DisposeOfOldCopy, 1},
    };
    enum class Order { Together, IndexFirst, ItemsFirst };
    int killed = 0;
    for (const bool melt : {true, false})
        for (const auto& [step, n] : kills)
            for (const Order order : {Order::Together, Order::IndexFirst, Order::ItemsFirst}) {
                SCOPED_TRACE(std::string(melt ? "melt" : "freeze") + " killed at step " +
                             std::to_string(static_cast<int>(step)) + " #" + std::to_string(n) +
                             ", repaired " + std::to_string(static_cast<int>(order)));
                const test::TempDir dir;
                const SplitWorld world(dir.path());
                const test::Items before = world.worldItems();
                const test::ChildOutcome child = test::RunInChild([&] {
                    FileFaults::KillAtStep(step, n);
                    melt ? world.melt() : world.freeze();
                });
                ASSERT_TRUE(child.killed);
                ++killed;
                if (order == Order::Together) {
                    RecoverInterruptedOperations({world.index, world.statics, world.items},
                                                 DiscardLog);
                    // All old or all new: every item exactly once.
                    EXPECT_EQ(world.worldItems(), before);
                } else {
                    // The other folder is away (a disk not mounted): each is repaired alone.
                    const std::string first =
                        order == Order::IndexFirst ? world.index : world.items;
                    const std::string second =
                        order == Order::IndexFirst ? world.items : world.index;
                    fs::rename(second, second + "-away");
                    RecoverInterruptedOperations({first}, DiscardLog);
                    fs::rename(second + "-away", second);
                    RecoverInterruptedOperations({second}, DiscardLog);
                    test::ExpectNoItemLost(before, world.worldItems());
                }
                for (const std::string& folder : {world.index, world.items})
                    EXPECT_TRUE(FindJournals(folder).empty());
            }
    EXPECT_EQ(killed, 2 * 11 * 3);
}

// The server saves its item file after the kill and before the repair, or while the repair runs:
// its save stays, the other copy is kept beside it, the log names both, and the rest of the
// operation goes the way that keeps every item exactly once: completed when the item file had its
// new content when the server read it, undone when it had not.
TEST(RecoveryTest, AFileSavedByAServerIsNeverOverwritten) {
    const struct {
        const char* name;
        int killedAtReplace; // 1: before the item file got its new content; 2: after
        bool duringTheRepair;
    } cases[] = {
        {"after the kill, with the melted items", 2, false},
        {"after the kill, from the item file before the melt", 1, false},
        {"while the repair runs", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::TempDir dir;
        const SplitWorld world(dir.path());
        test::Items expected = world.worldItems();
        expected.push_back({3821, 100, 100, 5, 0});
        std::sort(expected.begin(), expected.end());
        ASSERT_TRUE(test::RunInChild([&] {
                        FileFaults::KillAtStep(FileFaults::Step::Replace, c.killedAtReplace);
                        world.melt();
                    }).killed);
        std::string save;
        const auto serverSaves = [&] {
            save = ReadWholeFile(world.itemFile()) + Item(9, 100, 100);
            const std::string temporary = world.items + "/items.tmp";
            WriteWholeFile(temporary, save);
            fs::rename(temporary, world.itemFile());
        };
        if (c.duringTheRepair)
            FileFaults::BeforeNthRename(1, serverSaves); // just before the item file's turn
        else
            serverSaves();
        std::vector<std::string> log;
        RecoverInterruptedOperations({world.items},
                                     [&](const std::string& line) { log.push_back(line); });
        FileFaults::Reset();
        EXPECT_EQ(ReadWholeFile(world.itemFile()), save);
        EXPECT_EQ(world.worldItems(), expected);
        std::string kept;
        for (const auto& entry : fs::directory_iterator(world.items))
            if (entry.path().filename().string().find(kSavedOldMarker) != std::string::npos)
                kept = entry.path().string();
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(ReadWholeFile(kept), "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
        const std::string note =
            world.itemFile() +
            " had been changed since the operation was interrupted, so it is "
            "left as it is; its content from before the operation is kept in " +
            kept + ".";
        EXPECT_NE(std::find(log.begin(), log.end(), note), log.end())
            << ::testing::PrintToString(log);
        EXPECT_TRUE(FindJournals(world.items).empty());
        EXPECT_TRUE(FindJournals(world.index).empty());
    }
}
#endif

TEST(RecoveryTest, WhereLinksAreRefusedTheOldContentIsKeptAsACopy) {
    const test::TempDir dir;
    const std::string a = dir.file("staidx0.mul"), b = dir.file("items.wsc");
    WriteWholeFile(a, "old index");
    WriteWholeFile(b, "old items");
    const auto replaceBoth = [&] {
        ReplacementFile x(a), y(b);
        x.file().write("new index", 9);
        y.file().write("new items", 9);
        ReplacementSet set;
        set.add(&x);
        set.add(&y);
        set.commit();
    };
    // No second name is ever made: the kept copies are files of their own.
    FileFaults::RefuseLinks();
    FileFaults::BeforeNthRename(2, [&] {
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(StatusOf(entry.path().string())->links, 1u) << entry.path();
        EXPECT_EQ(ReadWholeFile(JoinPath(dir.path(), "staidx0.mul")), "old index");
    });
    replaceBoth();
    FileFaults::Reset();
    EXPECT_EQ(ReadWholeFile(a), "new index");
    EXPECT_EQ(ReadWholeFile(b), "new items");
    EXPECT_EQ(test::Snapshot(dir.path()).size(), 2u);

    // A failed step still puts the old content back.
    FileFaults::RefuseLinks();
    FileFaults::FailNthRename(3);
    WriteWholeFile(a, "old index");
    WriteWholeFile(b, "old items");
    EXPECT_THROW(replaceBoth(), IoError);
    FileFaults::Reset();
    EXPECT_EQ(ReadWholeFile(a), "old index");
    EXPECT_EQ(ReadWholeFile(b), "old items");
    EXPECT_EQ(test::Snapshot(dir.path()).size(), 2u);
#ifndef _WIN32
    // And a kill after the first target is completed by the next run from the copy.
    ASSERT_TRUE(test::RunInChild([&] {
                    FileFaults::RefuseLinks();
                    FileFaults::KillAtStep(FileFaults::Step::Replace, 2);
                    replaceBoth();
                }).killed);
    RecoverInterruptedOperations({dir.path()}, DiscardLog);
    EXPECT_EQ(ReadWholeFile(a), "new index");
    EXPECT_EQ(ReadWholeFile(b), "new items");
    EXPECT_EQ(test::Snapshot(dir.path()).size(), 2u);
#endif
}

} // namespace
} // namespace lw
