#include "world/AdoptWrittenIndex.h"

namespace lw {

bool AdoptWrittenIndex(ProgramState& state, const std::string& staidxPath,
                       std::unique_ptr<StaticIndexTable>& written) {
    if (!written || !state.StaticIndexLoaded || !IsSameFile(state.StaticIndexPath, staidxPath))
        return false;
    state.StaticIndex = std::move(*written);
    written.reset();
    NoteIndexWritten(state, staidxPath);
    return true;
}

} // namespace lw
