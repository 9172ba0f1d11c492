#include "OperationRun.h"

#include "support/WorldFiles.h"
#include "util/Errors.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace lw::test {

MeltRequest ItemWorld::melt(ItemFileStyle style, int x1, int x2, int y1, int y2) const {
    MeltRequest r{staidx(), statics(), items(), style, {}};
    r.range = ParseBlockRange(
        {std::to_string(x1), std::to_string(x2), std::to_string(y1), std::to_string(y2)});
    return r;
}

FreezeRequest ItemWorld::freeze(ItemFileStyle style, SelectionMode mode, bool writePat) const {
    FreezeRequest r;
    r.staidx = staidx();
    r.statics = statics();
    r.itemFile = items();
    r.style = style;
    r.selection = mode;
    r.writePat = writePat;
    r.patchFile = patch();
    return r;
}

void CopyFolder(const std::string& from, const std::string& to) {
    std::filesystem::create_directories(to);
    for (const auto& entry : std::filesystem::directory_iterator(from))
        std::filesystem::copy_file(entry.path(), to + "/" + entry.path().filename().string());
}

Outcome RunOperation(const std::string& staidxPath, const Operation& operation,
                     bool indexMustAgree) {
    Outcome outcome;
    auto state = std::make_unique<ProgramState>();
    NullProgress quiet;
    LoadStaticIndex(*state, staidxPath, quiet);
    RecordingProgress progress(outcome.progress);
    try {
        operation(
            *state, [&](const std::string& line) { outcome.log.push_back(line); }, progress);
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    if (indexMustAgree) {
        EXPECT_TRUE(state->StaticIndex == ReadIndexFile(staidxPath, state->StaticIndex.world()))
            << "in-memory index differs from the file; error: " << outcome.error;
    }
    return outcome;
}

} // namespace lw::test
