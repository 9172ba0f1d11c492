// Running melt and freeze in tests: what they log, report and throw, and the files they touch.
#pragma once

#include "items/FreezeItems.h"
#include "items/MeltBlocks.h"
#include "support/FolderSnapshot.h"
#include "support/TempDir.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lw::test {

struct Outcome {
    std::vector<std::string> log;
    std::vector<int> progress;
    std::string error; // empty: completed
};

struct RecordingProgress : Progress {
    std::vector<int>* values;
    explicit RecordingProgress(std::vector<int>& v) : values(&v) {}
    void report(int percent) override { values->push_back(percent); }
};

// A world (index and statics) with an item file and a patch file in one folder.
struct ItemWorld {
    std::string folder;
    std::string staidx() const { return folder + "/staidx0.mul"; }
    std::string statics() const { return folder + "/statics0.mul"; }
    std::string items() const { return folder + "/items.wsc"; }
    std::string patch() const { return folder + "/freeze.pat"; }
    MeltRequest melt(ItemFileStyle style, int x1, int x2, int y1, int y2) const;
    FreezeRequest freeze(ItemFileStyle style, SelectionMode mode, bool writePat) const;
};

void CopyFolder(const std::string& from, const std::string& to);

using Operation = std::function<void(ProgramState&, const LogSink&, Progress&)>;
// Loads the index and runs the operation. Unless told otherwise, checks that the in-memory index
// agrees with the index file afterwards, whether the operation completed or failed.
Outcome RunOperation(const std::string& staidxPath, const Operation& operation,
                     bool indexMustAgree = true);

} // namespace lw::test
