#include "world/ProgramState.h"

#include "util/Errors.h"
#include "util/OperationFiles.h"
#include "world/FileRoles.h"
#include "world/WorldOfFiles.h"

namespace lw {

void LoadStaticIndex(ProgramState& state, const std::string& path, Progress& progress,
                     const LogSink& log, const std::string& staticsPath) {
    // Shared with other readers; an operation writing the index keeps it off, and what a killed
    // one left is repaired before the index is read.
    std::vector<DeclaredFile> declared{{kStaticsIndexRole, path, FileUse::Read}};
    if (!staticsPath.empty())
        declared.push_back({kStaticsFileRole, staticsPath, FileUse::Read});
    const OperationFiles files(std::move(declared), log);
    const std::optional<FileStamp> stamp = StampOf(path);
    const WorldSize world = IndexWorld(path);
    if (state.StaticIndex.world() != world)
        state.StaticIndex = StaticIndexTable(world);
    ReadStaticIndex(path, state.StaticIndex, progress);
    state.StaticIndexLoaded = true;
    state.StaticIndexPath = path;
    state.StaticIndexStamp = stamp;
}

void RequireIndexUnchanged(const ProgramState& state, const std::string& staidxPath) {
    if (!state.StaticIndexLoaded || !state.StaticIndexStamp ||
        !IsSameFile(state.StaticIndexPath, staidxPath))
        return;
    if (StampOf(staidxPath) != state.StaticIndexStamp)
        throw Error(staidxPath + " has been changed by another program since the index was "
                                 "loaded. Load the index again.");
}

void NoteIndexWritten(ProgramState& state, const std::string& staidxPath) {
    if (state.StaticIndexLoaded && IsSameFile(state.StaticIndexPath, staidxPath))
        state.StaticIndexStamp = StampOf(staidxPath);
}

} // namespace lw
