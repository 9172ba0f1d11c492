// The program-wide state, owned by the application and passed by reference.
#pragma once

#include "util/File.h"
#include "util/LogSink.h"
#include "world/StaticIndex.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lw {

enum class AppModeKind : int { Normal = 0, Simple = 1 };

struct ProgramState {
    StaticIndexTable StaticIndex;
    bool StaticIndexLoaded = false;
    std::string StaticIndexPath; // the file StaticIndex was loaded from
    // That file as it was loaded or as this program last wrote it; nothing when unknown.
    std::optional<FileStamp> StaticIndexStamp;
    AppModeKind AppMode = AppModeKind::Normal;
    bool FreezeDone = false;
    std::uint32_t RandomSeed = 0; // the tile groups' random generator
};

// ReadStaticIndex into the program-wide table, which takes the world the index's length gives
// (IndexWorld); sets StaticIndexLoaded and StaticIndexPath only on success. staticsPath, when
// given, is the statics file the table will be read with: its folder is looked at for
// interrupted operations too, so that the two never come from two moments of a world.
void LoadStaticIndex(ProgramState& state, const std::string& path, Progress& progress,
                     const LogSink& log = DiscardLog, const std::string& staticsPath = {});

// Before an operation writes the program-wide index to staidxPath, under its lock: refuses when
// that is the file the index came from and another run or program has changed it since, for
// writing the stale table back would undo that change.
void RequireIndexUnchanged(const ProgramState& state, const std::string& staidxPath);
// After this program wrote the program-wide index to staidxPath.
void NoteIndexWritten(ProgramState& state, const std::string& staidxPath);

} // namespace lw
