#include "world/ProgramState.h"

#include "util/OperationFiles.h"
#include "world/FileRoles.h"

namespace lw {

void LoadStaticIndex(ProgramState& state, const std::string& path, Progress& progress,
                     const LogSink& log) {
    // Shared with other readers; an operation writing the index keeps it off, and what a killed
    // one left is repaired before the index is read.
    const OperationFiles files({{kStaticsIndexRole, path, FileUse::Read}}, log);
    ReadStaticIndex(path, state.StaticIndex, progress);
    state.StaticIndexLoaded = true;
    state.StaticIndexPath = path;
}

} // namespace lw
