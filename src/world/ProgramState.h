// The program-wide state, owned by the application and passed by reference.
#pragma once

#include "util/LogSink.h"
#include "world/StaticIndex.h"

#include <cstdint>
#include <string>

namespace lw {

enum class AppModeKind : int { Normal = 0, Simple = 1 };

struct ProgramState {
    StaticIndexTable StaticIndex;
    bool StaticIndexLoaded = false;
    std::string StaticIndexPath; // the file StaticIndex was loaded from
    AppModeKind AppMode = AppModeKind::Normal;
    bool FreezeDone = false;
    std::uint32_t RandomSeed = 0; // the tile groups' random generator
};

// ReadStaticIndex into the program-wide table; sets StaticIndexLoaded and StaticIndexPath only
// on success.
void LoadStaticIndex(ProgramState& state, const std::string& path, Progress& progress,
                     const LogSink& log = DiscardLog);

} // namespace lw
