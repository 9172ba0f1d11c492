// compact: rewrites statics0.mul with every block's run in block order and no dead space, and
// staidx0.mul to match; prints the bytes reclaimed.
#include "cli/Command.h"
#include "cli/RestorePointOptions.h"
#include "world/Compaction.h"

#include <memory>

namespace lw::cli {

void AddCompactCommand(CLI::App& app) {
    struct Options {
        std::string staidx, statics;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "compact", "Rewrite statics0.mul without dead space, every block's run in block order");
    cmd->add_option("--staidx", options->staidx, "staidx0.mul")->required();
    cmd->add_option("--statics", options->statics, "statics0.mul")->required();
    const auto restore = AddRestorePointOptions(*cmd);
    cmd->callback([options, restore] {
        const CommandRestorePoint point("compact", *restore);
        NullProgress progress;
        const CompactionReport report =
            CompactStatics(options->staidx, options->statics, progress, PrintLine);
        for (const std::string& line : CompactionLines(report))
            PrintLine(line);
    });
}

} // namespace lw::cli
