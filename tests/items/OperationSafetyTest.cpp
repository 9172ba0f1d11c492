// What only another process shows about the operations that write world and item files: a run
// killed at any rename is repaired by the next one (every target all old or all new), an undo
// that fails leaves statics0.mul whole for the index on disk, and files the user may not write
// are refused before anything is written.
#include "OperationRun.h"
#include "diff/ApplyDiff.h"
#include "diff/GenerateDiff.h"
#include "fillclear/FillClear.h"
#include "support/ChildProcess.h"
#include "support/FillClearRequests.h"
#include "support/WorldFiles.h"
#include "util/File.h"
#include "util/OperationFiles.h"
#include "util/ReplacementJournal.h"
#include "world/FileRoles.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lw {
namespace {

using Files = std::map<std::string, std::string>;

std::string Item(int number, int x, int y) {
    return "SECTION WORLDITEM " + std::to_string(number) + "\r\n{\r\nID 3821\r\nX " +
           std::to_string(x) + "\r\nY " + std::to_string(y) +
           "\r\nZ 5\r\nCONT -1\r\nTYPE 255\r\n}\r\n";
}

// A world with two static blocks and two loose items in one folder.
void MakeWorld(const std::string& folder) {
    const test::ItemWorld w{folder};
    test::MakeEmptyStatics(w.staidx(), w.statics());
    test::PutStaticBlock(w.staidx(), w.statics(), 2, 5, {{1, 2, 3, 4, 5}});
    test::PutStaticBlock(w.staidx(), w.statics(), 3, 6, {{6, 7, 0, -1, 0}});
    test::WriteWholeFile(w.items(), "// kept\r\n" + Item(1, 19, 47) + Item(2, 27, 50));
}

// The diff the application cases apply: block (4, 4) gains a record. Made once, outside the
// folders the cases write.
const std::string& OriginalsWithDiff() {
    static test::TempDir dir;
    static bool made = false;
    if (!made) {
        const test::TempDir modified;
        MakeWorld(dir.path());
        MakeWorld(modified.path());
        test::PutStaticBlock(modified.file("staidx0.mul"), modified.file("statics0.mul"), 4, 4,
                             {{9, 1, 1, 1, 0}});
        NullDiffProgress progress;
        GenerateDiff({dir.file("staidx0.mul"), dir.file("statics0.mul"), dir.file("map0.mul")},
                     {modified.file("staidx0.mul"), modified.file("statics0.mul"),
                      modified.file("map0.mul")},
                     dir.file("world.lw2"), {true, false}, progress);
        made = true;
    }
    return dir.path();
}

struct OperationCase {
    const char* name;
    std::function<void(const std::string& folder)> prepare;
    std::function<void(const std::string& folder, const LogSink& log)> run;
    std::function<std::vector<DeclaredFile>(const std::string& folder)> files; // what it writes
    // Appends runs to statics0.mul in place, so the index on disk fits it even while an undo is
    // unfinished; a diff application writes statics0.mul anew, fitting only once it is finished.
    bool appendsRuns = true;
};

FillClearRequest Rectangle(const std::string& folder) {
    return test::SmallRectangle(folder + "/staidx0.mul", folder + "/statics0.mul",
                                folder + "/map0.mul");
}

std::vector<DeclaredFile> WorldFiles(const std::string& folder, bool items, bool map) {
    std::vector<DeclaredFile> files{{kStaticsIndexRole, folder + "/staidx0.mul", FileUse::Write},
                                    {kStaticsFileRole, folder + "/statics0.mul", FileUse::Write}};
    if (items) {
        files.push_back({kItemFileRole, folder + "/items.wsc", FileUse::Write});
        files.push_back({kPatchFileRole, folder + "/freeze.pat", FileUse::Write});
    }
    if (map)
        files.push_back({kMapFileRole, folder + "/map0.mul", FileUse::Write});
    return files;
}

const OperationCase kCases[] = {
    {"freeze with a patch file", MakeWorld,
     [](const std::string& folder, const LogSink& log) {
         ProgramState state;
         NullProgress progress;
         LoadStaticIndex(state, folder + "/staidx0.mul", progress, log);
         FreezeItems(
             state,
             test::ItemWorld{folder}.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true), {},
             log, progress);
     },
     [](const std::string& folder) { return WorldFiles(folder, true, false); }},
    {"diff application",
     [](const std::string& folder) {
         test::CopyFolder(OriginalsWithDiff(), folder);
         RemoveFile(folder + "/world.lw2");
     },
     [](const std::string& folder, const LogSink& log) {
         const std::string& originals = OriginalsWithDiff();
         NullDiffProgress progress;
         const AppliedDiff applied = ApplyDiff(
             {originals + "/staidx0.mul", originals + "/statics0.mul", originals + "/map0.mul"},
             {folder + "/staidx0.mul", folder + "/statics0.mul", folder + "/map0.mul"},
             originals + "/world.lw2", progress, log);
         if (!applied.applied)
             throw Error(applied.message);
     },
     [](const std::string& folder) { return WorldFiles(folder, false, false); }, false},
    {"fill/clear",
     [](const std::string& folder) {
         MakeWorld(folder);
         test::MakeSparseMap(folder + "/map0.mul");
     },
     [](const std::string& folder, const LogSink& log) {
         ProgramState state;
         NullProgress progress;
         FillClear(state, Rectangle(folder), progress, log);
     },
     [](const std::string& folder) { return WorldFiles(folder, false, true); }},
};

// What the operation gives when nothing goes wrong.
[[maybe_unused]] Files Completed(const OperationCase& c) { // unused where there is no fork
    const test::TempDir dir;
    c.prepare(dir.path());
    c.run(dir.path(), DiscardLog);
    return test::Snapshot(dir.path());
}

// The next run of the operation: its files declared, which repairs what a killed run left.
std::vector<std::string> NextRun(const OperationCase& c, const std::string& folder) {
    std::vector<std::string> log;
    const OperationFiles files(c.files(folder),
                               [&](const std::string& line) { log.push_back(line); });
    return log;
}

// Every index entry on disk must lie inside statics0.mul.
bool IndexFitsStatics(const std::string& folder) {
    const std::uint64_t size = FileSizeOf(folder + "/statics0.mul");
    const StaticIndexTable index = test::ReadIndexFile(folder + "/staidx0.mul");
    for (int n = 0; n < kBlockCount; ++n) {
        const StaticPointer& entry = index[n];
        if (entry.Offset != kNoStatics &&
            static_cast<std::uint64_t>(entry.Offset) + entry.Length > size)
            return false;
    }
    return true;
}

std::string Differing(const Files& a, const Files& b) {
    std::string names;
    for (const auto& [name, content] : a)
        if (!b.count(name) || b.at(name) != content)
            names += name + " ";
    for (const auto& [name, content] : b)
        if (!a.count(name))
            names += name + " ";
    return names;
}

// Runs appended to statics0.mul before a kill or a failure stay as dead space no entry points
// to: the run that appended them is the one that would have cut them off.
bool IsOld(Files after, const Files& before) {
    auto statics = after.find("statics0.mul");
    if (statics != after.end() && before.count("statics0.mul") &&
        statics->second.starts_with(before.at("statics0.mul")))
        statics->second.resize(before.at("statics0.mul").size());
    return after == before;
}

// The same world: every file alike, but the runs in statics0.mul compared by what each index
// entry holds, not where (a run appended twice leaves dead space, no different world).
[[maybe_unused]] std::string SameWorld(Files a, Files b) {
    const auto entries = [](const Files& files, int n) {
        StaticPointer entry;
        std::memcpy(&entry, files.at("staidx0.mul").data() + n * kIndexEntrySize, sizeof entry);
        const std::string& statics = files.at("statics0.mul");
        const std::string run =
            entry.Offset == kNoStatics || entry.Length == 0
                ? std::string()
                : statics.substr(static_cast<std::size_t>(entry.Offset), entry.Length);
        return std::to_string(entry.Extra) + ":" + run;
    };
    for (int n = 0; n < kBlockCount; ++n)
        if (entries(a, n) != entries(b, n))
            return "block " + std::to_string(n);
    for (Files* files : {&a, &b}) {
        files->erase("statics0.mul");
        files->erase("staidx0.mul");
    }
    return Differing(a, b);
}

#ifndef _WIN32 // no fork there
TEST(OperationSafetyTest, AKillAtAnyRenameIsRepairedByTheNextRun) {
    for (const OperationCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const Files completed = Completed(c);
        bool sawRepair = false;
        for (int n = 1; n < 50; ++n) {
            SCOPED_TRACE("killed at rename " + std::to_string(n));
            const test::TempDir dir;
            c.prepare(dir.path());
            const test::ChildOutcome child = test::RunInChild([&] {
                FileFaults::KillAtNthRename(n);
                c.run(dir.path(), DiscardLog);
            });
            if (!child.killed) {
                EXPECT_EQ(child.exitCode, 0);
                EXPECT_EQ(test::Snapshot(dir.path()), completed);
                EXPECT_GT(n, 2); // the kills did fall between renames
                break;
            }
            // The next run finds the files all old (and does the operation) or all new (and
            // finds nothing left to do): either way, the world the operation makes.
            std::vector<std::string> log;
            c.run(dir.path(), [&](const std::string& line) { log.push_back(line); });
            sawRepair = sawRepair || !log.empty();
            EXPECT_EQ(SameWorld(test::Snapshot(dir.path()), completed), "");
        }
        EXPECT_TRUE(sawRepair);
    }
}

#endif

TEST(OperationSafetyTest, AFailedUndoNeverCutsWhatTheIndexOnDiskReferences) {
    for (const OperationCase& c : kCases) {
        SCOPED_TRACE(c.name);
        bool undoFailed = false;
        for (int n = 1; n < 8; ++n) {
            SCOPED_TRACE("renames fail from " + std::to_string(n));
            const test::TempDir dir;
            c.prepare(dir.path());
            const Files before = test::Snapshot(dir.path());
            FileFaults::FailRenamesFrom(n);
            try {
                c.run(dir.path(), DiscardLog);
                FileFaults::Reset();
                break;
            } catch (const UndoFailedError&) {
                undoFailed = true;
            } catch (const Error&) {
            }
            FileFaults::Reset();
            if (c.appendsRuns) {
                EXPECT_TRUE(IndexFitsStatics(dir.path()));
            }
            NextRun(c, dir.path());
            EXPECT_TRUE(IndexFitsStatics(dir.path()));
            EXPECT_TRUE(IsOld(test::Snapshot(dir.path()), before));
        }
        EXPECT_TRUE(undoFailed);
    }
}

#ifndef _WIN32
// Mode bits, seen by a user who may write the folder but not the file; root writes anyway, so
// a root test runs them as nobody.
TEST(OperationSafetyTest, FilesTheUserMayNotWriteAreRefusedBeforeAnyWrite) {
    const struct {
        const char* readOnly;
        bool melt;
    } cases[] = {{"items.wsc", true},
                 {"staidx0.mul", true},
                 {"staidx0.mul", false},
                 {"freeze.pat", false},
                 {"items.wsc", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.readOnly) + (c.melt ? " melt" : " freeze"));
        const test::TempDir dir;
        MakeWorld(dir.path());
        test::WriteWholeFile(dir.file("freeze.pat"), Item(9, 100, 100));
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        ASSERT_EQ(::chmod(dir.file(c.readOnly).c_str(), 0444), 0);
        const Files before = test::Snapshot(dir.path());
        const test::ChildOutcome child = test::RunInChild([&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                throw std::runtime_error("cannot drop root");
            const test::ItemWorld w{dir.path()};
            ProgramState state;
            NullProgress progress;
            LoadStaticIndex(state, w.staidx(), progress);
            try {
                if (c.melt)
                    MeltBlocks(state, w.melt(ItemFileStyle::Pol, 16, 31, 40, 55), DiscardLog,
                               progress);
                else
                    FreezeItems(state, w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, true),
                                {}, DiscardLog, progress);
            } catch (const IoError& e) {
                if (std::string(e.what()).starts_with("Dateizugriff verweigert"))
                    return;
            }
            throw std::runtime_error("not refused");
        });
        EXPECT_EQ(child.exitCode, 0);
        EXPECT_EQ(Differing(test::Snapshot(dir.path()), before), "");
    }
}

#endif

// The desktop program holds the index it loaded while a command-line run changes the file.
TEST(OperationSafetyTest, AnIndexChangedByAnotherRunIsNotWrittenBackStale) {
    const test::TempDir dir;
    MakeWorld(dir.path());
    const test::ItemWorld w{dir.path()};
    NullProgress progress;
    ProgramState desktop, other;
    LoadStaticIndex(desktop, w.staidx(), progress);
    LoadStaticIndex(other, w.staidx(), progress);
    FreezeItems(other, w.freeze(ItemFileStyle::Pol, SelectionMode::Type255, false), {}, DiscardLog,
                progress);

    const Files frozen = test::Snapshot(dir.path());
    EXPECT_THROW(
        MeltBlocks(desktop, w.melt(ItemFileStyle::Pol, 16, 31, 40, 55), DiscardLog, progress),
        Error);
    EXPECT_EQ(Differing(test::Snapshot(dir.path()), frozen), "");

    // The run's own writes keep its index current; a reload takes the other's.
    MeltBlocks(other, w.melt(ItemFileStyle::Pol, 16, 23, 40, 47), DiscardLog, progress);
    LoadStaticIndex(desktop, w.staidx(), progress);
    MeltBlocks(desktop, w.melt(ItemFileStyle::Pol, 24, 31, 48, 55), DiscardLog, progress);
    EXPECT_EQ(test::ReadIndexFile(w.staidx()), desktop.StaticIndex);
}

} // namespace
} // namespace lw
