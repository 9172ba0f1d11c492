// The restore points of a folder, in ".loamwright/restore" beside its files: one folder per
// point, named by its number, holding its entry and the old files it keeps. A point is made under
// a name of its own ("<N>.lw-new-<random part>") and renamed to its number once whole, and goes by
// the reverse, so a kill leaves a point whole or under a name the next run tidies away.
#pragma once

#include "restore/RestoreEntry.h"
#include "restore/RestoreLimits.h"
#include "util/KeptContent.h"
#include "util/LogSink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lw {

// "<folder>/.loamwright/restore".
std::string RestoreFolderOf(const std::string& folder);
std::string PointFolderOf(const std::string& folder, std::uint64_t number);

struct StoredPoint {
    std::uint64_t number = 0;
    std::string path;                  // its folder
    std::optional<RestoreEntry> entry; // nothing: damaged (damage says why)
    std::string damage;
    std::uint64_t bytes = 0; // what its kept files take
};

// The finished points of a folder, oldest first; nothing when it has none.
std::vector<StoredPoint> StoredPoints(const std::string& folder);
// The point of that number, or nothing.
std::optional<StoredPoint> StoredPointOf(const std::string& folder, std::uint64_t number);

// What an operation says of itself in its restore point.
struct RestoreSettings {
    RestoreLimits limits;
    std::string operation;   // "melt", ...
    std::string commandLine; // or the window it ran from
};

// Keeps a finished commit's old files as one restore point, of the same number in each folder it
// wrote (one more than the highest there), then lets the oldest go while a folder holds more than
// the limits allow. Set it for an operation with a KeeperScope.
class RestorePointKeeper : public OldContentKeeper {
public:
    RestorePointKeeper(RestoreSettings settings, LogSink log);
    void keep(std::vector<ReplacedTarget>& targets,
              const std::vector<AppendedTarget>& appended) noexcept override;
    // The number of the point kept last; nothing while none was.
    const std::optional<std::uint64_t>& kept() const { return kept_; }

private:
    RestoreSettings settings_;
    LogSink log_;
    std::optional<std::uint64_t> kept_;
};

// Removes what killed runs left of points being made or removed in folder.
void RemoveUnfinishedPoints(const std::string& folder);

} // namespace lw
