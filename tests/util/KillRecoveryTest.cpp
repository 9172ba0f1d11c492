// A run killed at any step of a replacement set leaves, after the next run's recovery, every
// target all old (killed before its journal was in place) or all new (after), and nothing else in
// the folder.
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/WorldFiles.h"
#include "util/OperationFiles.h"
#include "util/ReplacementSet.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

// Windows has no fork to kill a run part-way through.
#ifndef _WIN32
namespace lw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

// A patch file not there yet (created), a hard-linked statics file (overwritten in place, and
// large enough that a kill half-way leaves it torn) and an index (renamed over).
struct World {
    explicit World(const std::string& folder)
        : patch(folder + "/patch.wsc"), statics(folder + "/statics0.mul"),
          staticsLink(folder + "/statics-link.mul"), index(folder + "/staidx0.mul") {
        WriteWholeFile(statics, std::string(300000, 'o'));
        fs::create_hard_link(statics, staticsLink);
        WriteWholeFile(index, "old index");
    }

    void replaceAll() const {
        ReplacementFile a(patch), b(statics), c(index);
        a.file().write("items", 5);
        const std::string newStatics(200000, 'n');
        b.file().write(newStatics.data(), newStatics.size());
        c.file().write("new index", 9);
        ReplacementSet set;
        set.add(&a);
        set.add(&b);
        set.add(&c);
        set.commit();
    }

    bool allOld() const {
        return !fs::exists(patch) && ReadWholeFile(staticsLink) == std::string(300000, 'o') &&
               ReadWholeFile(index) == "old index" && fs::hard_link_count(statics) == 2;
    }
    bool allNew() const {
        return ReadWholeFile(patch) == "items" &&
               ReadWholeFile(staticsLink) == std::string(200000, 'n') &&
               ReadWholeFile(index) == "new index" && fs::hard_link_count(statics) == 2;
    }

    std::string patch, statics, staticsLink, index;
};

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(KillRecovery, AKillAtAnyStepIsRepairedByTheNextRun) {
    int kills = 0;
    // Rename 1 puts the journal in place; then come the three targets.
    for (int n = 1;; ++n) {
        SCOPED_TRACE("killed at step " + std::to_string(n));
        test::TempDir dir;
        const World world(dir.path());
        const test::ChildOutcome child = test::RunInChild([&] {
            FileFaults::KillAtNthRename(n);
            world.replaceAll();
        });
        if (!child.killed) {
            EXPECT_EQ(child.exitCode, 0);
            EXPECT_TRUE(world.allNew());
            break;
        }
        ++kills;
        const bool journal = !FindJournals(dir.path()).empty();
        EXPECT_EQ(journal, n > 1);

        // The next operation, or the desktop program at start-up, repairs it first. (Without a
        // journal there is nothing to repair: the next operation writing there tidies up.)
        std::vector<std::string> log;
        const LogSink logLine = [&](const std::string& line) { log.push_back(line); };
        if (n % 2 || !journal)
            OperationFiles files({{"statics index", world.index, FileUse::Write}}, logLine);
        else
            RecoverInterruptedOperations({dir.path()}, logLine);
        EXPECT_TRUE(journal ? world.allNew() : world.allOld());
        EXPECT_EQ(Names(dir.path()),
                  (std::set<std::string>{journal ? "patch.wsc" : "statics0.mul", "statics0.mul",
                                         "statics-link.mul", "staidx0.mul"}));
        if (journal) {
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log[0].rfind("Recovered an interrupted operation: ", 0), 0u) << log[0];
        }
    }
    EXPECT_EQ(kills, 4);
}

} // namespace
} // namespace lw
#endif
