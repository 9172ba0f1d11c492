// An injected failure at any write, sync or rename of a melt, freeze or fill/clear leaves every
// file as it was, no temporary, kept or journal file behind (nor does a run that completes), no
// handle open, and the in-memory index agreeing with the file.
#include "OperationRun.h"
#include "fillclear/FillClear.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "util/ReplacementJournal.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lw {
namespace {

using test::ItemWorld;

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

enum class Fault { Write, Sync, Rename };

// Staged, kept and journal files go whether the operation completes or fails.
void ExpectNoLeftovers(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        for (const char* marker : {kStagedMarker, kKeptMarker, kJournalMarker})
            EXPECT_EQ(entry.path().filename().string().find(marker), std::string::npos)
                << entry.path();
}

class FailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeEmptyStatics(world.staidx(), world.statics());
        test::PutStaticBlock(world.staidx(), world.statics(), 2, 5, {{1, 2, 3, 4, 5}});
        test::PutStaticBlock(world.staidx(), world.statics(), 3, 6, {{6, 7, 0, -1, 0}});
        test::WriteWholeFile(world.items(), "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
    }
    void TearDown() override { FileFaults::Reset(); }

    // Arms the fault at its first, second, ... occurrence until the operation gets through.
    // Past the first few, the faults fall in the index's column writes, one loop of 768, so
    // those are sampled.
    void expectNothingChangesOnFailure(
        const std::function<void(const ItemWorld&, ProgramState&, const LogSink&, Progress&)>& op) {
        const auto before = test::Snapshot(world.folder);
        for (const Fault fault : {Fault::Write, Fault::Sync, Fault::Rename}) {
            int failures = 0;
            for (int n = 1;; n += n < 16 ? 1 : 61) {
                SCOPED_TRACE("fault kind " + std::to_string(static_cast<int>(fault)) + " at " +
                             std::to_string(n));
                test::TempDir copy;
                test::CopyFolder(world.folder, copy.path());
                const ItemWorld w{copy.path()};
                arm(fault, n);
                const test::Outcome outcome =
                    test::RunOperation(w.staidx(), [&](ProgramState& s, const LogSink& log,
                                                       Progress& p) { op(w, s, log, p); });
                FileFaults::Reset();
                EXPECT_EQ(FileFaults::OpenHandles(), 0);
                ExpectNoLeftovers(copy.path());
                if (outcome.error.empty())
                    break;
                ++failures;
                EXPECT_TRUE(outcome.error == "E/A-Fehler 112" ||
                            outcome.error == "Dateizugriff verweigert")
                    << outcome.error;
                test::ExpectSameFiles(test::Snapshot(copy.path()), before);
                if (::testing::Test::HasFailure())
                    return;
            }
            EXPECT_GT(failures, 0);
        }
    }

    static void arm(Fault fault, int n) {
        if (fault == Fault::Write)
            FileFaults::FailNthWrite(n);
        else if (fault == Fault::Sync)
            FileFaults::FailNthSync(n);
        else
            FileFaults::FailNthRename(n);
    }

    test::TempDir dir;
    ItemWorld world{dir.path()};
};

TEST_F(FailureTest, Melt) {
    expectNothingChangesOnFailure(
        [](const ItemWorld& w, ProgramState& s, const LogSink& log, Progress& p) {
            MeltBlocks(s, w.melt(ItemFileStyle::Uox3, 16, 31, 40, 55), log, p);
        });
}

TEST_F(FailureTest, FreezeWithoutPatchFile) {
    expectNothingChangesOnFailure(
        [](const ItemWorld& w, ProgramState& s, const LogSink& log, Progress& p) {
            FreezeItems(s, w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, false), {}, log, p);
        });
}

TEST_F(FailureTest, FreezeWithNewPatchFile) {
    expectNothingChangesOnFailure(
        [](const ItemWorld& w, ProgramState& s, const LogSink& log, Progress& p) {
            FreezeItems(s, w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true), {}, log, p);
        });
}

TEST_F(FailureTest, FreezeAppendingToPatchFile) {
    test::WriteWholeFile(world.patch(), Item(7, 100, 100));
    expectNothingChangesOnFailure(
        [](const ItemWorld& w, ProgramState& s, const LogSink& log, Progress& p) {
            FreezeItems(s, w.freeze(ItemFileStyle::Uox3, SelectionMode::Type255, true), {}, log, p);
        });
}

TEST_F(FailureTest, FillClear) {
    // Block (2, 5) is partly inside, so runs are appended before the index and the map are
    // staged; block (3, 6) is wholly inside.
    test::MakeSparseMap(world.folder + "/map0.mul");
    expectNothingChangesOnFailure(
        [](const ItemWorld& w, ProgramState& s, const LogSink&, Progress& p) {
            FillClearRequest r;
            r.StaIdxPath = w.staidx();
            r.StaticsPath = w.statics();
            r.MapPath = w.folder + "/map0.mul";
            r.Left = 17;
            r.Top = 40;
            r.Right = 40;
            r.Bottom = 60;
            r.Tile = {6, 0};
            FillClear(s, r, p);
        });
}

} // namespace
} // namespace lw
