#include "world/ProgramState.h"

namespace lw {

void LoadStaticIndex(ProgramState& state, const std::string& path, Progress& progress) {
    ReadStaticIndex(path, state.StaticIndex, progress);
    state.StaticIndexLoaded = true;
    state.StaticIndexPath = path;
}

} // namespace lw
