// The restore point every command that replaces world or item files keeps, and the two options
// that set its limits.
#pragma once

#include "restore/RestorePoints.h"
#include "util/KeptContent.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

namespace lw::cli {

struct RestorePointOptions {
    int points = RestoreLimits{}.points;
    std::string size = ByteSizeText(RestoreLimits{}.bytes);
};

// --restore-points N and --restore-size BYTES on the command.
std::shared_ptr<RestorePointOptions> AddRestorePointOptions(CLI::App& cmd);

// The whole command line, as the restore points record it.
void SetCommandLine(int argc, char** argv);

// While it lasts, what the command replaces is kept as a restore point (its lines go to stderr).
class CommandRestorePoint {
public:
    CommandRestorePoint(const std::string& command, const RestorePointOptions& options);

private:
    RestorePointKeeper keeper_;
    KeeperScope scope_;
};

} // namespace lw::cli
